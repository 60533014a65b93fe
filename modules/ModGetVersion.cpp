#include "modules/ModGetVersion.h"

#include <algorithm>
#include <array>
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/runtime_error.h"

namespace kdesk {
namespace {

// Room of the working storage: a translation table of 64 entries, and string
// values of 254 characters (a text buffer of 255 with its NUL).
constexpr std::size_t kTranslationArea = 256;
constexpr std::size_t kMaxValueChars = 254;

struct VersionKey {
    const wchar_t* name;
    std::wstring VersionStrings::*field;
};

constexpr std::array<VersionKey, 8> kVersionKeys{{
    {L"CompanyName", &VersionStrings::CompanyName},
    {L"FileDescription", &VersionStrings::FileDescription},
    {L"FileVersion", &VersionStrings::FileVersion},
    {L"InternalName", &VersionStrings::InternalName},
    {L"LegalCopyright", &VersionStrings::LegalCopyright},
    {L"OriginalFileName", &VersionStrings::OriginalFileName},
    {L"ProductName", &VersionStrings::ProductName},
    {L"ProductVersion", &VersionStrings::ProductVersion},
}};

// The first translation entry, read from a zero-filled work area as a table
// shorter than one entry leaves it.
std::wstring KeyOfFirstTranslation(const std::vector<std::uint8_t>& table) {
    std::array<std::uint8_t, kTranslationArea> area{};
    std::copy_n(table.begin(), std::min(table.size(), area.size()), area.begin());
    const auto language = static_cast<std::uint16_t>(area[0] | (area[1] << 8));
    const auto codePage = static_cast<std::uint16_t>(area[2] | (area[3] << 8));
    return StringTableKey(language, codePage);
}

std::int32_t ReadIntoRecord(VersionInfo& info, const std::wstring& path, VersionStrings& strings) {
    const std::uint32_t size = info.GetFileVersionInfoSize(path);
    if (size < 1) return kVersionStringsFailed;
    std::vector<std::uint8_t> block(size);
    if (!info.GetFileVersionInfo(path, block)) return kVersionStringsFailed;
    auto table = info.QueryTranslation(block);
    if (!table) return kVersionStringsFailed;
    const std::wstring key = KeyOfFirstTranslation(*table);
    for (const VersionKey& entry : kVersionKeys) {
        auto value = info.QueryString(block, L"\\StringFileInfo\\" + key + L"\\" + entry.name);
        if (!value) return kVersionStringsFailed;
        strings.*entry.field = value->substr(0, kMaxValueChars);
    }
    return kVersionStringsRead;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The signed decimal number at the start of a piece, blanks ignored, 0 when
// there is none, in plain decimal. Kept as digits, so no size can overflow.
std::wstring NumberOfPiece(std::wstring_view piece) {
    bool negative = false;
    bool started = false;  // a sign or a digit was seen
    std::wstring digits;
    for (wchar_t c : piece) {
        if (IsBlank(c)) continue;
        if (!started && (c == L'-' || c == L'+')) {
            started = true;
            negative = c == L'-';
            continue;
        }
        if (!IsDigit(c)) break;
        started = true;
        if (!(digits.empty() && c == L'0')) digits.push_back(c);
    }
    if (digits.empty()) return L"0";
    return negative ? L"-" + digits : digits;
}

std::vector<std::wstring_view> SplitAtDots(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t dot = text.find(L'.', start);
        parts.push_back(text.substr(start, dot == std::wstring_view::npos ? std::wstring_view::npos : dot - start));
        if (dot == std::wstring_view::npos) return parts;
        start = dot + 1;
    }
}

}  // namespace

std::wstring StringTableKey(std::uint16_t language, std::uint16_t codePage) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring key;
    for (std::uint16_t value : {language, codePage})
        for (int shift = 12; shift >= 0; shift -= 4) key.push_back(kHex[(value >> shift) & 0xF]);
    return key;
}

std::wstring VersionTextFromProductVersion(std::wstring_view productVersion) {
    const auto parts = SplitAtDots(productVersion);
    if (parts.size() < 3) return {};
    const std::wstring_view third = parts[2];
    return NumberOfPiece(parts[0]) + L"." + NumberOfPiece(parts[1]) + L"." + NumberOfPiece(third.substr(0, 2)) +
           L"." + NumberOfPiece(third.size() > 2 ? third.substr(2) : std::wstring_view{});
}

std::int32_t ReadVersionStrings(Platform& platform, const std::wstring& path, VersionStrings& strings) {
    strings = {};
    try {
        return ReadIntoRecord(platform.versionInfo, path, strings);
    } catch (const std::bad_alloc&) {  // a version block too large to hold
        return kVersionStringsFailed;
    } catch (const std::length_error&) {
        return kVersionStringsFailed;
    }
}

std::wstring GetFileVersionString(Platform& platform, const std::wstring& path) {
    try {
        VersionStrings strings;
        if (ReadVersionStrings(platform, path, strings) != kVersionStringsRead) return {};
        return VersionTextFromProductVersion(strings.ProductVersion);
    } catch (const RuntimeError&) {
        return {};
    }
}

std::wstring GetFileDateLastModified(Platform& platform, const std::wstring& path) {
    try {
        auto modified = platform.versionInfo.FileLastModified(path);
        return modified ? platform.runtime.FormatDateTime(*modified) : std::wstring{};
    } catch (const RuntimeError&) {
        return {};
    }
}

}  // namespace kdesk
