#include "platform/portable/upload_target.h"

#include <algorithm>

namespace kdesk {
namespace {

template <typename Text>
Text Hex(const RandomBytes& random) {
    static constexpr char kDigits[] = "0123456789abcdef";
    Text hex;
    for (std::uint8_t byte : random) {
        hex += static_cast<typename Text::value_type>(kDigits[byte >> 4]);
        hex += static_cast<typename Text::value_type>(kDigits[byte & 0x0F]);
    }
    return hex;
}

bool IsUrlSafe(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'.' ||
           c == L'_' || c == L'-';
}

}  // namespace

std::wstring UploadFolderUrl(const std::optional<std::wstring>& registryValue, std::wstring_view buildDefault) {
    return registryValue ? *registryValue : std::wstring(buildDefault);
}

std::wstring UploadFileName(std::wstring_view stem, const RandomBytes& random) {
    std::wstring name;
    for (wchar_t c : stem) name += IsUrlSafe(c) ? c : L'_';
    return name + L"_" + Hex<std::wstring>(random) + L".eml";
}

bool IsUploadFileName(std::wstring_view name) {
    constexpr std::size_t kHexDigits = 32;
    constexpr std::wstring_view kExtension = L".eml";
    if (!name.ends_with(kExtension) || name.size() < kHexDigits + kExtension.size() + 2) return false;
    name.remove_suffix(kExtension.size());
    const std::wstring_view hex = name.substr(name.size() - kHexDigits);
    const std::wstring_view stem = name.substr(0, name.size() - kHexDigits - 1);
    const auto isHex = [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); };
    return name[stem.size()] == L'_' && std::ranges::all_of(hex, isHex) && std::ranges::all_of(stem, IsUrlSafe);
}

std::wstring UploadUrl(std::wstring_view folderUrl, std::wstring_view fileName) {
    while (folderUrl.ends_with(L'/')) folderUrl.remove_suffix(1);
    return std::wstring(folderUrl) + L"/" + std::wstring(fileName);
}

std::string MessageIdFor(const RandomBytes& random, std::string_view supportMailbox) {
    const std::size_t at = supportMailbox.rfind('@');
    const std::string_view domain = at == std::string_view::npos ? "localhost" : supportMailbox.substr(at + 1);
    return "<" + Hex<std::string>(random) + "@" + std::string(domain) + ">";
}

}  // namespace kdesk
