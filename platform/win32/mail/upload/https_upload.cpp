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

// Without a window the transfer runs on the calling thread, and a thread with
// a small stack watches it for the same stall, once a second. The TLS work so
// runs on a stack the process already has: a new thread for each try would
// add about 1 MiB to the working set of every later try.
class StallWatch {
public:
    explicit StallWatch(UploadTransfer& transfer) : transfer_(transfer) {
        if (!done_.Valid()) throw UploadConnectionError(GetLastError());
        thread_ = UniqueFileHandle(CreateThread(nullptr, kStack, Watch, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!thread_.Valid()) throw UploadConnectionError(GetLastError());
    }
    ~StallWatch() { Stop(); }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // Ends the watch; true when it found the transfer stalled and aborted it.
    bool Stop() {
        SetEvent(done_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        return stalled_;
    }

private:
    static constexpr SIZE_T kStack = 64 * 1024;
    static constexpr DWORD kLook = 1000;

    static DWORD WINAPI Watch(void* parameter) {
        auto& self = *static_cast<StallWatch*>(parameter);
        while (WaitForSingleObject(self.done_.Get(), kLook) == WAIT_TIMEOUT)
            if (GetTickCount64() - self.transfer_.LastActivity() >= UploadWindow::kUploadStallMs) {
                self.stalled_ = true;
                self.transfer_.Abort();
                return 0;
            }
        return 0;
    }

    UploadTransfer& transfer_;
    UniqueFileHandle done_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> stalled_{false};
    UniqueFileHandle thread_;
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
