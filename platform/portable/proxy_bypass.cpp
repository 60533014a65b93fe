#include "platform/portable/proxy_bypass.h"

#include <algorithm>
#include <vector>

#include "platform/portable/case_fold.h"

namespace kdesk {
namespace {

std::vector<std::wstring_view> Entries(std::wstring_view list, std::wstring_view separators) {
    std::vector<std::wstring_view> entries;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find_first_of(separators, start), list.size());
        if (end > start) entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// "*" matches any run of characters; letter case does not matter.
bool MatchesHostPattern(std::wstring_view pattern, std::wstring_view host) {
    std::size_t p = 0, h = 0, starP = std::wstring_view::npos, starH = 0;
    while (h < host.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starH = h;
        } else if (p < pattern.size() && FoldCase(pattern[p]) == FoldCase(host[h])) {
            ++p;
            ++h;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            h = ++starH;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool AllDigits(std::wstring_view text) {
    if (text.empty()) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// The colon before a port ("host:8443", "[::1]:8443"); npos when there is no
// port, as in a bare IPv6 address.
std::size_t PortColon(std::wstring_view entry) {
    const std::size_t colon = entry.rfind(L':');
    if (colon == std::wstring_view::npos || !AllDigits(entry.substr(colon + 1))) return std::wstring_view::npos;
    const std::wstring_view host = entry.substr(0, colon);
    const bool bracketed = !host.empty() && host.front() == L'[' && host.back() == L']';
    if (host.find(L':') != std::wstring_view::npos && !bracketed) return std::wstring_view::npos;
    return colon;
}

bool EntryMatches(std::wstring_view entry, std::wstring_view host, unsigned port) {
    if (EqualIgnoringCase(entry, L"<local>")) return host.find(L'.') == std::wstring_view::npos;
    if (const std::size_t scheme = entry.find(L"://"); scheme != std::wstring_view::npos) {
        if (!EqualIgnoringCase(entry.substr(0, scheme), L"https")) return false;
        entry.remove_prefix(scheme + 3);
    }
    if (const std::size_t colon = PortColon(entry); colon != std::wstring_view::npos) {
        if (entry.substr(colon + 1) != std::to_wstring(port)) return false;
        entry = entry.substr(0, colon);
    }
    return MatchesHostPattern(entry, host);
}

}  // namespace

std::wstring ProxyForHttps(std::wstring_view proxyList) {
    std::wstring_view anyScheme;
    for (std::wstring_view entry : Entries(proxyList, L"; \t\r\n")) {
        const std::size_t equals = entry.find(L'=');
        if (equals == std::wstring_view::npos) {
            if (anyScheme.empty()) anyScheme = entry;
        } else if (EqualIgnoringCase(entry.substr(0, equals), L"https") && equals + 1 < entry.size()) {
            return std::wstring(entry.substr(equals + 1));
        }
    }
    return std::wstring(anyScheme);
}

bool BypassesProxy(std::wstring_view bypassList, std::wstring_view host, unsigned port) {
    for (std::wstring_view entry : Entries(bypassList, L";, \t\r\n"))
        if (EntryMatches(entry, host, port)) return true;
    return false;
}

}  // namespace kdesk
