#include "platform/win32/mail/upload/https_upload.h"

#include <atomic>
#include <memory>
#include <utility>

#include "platform/portable/upload_errors.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/upload/https_target.h"
#include "platform/win32/mail/upload/upload_transfer.h"
#include "platform/win32/mail/upload/upload_window.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

struct MessageFile {
    UniqueFileHandle handle;
    std::uint64_t size = 0;
};

// The message, shared for deletion: the outbox may remove it while a worker
// that could not be stopped still holds it.
MessageFile OpenMessage(const std::wstring& path) {
    MessageFile file{UniqueFileHandle(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr))};
    if (!file.handle.Valid()) throw UploadFileError(GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle.Get(), &size)) throw UploadFileError(GetLastError());
    // WinHTTP takes the length as 32 bits.
    if (static_cast<std::uint64_t>(size.QuadPart) > MAXDWORD) throw UploadFileError(ERROR_FILE_TOO_LARGE);
    file.size = static_cast<std::uint64_t>(size.QuadPart);
    return file;
}

DWORD WINAPI RunTransfer(void* parameter) {
    using Shared = std::shared_ptr<UploadTransfer>;
    const std::unique_ptr<Shared> transfer(static_cast<Shared*>(parameter));
    (*transfer)->Run();
    return 0;
}

// The worker thread. It holds the transfer itself, so that one that Windows
// could not stop at once ends later on its own; the handle is closed here.
class Worker {
public:
    explicit Worker(const std::shared_ptr<UploadTransfer>& transfer) {
        auto shared = std::make_unique<std::shared_ptr<UploadTransfer>>(transfer);
        thread_ = UniqueFileHandle(CreateThread(nullptr, 0, RunTransfer, shared.get(), 0, nullptr));
        if (!thread_.Valid()) throw UploadConnectionError(GetLastError());
        static_cast<void>(shared.release());  // the thread owns it now
    }
    void Join() const { WaitForSingleObject(thread_.Get(), INFINITE); }

private:
    UniqueFileHandle thread_;
};

std::shared_ptr<UploadTransfer> PreparedTransfer(const std::wstring& url, const std::wstring& file) {
    const std::shared_ptr<const WinHttp> api = WinHttp::Load();
    UploadTarget target = HttpsTarget(*api, url);
    MessageFile message = OpenMessage(file);
    return std::make_shared<UploadTransfer>(api, std::move(target), std::move(message.handle), message.size);
}

// Without a window the transfer runs on the calling thread, and a timer of
// the process's timer queue looks for the same stall once a second. A thread
// of its own for each try would add about 1 MiB to the working set of every
// later try (as measured under Wine); the queue's thread stays once made.
class StallWatch {
public:
    explicit StallWatch(UploadTransfer& transfer) : transfer_(transfer) {
        if (!CreateTimerQueueTimer(&timer_, nullptr, Look, this, kLook, kLook, WT_EXECUTEINTIMERTHREAD))
            throw UploadConnectionError(GetLastError());
    }
    ~StallWatch() { Stop(); }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // Ends the watch, once a look in progress is over; true when it found the
    // transfer stalled and aborted it.
    bool Stop() {
        if (timer_) DeleteTimerQueueTimer(nullptr, std::exchange(timer_, nullptr), INVALID_HANDLE_VALUE);
        return stalled_;
    }

private:
    static constexpr DWORD kLook = 1000;

    static void CALLBACK Look(void* parameter, BOOLEAN) {
        auto& self = *static_cast<StallWatch*>(parameter);
        if (self.stalled_ || GetTickCount64() - self.transfer_.LastActivity() < UploadWindow::kUploadStallMs) return;
        self.stalled_ = true;
        self.transfer_.Abort();
    }

    UploadTransfer& transfer_;
    std::atomic<bool> stalled_{false};
    HANDLE timer_ = nullptr;
};

void ThrowFailure(UploadWindow::Ending ending, const UploadTransfer& transfer) {
    if (ending == UploadWindow::Ending::Stalled) throw UploadConnectionError(kWinHttpTimeout);
    if (const std::optional<RuntimeError> failure = transfer.Failure()) throw *failure;
}

}  // namespace

UploadResult UploadFile(HWND owner, const std::wstring& url, const std::wstring& file) {
    const std::shared_ptr<UploadTransfer> transfer = PreparedTransfer(url, file);
    UploadWindow::Ending ending;
    {
        UploadWindow window(owner, *transfer);
        const Worker worker(transfer);
        ending = window.Run();
        if (ending == UploadWindow::Ending::Finished) worker.Join();
    }
    if (ending == UploadWindow::Ending::Cancelled) return UploadResult::Cancelled;
    ThrowFailure(ending, *transfer);
    return UploadResult::Delivered;
}

void UploadFileUnseen(const std::wstring& url, const std::wstring& file) {
    const std::shared_ptr<UploadTransfer> transfer = PreparedTransfer(url, file);
    StallWatch watch(*transfer);
    transfer->Run();
    const bool stalled = watch.Stop();
    ThrowFailure(stalled ? UploadWindow::Ending::Stalled : UploadWindow::Ending::Finished, *transfer);
}

}  // namespace kdesk
