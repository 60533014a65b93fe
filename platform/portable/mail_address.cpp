#include "platform/portable/mail_address.h"

#include <algorithm>

namespace kdesk {
namespace {

constexpr std::wstring_view kNeverInAddress = L" \t()<>[]\\,;:\"@";
constexpr std::wstring_view kBlanks = L" \t\r\n";

bool IsDotAtom(std::wstring_view text) {
    if (text.empty() || text.front() == L'.' || text.back() == L'.') return false;
    if (text.find(L"..") != std::wstring_view::npos) return false;
    for (wchar_t c : text)
        if (c < 0x21 || c == 0x7F || kNeverInAddress.find(c) != std::wstring_view::npos) return false;
    return true;
}

bool IsDomain(std::wstring_view domain) {
    if (!IsDotAtom(domain) || domain.find(L'.') == std::wstring_view::npos) return false;
    for (std::size_t start = 0; start <= domain.size();) {
        const std::size_t dot = std::min(domain.find(L'.', start), domain.size());
        const std::wstring_view label = domain.substr(start, dot - start);
        if (label.front() == L'-' || label.back() == L'-') return false;
        start = dot + 1;
    }
    return true;
}

std::wstring_view Trimmed(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "Name <address>" (the name may be quoted) or a bare address.
MailRecipient ParseRecipient(std::wstring_view entry) {
    const std::size_t open = entry.rfind(L'<');
    if (open == std::wstring_view::npos || entry.back() != L'>') return {{}, std::wstring(entry)};
    std::wstring_view name = Trimmed(entry.substr(0, open));
    if (name.size() >= 2 && name.front() == L'"' && name.back() == L'"') name = name.substr(1, name.size() - 2);
    return {std::wstring(name), std::wstring(Trimmed(entry.substr(open + 1, entry.size() - open - 2)))};
}

}  // namespace

bool IsPlausibleMailAddress(std::wstring_view text) {
    const std::size_t at = text.find(L'@');
    if (at == std::wstring_view::npos) return false;
    return IsDotAtom(text.substr(0, at)) && IsDomain(text.substr(at + 1));
}

std::vector<MailRecipient> SplitRecipients(std::wstring_view text) {
    std::vector<MailRecipient> recipients;
    bool quoted = false;
    bool bracketed = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const wchar_t c = i < text.size() ? text[i] : L';';
        if (c == L'"') quoted = !quoted;
        else if (!quoted && c == L'<') bracketed = true;
        else if (!quoted && c == L'>') bracketed = false;
        const bool lineBreak = c == L'\r' || c == L'\n';
        if (!lineBreak && ((c != L';' && c != L',') || ((quoted || bracketed) && i < text.size()))) continue;
        const std::wstring_view entry = Trimmed(text.substr(start, i - start));
        if (!entry.empty()) recipients.push_back(ParseRecipient(entry));
        start = i + 1;
        quoted = bracketed = false;
    }
    return recipients;
}

bool IsPlausibleRecipientList(std::wstring_view text) {
    const std::vector<MailRecipient> recipients = SplitRecipients(text);
    return !recipients.empty() && std::ranges::all_of(recipients, [](const MailRecipient& r) {
               return IsPlausibleMailAddress(r.address);
           });
}

}  // namespace kdesk
