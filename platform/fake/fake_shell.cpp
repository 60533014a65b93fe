#include "platform/fake/fake_shell.h"

#include "platform/runtime_error.h"

namespace kdesk {

bool FakeShell::GetVersionEx(OsVersionInfo& info) {
    lastRecordSize_ = info.osVersionInfoSize;
    if (versionFails_ || info.osVersionInfoSize != kOsVersionInfoASize) return false;
    const std::uint32_t size = info.osVersionInfoSize;
    info = reported_;
    info.osVersionInfoSize = size;
    return true;
}

bool FakeShell::GetSpecialFolderPath(std::string& path, int csidl, bool create) {
    lastCreate_ = create;
    if (specialFoldersBroken_) throw RuntimeError(453, L"Can't find DLL entry point SHGetSpecialFolderPathA");
    if (csidl != kCsidlCommonAppData || !commonAppData_) return false;
    path = *commonAppData_;
    return true;
}

void FakeShell::SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    versionFails_ = false;
    reported_.platformId = platformId;
    reported_.majorVersion = major;
    reported_.minorVersion = minor;
}

}  // namespace kdesk
