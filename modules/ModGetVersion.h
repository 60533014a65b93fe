#pragma once
// Version text and modification date of an executable.
#include <cstdint>
#include <string>
#include <string_view>

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

inline constexpr std::int32_t kVersionStringsRead = 1;
inline constexpr std::int32_t kVersionStringsFailed = 2;

std::int32_t ReadVersionStrings(Platform& platform, const std::wstring& path, VersionStrings& strings);
std::wstring GetFileVersionString(Platform& platform, const std::wstring& path);
std::wstring GetFileDateLastModified(Platform& platform, const std::wstring& path);

// The string-table key of a translation entry: 0x0410, 0x04E4 -> "041004E4".
std::wstring StringTableKey(std::uint16_t language, std::uint16_t codePage);

// The four-number version text of a ProductVersion: "3.10.0205" -> "3.10.2.5";
// empty text when it has fewer than three "."-separated parts.
std::wstring VersionTextFromProductVersion(std::wstring_view productVersion);

}  // namespace kdesk
