#pragma once
// Version resources and modification dates of files.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace kdesk {

class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    // Size in bytes of the file's version block; 0 when it has none or cannot be read.
    virtual std::uint32_t GetFileVersionInfoSize(const std::wstring& path) = 0;
    // Copies the version block into block (sized by the caller); false on failure.
    virtual bool GetFileVersionInfo(const std::wstring& path, std::vector<std::uint8_t>& block) = 0;
    // The raw bytes of "\VarFileInfo\Translation"; nullopt when missing.
    virtual std::optional<std::vector<std::uint8_t>> QueryTranslation(const std::vector<std::uint8_t>& block) = 0;
    // A string value such as "\StringFileInfo\041004B0\ProductVersion", up to its
    // first NUL; nullopt when the sub-block does not exist.
    virtual std::optional<std::wstring> QueryString(const std::vector<std::uint8_t>& block,
                                                    const std::wstring& subBlock) = 0;
    // Last-write time in local time; nullopt when the file cannot be examined.
    virtual std::optional<LocalDateTime> FileLastModified(const std::wstring& path) = 0;
};

}  // namespace kdesk
