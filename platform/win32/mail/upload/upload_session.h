#pragma once
// The WinHTTP session to the drop box, through the user's proxy. The user's
// Internet settings come first: a proxy named there serves the URL unless its
// bypass list excludes the host; a configuration script or automatic detection
// is asked through WinHttpGetProxyForUrl. With nothing set, Windows' automatic
// proxy where it has one (8.1 and later), else a direct connection.
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <string>

#include "platform/win32/mail/upload/https_target.h"
#include "platform/win32/mail/upload/winhttp_library.h"

namespace kdesk {

struct ProxyRoute {
    enum class Kind { Direct, Named, Script, Automatic };
    Kind kind = Kind::Automatic;
    std::wstring proxy;   // Named: the server(s); Script: the named proxy should the script fail
    std::wstring bypass;  // Named: hosts the server(s) do not serve, as the script gave them
    std::wstring scriptUrl;  // Script: the configuration script's URL, empty for detection alone
    bool autoDetect = false;  // Script: detect the script (WPAD)
};

// The route the user's Internet settings give the target; a Script route is
// then resolved with ScriptedRoute.
ProxyRoute UserProxyRoute(const WinHttp& api, const UploadTarget& target);

// The Named or Direct route the script gives the target, asked through
// `session` (a direct one); the named fallback proxy, or a direct connection,
// when the script cannot be had or run.
ProxyRoute ScriptedRoute(const WinHttp& api, HINTERNET session, const ProxyRoute& script,
                         const UploadTarget& target);

// WinHTTP's wait for each step (name, connection, each packet sent or answered).
inline constexpr DWORD kUploadStepTimeoutMs = 60'000;

// The WinHTTP session for a resolved route, with kUploadStepTimeoutMs for each
// step; raises RuntimeError when WinHTTP refuses. Windows before 8.1 has no
// automatic proxy: the session is then direct.
InternetHandle OpenUploadSession(const std::shared_ptr<const WinHttp>& api, const ProxyRoute& route);

}  // namespace kdesk
