#include "platform/portable/mail_address.h"

#include <algorithm>

namespace kdesk {
namespace {

constexpr std::wstring_view kNeverInAddress = L" \t()<>[]\\,;:\"@";

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

}  // namespace

bool IsPlausibleMailAddress(std::wstring_view text) {
    const std::size_t at = text.find(L'@');
    if (at == std::wstring_view::npos) return false;
    return IsDotAtom(text.substr(0, at)) && IsDomain(text.substr(at + 1));
}

}  // namespace kdesk
