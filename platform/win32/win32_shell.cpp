#include "platform/win32/win32_shell.h"

#include <shlobj.h>

#include <cstring>

namespace kdesk {

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoASize);

bool Win32Shell::GetVersionEx(OsVersionInfo& info) {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = info.osVersionInfoSize;
    record.dwMajorVersion = info.majorVersion;
    record.dwMinorVersion = info.minorVersion;
    record.dwBuildNumber = info.buildNumber;
    record.dwPlatformId = info.platformId;
    std::memcpy(record.szCSDVersion, info.csdVersion.data(), sizeof record.szCSDVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&record);
#pragma GCC diagnostic pop
    info.osVersionInfoSize = record.dwOSVersionInfoSize;
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.buildNumber = record.dwBuildNumber;
    info.platformId = record.dwPlatformId;
    std::memcpy(info.csdVersion.data(), record.szCSDVersion, sizeof record.szCSDVersion);
    return ok != FALSE;
}

bool Win32Shell::GetSpecialFolderPath(std::string& path, int csidl, bool create) {
    char buffer[MAX_PATH + 1] = {};
    const BOOL ok = SHGetSpecialFolderPathA(owner_, buffer, csidl, create ? TRUE : FALSE);
    buffer[MAX_PATH] = '\0';
    path = buffer;
    return ok != FALSE;
}

}  // namespace kdesk
