#pragma once
// One upload: a PUT of the message file over synchronous WinHTTP, run on a
// worker thread that only posts its progress and its end to a window. Abort,
// from any thread, closes the WinHTTP handles: where Windows lets that stop a
// blocking call it stops at once, and the worker stops at its next step in any
// case, before sending any more of the message.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/runtime_error.h"
#include "platform/win32/mail/upload/upload_session.h"
#include "platform/win32/mail/upload/https_target.h"
#include "platform/win32/mail/upload/winhttp_library.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {

class UploadTransfer {
public:
    UploadTransfer(std::shared_ptr<const WinHttp> api, UploadTarget target, UniqueFileHandle file,
                   std::uint64_t size);

    // On the worker thread: the whole transfer, then the finished message.
    void Run();
    // Any thread: stops the transfer (see above).
    void Abort();

    // Where the progress and finished messages go; none after StopNotifying.
    void NotifyTo(HWND window, UINT progressMessage, UINT finishedMessage);
    void StopNotifying();
    // The window has taken the last progress message: the next one may be posted.
    void ProgressTaken() { progressPosted_ = false; }

    std::uint64_t Size() const { return size_; }
    std::uint64_t BytesSent() const { return sent_; }
    // GetTickCount64 at the worker's last step: connected, a chunk sent, answered.
    ULONGLONG LastActivity() const { return lastActivity_; }
    bool Finished() const { return finished_; }
    // Once finished: the failure, or nullopt when the server stored the message.
    std::optional<RuntimeError> Failure() const;

private:
    struct Aborted {};

    void Transfer();
    std::uint32_t SendOnce(HINTERNET request);
    std::optional<std::uint32_t> SendBody();
    std::uint32_t Answer(HINTERNET request, DWORD writeError);
    bool PrepareProxyLogon(HINTERNET request);
    void SetRequestOptions(HINTERNET request);
    void EnableTls(HINTERNET session);
    void Adopt(InternetHandle& slot, HINTERNET handle);
    HINTERNET Live(const InternetHandle& slot);
    void CloseHandles();
    void Touch() { lastActivity_ = GetTickCount64(); }
    void Post(bool finished);
    RuntimeError SendError(DWORD error) const;
    static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength);

    const std::shared_ptr<const WinHttp> api_;
    const UploadTarget target_;
    const UniqueFileHandle file_;
    const std::uint64_t size_;

    mutable std::mutex mutex_;  // guards the handles, the window and the outcome
    InternetHandle session_, connection_, request_;
    bool aborted_ = false;
    HWND window_ = nullptr;
    UINT progressMessage_ = 0, finishedMessage_ = 0;
    std::optional<RuntimeError> failure_;

    std::atomic<std::uint64_t> sent_{0};
    std::atomic<ULONGLONG> lastActivity_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> progressPosted_{false};
    std::atomic<DWORD> secureFailureFlags_{0};
    DWORD proxyScheme_ = 0;  // the scheme of the proxy's logon, once asked
};

}  // namespace kdesk
