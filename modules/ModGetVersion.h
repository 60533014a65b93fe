#pragma once
// Version text and modification date of an executable.
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kdesk {

struct VersionStrings {
    std::wstring CompanyName;
    std::wstring FileDescription;
    std::wstring FileVersion;
    std::wstring InternalName;
    std::wstring LegalCopyright;
    std::wstring OriginalFileName;
    std::wstring ProductName;
    std::wstring ProductVersion;
};

std::int32_t ReadVersionStrings(Platform& platform, const std::wstring& path, VersionStrings& strings);
std::wstring GetFileVersionString(Platform& platform, const std::wstring& path);
std::wstring GetFileDateLastModified(Platform& platform, const std::wstring& path);

}  // namespace kdesk
