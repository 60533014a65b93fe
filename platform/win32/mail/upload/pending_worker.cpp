#include "platform/win32/mail/upload/pending_worker.h"

#include <windows.h>

#include <mutex>
#include <optional>

#include "platform/win32/mail/upload/pending_queue.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr DWORD kRoundPause = DWORD{15} * 60 * 1000;

}  // namespace

// What the thread and the program share; the thread holds it as long as it runs.
struct PendingWorker::Shared {
    std::mutex mutex;
    bool stopped = false;
    std::function<std::wstring()> folderUrl;
    UniqueFileHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    // The URL for the next round; nullopt once the program is ending.
    std::optional<std::wstring> NextRound() {
        const std::lock_guard lock(mutex);
        if (stopped) return std::nullopt;
        return folderUrl();
    }
};

namespace {

DWORD WINAPI RunRounds(void* parameter) {
    const std::unique_ptr<std::shared_ptr<PendingWorker::Shared>> shared(
        static_cast<std::shared_ptr<PendingWorker::Shared>*>(parameter));
    for (;;) {
        const std::optional<std::wstring> url = (*shared)->NextRound();
        if (!url) return 0;
        if (!url->empty()) SendWaitingMessages(*url, Pacing::AfterPause);
        if (WaitForSingleObject((*shared)->stop.Get(), kRoundPause) != WAIT_TIMEOUT) return 0;
    }
}

}  // namespace

PendingWorker::PendingWorker(std::function<std::wstring()> folderUrl) : shared_(std::make_shared<Shared>()) {
    shared_->folderUrl = std::move(folderUrl);
}

PendingWorker::~PendingWorker() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stopped = true;
    }
    if (shared_->stop.Valid()) SetEvent(shared_->stop.Get());
}

void PendingWorker::Start() {
    if (!shared_->stop.Valid()) return;
    auto handed = std::make_unique<std::shared_ptr<Shared>>(shared_);
    const UniqueFileHandle thread(CreateThread(nullptr, 0, RunRounds, handed.get(), 0, nullptr));
    if (thread.Valid()) static_cast<void>(handed.release());  // the thread owns it now
}

}  // namespace kdesk
