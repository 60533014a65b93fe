#pragma once
// The drop box's address taken apart by WinHTTP: https only; anything else is
// refused before any connection is made.
#include <windows.h>
#include <winhttp.h>

#include <string>

#include "platform/win32/mail/upload/winhttp_library.h"

namespace kdesk {

struct UploadTarget {
    std::wstring url;
    std::wstring host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTPS_PORT;
    std::wstring path;  // with the query, if any
};

// Raises RuntimeError 12006 for a URL of another scheme (http://) and 12005
// for one WinHTTP cannot read or that names no host.
UploadTarget HttpsTarget(const WinHttp& api, const std::wstring& url);

}  // namespace kdesk
