#pragma once
// Recipient texts as the operator types them: whether one can be an e-mail
// address, for a mail layer without an address book, and the recipients of a
// text that holds several.
#include <string>
#include <string_view>
#include <vector>

namespace kdesk {

// One "@" between a local part and a domain of at least two labels separated
// by single dots; no blanks, control characters, brackets, quotes, commas or
// semicolons. Letters outside ASCII are allowed (international addresses).
bool IsPlausibleMailAddress(std::wstring_view text);

struct MailRecipient {
    std::wstring name;     // the display name of "Name <address>", without quotes; often empty
    std::wstring address;
};

// The recipients of a text: entries separated by line breaks, and by ";" or ","
// outside quotes and angle brackets; blanks trimmed at both ends, empty
// entries dropped.
std::vector<MailRecipient> SplitRecipients(std::wstring_view text);

// At least one recipient, and every address plausible.
bool IsPlausibleRecipientList(std::wstring_view text);

}  // namespace kdesk
