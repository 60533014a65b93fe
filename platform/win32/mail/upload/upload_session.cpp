#include "platform/win32/mail/upload/upload_session.h"

#include "build_facts.h"
#include "platform/portable/proxy_bypass.h"
#include "platform/portable/upload_errors.h"

namespace kdesk {
namespace {

constexpr wchar_t kUserAgent[] = L"KdeskSupport/" KDESK_VERSION_TEXT;

void FreeGlobal(LPWSTR& text) {
    if (text) GlobalFree(text);
    text = nullptr;
}

// The user's Internet settings; WinHTTP allocates the strings, freed here.
struct IeProxySettings {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    IeProxySettings() = default;
    ~IeProxySettings() {
        FreeGlobal(config.lpszAutoConfigUrl);
        FreeGlobal(config.lpszProxy);
        FreeGlobal(config.lpszProxyBypass);
    }
    IeProxySettings(const IeProxySettings&) = delete;
    IeProxySettings& operator=(const IeProxySettings&) = delete;
};

// The answer of WinHttpGetProxyForUrl; WinHTTP allocates the strings, freed here.
struct ScriptProxy {
    WINHTTP_PROXY_INFO info{};
    ScriptProxy() = default;
    ~ScriptProxy() {
        FreeGlobal(info.lpszProxy);
        FreeGlobal(info.lpszProxyBypass);
    }
    ScriptProxy(const ScriptProxy&) = delete;
    ScriptProxy& operator=(const ScriptProxy&) = delete;
};

// The named proxy for the target, empty when there is none or the bypass list excludes the host.
std::wstring NamedProxyFor(const WINHTTP_CURRENT_USER_IE_PROXY_CONFIG& config, const UploadTarget& target) {
    if (!config.lpszProxy) return {};
    std::wstring proxy = ProxyForHttps(config.lpszProxy);
    if (config.lpszProxyBypass && BypassesProxy(config.lpszProxyBypass, target.host, target.port)) return {};
    return proxy;
}

}  // namespace

ProxyRoute UserProxyRoute(const WinHttp& api, const UploadTarget& target) {
    IeProxySettings settings;
    ProxyRoute route;
    if (!api.getIEProxyConfig(&settings.config)) return route;  // no settings: Windows' automatic proxy
    const WINHTTP_CURRENT_USER_IE_PROXY_CONFIG& config = settings.config;
    const bool script = config.lpszAutoConfigUrl && *config.lpszAutoConfigUrl;
    route.proxy = NamedProxyFor(config, target);
    if (config.fAutoDetect || script) {
        route.kind = ProxyRoute::Kind::Script;
        route.autoDetect = config.fAutoDetect != FALSE;
        if (script) route.scriptUrl = config.lpszAutoConfigUrl;
    } else if (!route.proxy.empty()) {
        route.kind = ProxyRoute::Kind::Named;
    } else if (config.lpszProxy) {
        route.kind = ProxyRoute::Kind::Direct;  // a proxy set, but not for this host or scheme
    }
    return route;
}

InternetHandle OpenUploadSession(const std::shared_ptr<const WinHttp>& api, const ProxyRoute& route) {
    HINTERNET session = nullptr;
    switch (route.kind) {
        case ProxyRoute::Kind::Named:
            session = api->open(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, route.proxy.c_str(),
                                route.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : route.bypass.c_str(), 0);
            break;
        case ProxyRoute::Kind::Automatic:
            session = api->open(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0);
            // Windows before 8.1 does not know the automatic proxy: direct.
            if (session || GetLastError() != ERROR_INVALID_PARAMETER) break;
            [[fallthrough]];
        case ProxyRoute::Kind::Direct:
        case ProxyRoute::Kind::Script:
            session = api->open(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0);
            break;
    }
    if (!session) throw UploadConnectionError(GetLastError());
    InternetHandle owned(api, session);
    if (!api->setTimeouts(session, kUploadStepTimeoutMs, kUploadStepTimeoutMs, kUploadStepTimeoutMs,
                          kUploadStepTimeoutMs))
        throw UploadConnectionError(GetLastError());
    return owned;
}

ProxyRoute ScriptedRoute(const WinHttp& api, HINTERNET session, const ProxyRoute& script,
                         const UploadTarget& target) {
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (script.autoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (!script.scriptUrl.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = script.scriptUrl.c_str();
    }
    options.fAutoLogonIfChallenged = TRUE;
    ProxyRoute route;
    route.kind = ProxyRoute::Kind::Direct;
    ScriptProxy found;
    if (api.getProxyForUrl(session, target.url.c_str(), &options, &found.info)) {
        if (found.info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && found.info.lpszProxy) {
            route.kind = ProxyRoute::Kind::Named;
            route.proxy = found.info.lpszProxy;
            if (found.info.lpszProxyBypass) route.bypass = found.info.lpszProxyBypass;
        }
    } else if (!script.proxy.empty()) {
        route.kind = ProxyRoute::Kind::Named;
        route.proxy = script.proxy;
    }
    return route;
}

}  // namespace kdesk
