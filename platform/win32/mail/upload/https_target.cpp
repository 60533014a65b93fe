#include "platform/win32/mail/upload/https_target.h"

#include "platform/portable/upload_errors.h"

namespace kdesk {

UploadTarget HttpsTarget(const WinHttp& api, const std::wstring& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    // -1: the parts point into `url` rather than being copied.
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = ~DWORD{0};
    if (url.empty() || !api.crackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        // Another scheme is told apart from text that is no URL at all.
        const bool otherScheme = !url.empty() && GetLastError() == kWinHttpUnrecognizedScheme &&
                                 url.find(L"://") != std::wstring::npos;
        throw UploadConnectionError(otherScheme ? kWinHttpUnrecognizedScheme : kWinHttpInvalidUrl);
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTPS) throw UploadConnectionError(kWinHttpUnrecognizedScheme);
    if (parts.dwHostNameLength == 0) throw UploadConnectionError(kWinHttpInvalidUrl);
    UploadTarget target;
    target.url = url;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.port = parts.nPort;
    target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.dwExtraInfoLength) target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.path.empty()) target.path = L"/";
    return target;
}

}  // namespace kdesk
