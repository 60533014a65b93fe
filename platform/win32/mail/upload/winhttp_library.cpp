#include "platform/win32/mail/upload/winhttp_library.h"

#include <mutex>

#include "platform/portable/upload_errors.h"

namespace kdesk {
namespace {

template <typename Function>
void Bind(const SystemLibrary& library, Function& slot, const char* name) {
    slot = library.Function<std::remove_pointer_t<Function>>(name);
    if (!slot) throw UploadConnectionError(ERROR_PROC_NOT_FOUND);
}

}  // namespace

// Loaded once and kept for the process's life: a DLL freed after each upload
// is mapped afresh by the next one, whose working set then grows by its pages
// and its TLS set-up again (about 1.9 MiB under Wine). A load that fails is
// tried again at the next call.
std::shared_ptr<const WinHttp> WinHttp::Load() {
    static std::mutex mutex;
    static std::shared_ptr<const WinHttp> kept;
    const std::lock_guard lock(mutex);
    if (kept) return kept;
    SystemLibrary library(L"winhttp.dll");
    if (!library) throw UploadConnectionError(ERROR_MOD_NOT_FOUND);
    auto api = std::make_shared<WinHttp>(std::move(library));
    const SystemLibrary& loaded = api->library_;
    Bind(loaded, api->crackUrl, "WinHttpCrackUrl");
    Bind(loaded, api->open, "WinHttpOpen");
    Bind(loaded, api->connect, "WinHttpConnect");
    Bind(loaded, api->openRequest, "WinHttpOpenRequest");
    Bind(loaded, api->closeHandle, "WinHttpCloseHandle");
    Bind(loaded, api->setOption, "WinHttpSetOption");
    Bind(loaded, api->setTimeouts, "WinHttpSetTimeouts");
    Bind(loaded, api->setStatusCallback, "WinHttpSetStatusCallback");
    Bind(loaded, api->sendRequest, "WinHttpSendRequest");
    Bind(loaded, api->writeData, "WinHttpWriteData");
    Bind(loaded, api->receiveResponse, "WinHttpReceiveResponse");
    Bind(loaded, api->queryHeaders, "WinHttpQueryHeaders");
    Bind(loaded, api->queryAuthSchemes, "WinHttpQueryAuthSchemes");
    Bind(loaded, api->setCredentials, "WinHttpSetCredentials");
    Bind(loaded, api->getIEProxyConfig, "WinHttpGetIEProxyConfigForCurrentUser");
    Bind(loaded, api->getProxyForUrl, "WinHttpGetProxyForUrl");
    kept = api;
    return api;
}

}  // namespace kdesk
