#pragma once
// Whether a recipient text can be an e-mail address, for a mail layer without
// an address book.
#include <string_view>

namespace kdesk {

// One "@" between a local part and a domain of at least two labels separated
// by single dots; no blanks, control characters, brackets, quotes, commas or
// semicolons. Letters outside ASCII are allowed (international addresses).
bool IsPlausibleMailAddress(std::wstring_view text);

}  // namespace kdesk
