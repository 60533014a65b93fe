#pragma once
// A settable shell: the OS version record the platform reports and the common
// application-data folder (or its failure).
#include <optional>
#include <string>

#include "platform/shell.h"

namespace kdesk {

class FakeShell : public Shell {
public:
    // Shell
    bool GetVersionEx(OsVersionInfo& info) override;
    bool GetSpecialFolderPath(std::string& path, int csidl, bool create) override;

    // Reports this platform and version (NT 6.1 until told otherwise).
    void SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor = 0);
    // Reports nothing: GetVersionEx fails and leaves the record untouched.
    void FailVersion() { versionFails_ = true; }
    // The common application-data folder; nullopt makes the call fail.
    void SetCommonAppData(std::optional<std::string> path) { commonAppData_ = std::move(path); }
    // The call cannot be made at all (it raises a run-time error).
    void BreakSpecialFolders() { specialFoldersBroken_ = true; }

    std::uint32_t LastVersionRecordSize() const { return lastRecordSize_; }
    bool LastCreateFlag() const { return lastCreate_; }

private:
    OsVersionInfo reported_{kOsVersionInfoASize, 6, 1, 7601, 2, {}};
    bool versionFails_ = false;
    std::optional<std::string> commonAppData_ = std::string("C:\\ProgramData");
    bool specialFoldersBroken_ = false;
    std::uint32_t lastRecordSize_ = 0;
    bool lastCreate_ = false;
};

}  // namespace kdesk
