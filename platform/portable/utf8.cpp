#include "platform/portable/utf8.h"

namespace kdesk {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void Append(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1] & 0xFFFF)) {
                c = 0x10000 + ((c - 0xD800) << 10) + ((text[i + 1] & 0xFFFF) - 0xDC00);
                ++i;
            }
        }
        Append(out, c);
    }
    return out;
}

std::wstring WithoutLoneSurrogates(std::wstring_view text) {
    std::wstring out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<char32_t>(out[i]);
        const bool pair = sizeof(wchar_t) == 2 && IsHighSurrogate(c) && i + 1 < out.size() &&
                          IsLowSurrogate(static_cast<char32_t>(out[i + 1]));
        if (pair)
            ++i;
        else if (IsHighSurrogate(c) || IsLowSurrogate(c))
            out[i] = static_cast<wchar_t>(kReplacement);
    }
    return out;
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace kdesk
