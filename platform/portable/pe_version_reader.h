#pragma once
// Reads the version resource of a PE file from its bytes, the way version.dll
// does, without ever reading outside the buffer it is given.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk::pe {

using ByteView = std::span<const std::uint8_t>;

inline constexpr std::uint16_t kLanguageEnglishUs = 0x0409;

// The raw VS_VERSIONINFO block of a PE32 or PE32+ image: the RT_VERSION
// resource's first name or id, in the language the Windows resource loader
// picks (neutral, the user's, English, else the first). nullopt when there is none.
std::optional<std::vector<std::uint8_t>> FindVersionBlock(ByteView image,
                                                          std::uint16_t userLanguage = kLanguageEnglishUs);

// The value of the node that a sub-block path such as
// "\StringFileInfo\041004B0\ProductVersion" addresses (components compared
// case-insensitively, empty components skipped). bytes runs from the value to
// the end of the block; valueLength is in bytes, or in characters when isText.
struct VersionValue {
    ByteView bytes;
    std::uint16_t valueLength = 0;
    bool isText = false;
};
std::optional<VersionValue> QueryVersionValue(ByteView block, std::wstring_view subBlock);

// The value's first valueLength bytes, as far as the block holds them.
std::optional<std::vector<std::uint8_t>> QueryBinaryValue(ByteView block, std::wstring_view subBlock);

// A UTF-16 string value up to its NUL (or the end of the block); a value of
// length 0 is empty text.
std::optional<std::wstring> QueryStringValue(ByteView block, std::wstring_view subBlock);

}  // namespace kdesk::pe
