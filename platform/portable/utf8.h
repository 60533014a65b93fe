#pragma once
// UTF-8 from the program's wide text (UTF-16 on Windows, UTF-32 elsewhere); a
// lone surrogate becomes U+FFFD, so the bytes are always valid UTF-8.
#include <string>
#include <string_view>

namespace kdesk {

std::string ToUtf8(std::wstring_view text);

// The text with each lone surrogate as U+FFFD: the characters ToUtf8 writes.
std::wstring WithoutLoneSurrogates(std::wstring_view text);

// The length in bytes of the UTF-8 sequence that starts with this byte (1 for a
// continuation byte, so that a walk never stalls).
std::size_t Utf8SequenceLength(unsigned char lead);

}  // namespace kdesk
