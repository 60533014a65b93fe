#pragma once
// What the runtime contract cases need around the Runtime under test: a fresh
// empty folder, files and folders made in it, and files held locked. The fake
// and the Win32 runs each provide one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime.h"

namespace kdesk::contract {

// Volumes that a directory search cannot reach.
enum class Unreachable { MissingDrive, MissingServer, MissingShare, DriveNotReady };

class RuntimeSetup {
public:
    virtual ~RuntimeSetup() = default;

    virtual Runtime& runtime() = 0;
    // A fresh empty folder for this case, without trailing backslash.
    virtual const std::wstring& Root() const = 0;
    virtual void MakeFolder(const std::wstring& path, std::uint32_t extraAttributes = 0) = 0;
    virtual void MakeFile(const std::wstring& path, const std::string& bytes,
                          std::uint32_t attributes = kAttrArchive) = 0;
    // The file stays locked against reading until the setup goes.
    virtual void Lock(const std::wstring& path) = 0;
    // A folder path on such a volume; nullopt when this platform cannot give one.
    virtual std::optional<std::wstring> FolderOn(Unreachable volume) = 0;
};

std::unique_ptr<RuntimeSetup> MakeRuntimeSetup();

}  // namespace kdesk::contract
