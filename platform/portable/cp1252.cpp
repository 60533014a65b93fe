#include "platform/portable/cp1252.h"

#include <array>

namespace kdesk {

namespace {

// Characters of the bytes 0x80 to 0x9F; all other bytes equal their code point.
constexpr std::array<wchar_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ToByte(wchar_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i)
        if (kHighControlRange[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

wchar_t FromByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 0x80 && value <= 0x9F) return kHighControlRange[value - 0x80];
    return static_cast<wchar_t>(value);
}

}  // namespace

std::string ToCp1252(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) bytes.push_back(ToByte(c));
    return bytes;
}

std::wstring FromCp1252(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char b : bytes) text.push_back(FromByte(b));
    return text;
}

}  // namespace kdesk
