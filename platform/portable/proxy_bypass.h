#pragma once
// The proxy that the user's Internet settings name for an https URL, and
// whether their bypass list sends the host around it, as Windows reads them.
#include <string>
#include <string_view>

namespace kdesk {

// The proxy server for https in a proxy list: the "https=" entry of a list by
// scheme ("http=a:80;https=b:443"), else an entry without a scheme, which
// serves every scheme ("proxy:8080"); empty when the list names none. Entries
// are separated by ';' or blanks.
std::wstring ProxyForHttps(std::wstring_view proxyList);

// Whether the bypass list excludes the https URL's host and port from the
// proxy. Entries are separated by ';', ',' or blanks and compared without
// regard to case; "*" in an entry matches any run of characters
// ("*.example.com", "192.168.*"); "<local>" matches every host name without a
// dot; an entry may carry a scheme ("https://host", never matching another
// scheme) and a port ("host:8443", matching that port alone).
bool BypassesProxy(std::wstring_view bypassList, std::wstring_view host, unsigned port);

}  // namespace kdesk
