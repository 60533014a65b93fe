#include "platform/win32/mail/upload/upload_transfer.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/portable/upload_errors.h"

namespace kdesk {
namespace {

constexpr DWORD kChunkBytes = 64 * 1024;
constexpr wchar_t kContentType[] = L"Content-Type: message/rfc822\r\n";
constexpr std::uint32_t kProxyLogonStatus = 407;

bool IsCertificateError(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
            return true;
        default:
            return false;
    }
}

}  // namespace

UploadTransfer::UploadTransfer(std::shared_ptr<const WinHttp> api, UploadTarget target, UniqueFileHandle file,
                               std::uint64_t size)
    : api_(std::move(api)),
      target_(std::move(target)),
      file_(std::move(file)),
      size_(size),
      lastActivity_(GetTickCount64()) {}

void UploadTransfer::Run() {
    std::optional<RuntimeError> failure;
    try {
        Transfer();
    } catch (const RuntimeError& error) {
        failure = error;
    } catch (const Aborted&) {
        failure = UploadConnectionError(ERROR_WINHTTP_OPERATION_CANCELLED);
    } catch (const std::bad_alloc&) {
        failure = UploadConnectionError(ERROR_NOT_ENOUGH_MEMORY);
    }
    CloseHandles();
    {
        const std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
    }
    finished_ = true;
    Post(true);
}

void UploadTransfer::Abort() {
    {
        const std::lock_guard lock(mutex_);
        aborted_ = true;
    }
    CloseHandles();
}

void UploadTransfer::NotifyTo(HWND window, UINT progressMessage, UINT finishedMessage) {
    const std::lock_guard lock(mutex_);
    window_ = window;
    progressMessage_ = progressMessage;
    finishedMessage_ = finishedMessage;
}

void UploadTransfer::StopNotifying() {
    const std::lock_guard lock(mutex_);
    window_ = nullptr;
}

std::optional<RuntimeError> UploadTransfer::Failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void UploadTransfer::Transfer() {
    ProxyRoute route = UserProxyRoute(*api_, target_);
    if (route.kind == ProxyRoute::Kind::Script) {
        // The script is asked through a direct session, which the upload's own then replaces.
        ProxyRoute direct;
        direct.kind = ProxyRoute::Kind::Direct;
        Adopt(session_, OpenUploadSession(api_, direct).Release());
        route = ScriptedRoute(*api_, Live(session_), route, target_);
    }
    Adopt(session_, OpenUploadSession(api_, route).Release());
    EnableTls(Live(session_));
    const HINTERNET connection = api_->connect(Live(session_), target_.host.c_str(), target_.port, 0);
    if (!connection) throw UploadConnectionError(GetLastError());
    Adopt(connection_, connection);
    const HINTERNET request =
        api_->openRequest(Live(connection_), L"PUT", target_.path.c_str(), nullptr, WINHTTP_NO_REFERER,
                          WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    if (!request) throw UploadConnectionError(GetLastError());
    Adopt(request_, request);
    SetRequestOptions(Live(request_));
    Touch();

    std::uint32_t status = SendOnce(Live(request_));
    // A proxy that asks for a logon gets the user's Windows logon, once.
    if (status == kProxyLogonStatus && PrepareProxyLogon(Live(request_))) status = SendOnce(Live(request_));
    if (!IsDeliveredStatus(status)) throw UploadStatusError(status);
}

void UploadTransfer::EnableTls(HINTERNET session) {
    // Windows 7 and 8 offer only SSL 3 and TLS 1.0 unless asked; a Windows that
    // does not know TLS 1.3 refuses the pair, so TLS 1.2 is then asked alone.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (api_->setOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) return;
    protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    if (api_->setOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) return;
    throw UploadTlsUnavailableError(GetLastError());
}

void UploadTransfer::SetRequestOptions(HINTERNET request) {
    // A redirect would need the body again; it is reported with its status instead.
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    api_->setOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    // The certificate's fault, which Windows may report only as 12175.
    api_->setStatusCallback(request, OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
}

std::uint32_t UploadTransfer::SendOnce(HINTERNET request) {
    secureFailureFlags_ = 0;
    sent_ = 0;
    // The length goes as Content-Length; no byte of the body leaves before the
    // certificate has been checked.
    if (!api_->sendRequest(request, kContentType, static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0,
                           static_cast<DWORD>(size_), reinterpret_cast<DWORD_PTR>(this)))
        throw SendError(GetLastError());
    Touch();
    Post(false);
    const std::optional<std::uint32_t> writeError = SendBody();
    return Answer(Live(request_), writeError.value_or(ERROR_SUCCESS));
}

// Sends the file in chunks; the Windows error when the connection refused one.
std::optional<std::uint32_t> UploadTransfer::SendBody() {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN)) throw UploadFileError(GetLastError());
    std::vector<char> chunk(kChunkBytes);
    for (std::uint64_t left = size_; left > 0;) {
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::uint64_t>(left, chunk.size()));
        if (!ReadFile(file_.Get(), chunk.data(), wanted, &read, nullptr)) throw UploadFileError(GetLastError());
        if (read == 0) throw UploadFileError(ERROR_HANDLE_EOF);  // the file shrank
        DWORD written = 0;
        if (!api_->writeData(Live(request_), chunk.data(), read, &written)) return GetLastError();
        left -= read;
        sent_ += read;
        Touch();
        Post(false);
    }
    return std::nullopt;
}

// The server's status. A server that refuses the message (413) may close the
// connection while the body is still going: its answer then says why better
// than the broken connection does.
std::uint32_t UploadTransfer::Answer(HINTERNET request, DWORD writeError) {
    // A server that stopped reading has no answer coming either.
    if (writeError == ERROR_WINHTTP_TIMEOUT) throw SendError(writeError);
    if (!api_->receiveResponse(request, nullptr)) throw SendError(writeError ? writeError : GetLastError());
    Touch();
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!api_->queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &length, WINHTTP_NO_HEADER_INDEX))
        throw UploadConnectionError(ERROR_WINHTTP_INVALID_SERVER_RESPONSE);
    return status;
}

// Asks for the user's Windows logon toward the proxy, where the proxy accepts
// one (Negotiate or NTLM) and Windows allows it; false when it cannot be tried.
bool UploadTransfer::PrepareProxyLogon(HINTERNET request) {
    if (proxyScheme_) return false;
    DWORD supported = 0, first = 0, target = 0;
    if (!api_->queryAuthSchemes(request, &supported, &first, &target) || target != WINHTTP_AUTH_TARGET_PROXY)
        return false;
    if (supported & WINHTTP_AUTH_SCHEME_NEGOTIATE) proxyScheme_ = WINHTTP_AUTH_SCHEME_NEGOTIATE;
    else if (supported & WINHTTP_AUTH_SCHEME_NTLM) proxyScheme_ = WINHTTP_AUTH_SCHEME_NTLM;
    else return false;
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
    api_->setOption(request, WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
    return api_->setCredentials(request, WINHTTP_AUTH_TARGET_PROXY, proxyScheme_, nullptr, nullptr, nullptr);
}

RuntimeError UploadTransfer::SendError(DWORD error) const {
    if (IsCertificateError(error)) return UploadConnectionError(CertificateError(error, secureFailureFlags_));
    return UploadConnectionError(error);
}

void CALLBACK UploadTransfer::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                       DWORD infoLength) {
    if (status != WINHTTP_CALLBACK_STATUS_SECURE_FAILURE || !context || !info || infoLength < sizeof(DWORD)) return;
    reinterpret_cast<UploadTransfer*>(context)->secureFailureFlags_ = *static_cast<const DWORD*>(info);
}

void UploadTransfer::Adopt(InternetHandle& slot, HINTERNET handle) {
    InternetHandle owned(api_, handle);
    const std::lock_guard lock(mutex_);
    if (aborted_) throw Aborted{};  // `owned` closes the handle
    slot = std::move(owned);
}

HINTERNET UploadTransfer::Live(const InternetHandle& slot) {
    const std::lock_guard lock(mutex_);
    if (aborted_) throw Aborted{};
    return slot.Get();
}

void UploadTransfer::CloseHandles() {
    InternetHandle request, connection, session;
    {
        const std::lock_guard lock(mutex_);
        request = std::move(request_);
        connection = std::move(connection_);
        session = std::move(session_);
    }
    // Closed outside the lock: a close that waits for the worker's blocking
    // call must not keep the worker from seeing that it was aborted.
    request.Reset();
    connection.Reset();
    session.Reset();
}

void UploadTransfer::Post(bool finished) {
    const std::lock_guard lock(mutex_);
    if (!window_) return;
    if (finished) PostMessageW(window_, finishedMessage_, 0, 0);
    else if (!progressPosted_.exchange(true)) PostMessageW(window_, progressMessage_, 0, 0);
}

}  // namespace kdesk
