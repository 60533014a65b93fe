#include "platform/win32/mail/upload/pending_queue.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/portable/pending_log.h"
#include "platform/portable/pending_state.h"
#include "platform/portable/upload_errors.h"
#include "platform/portable/upload_target.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/upload/https_upload.h"
#include "platform/win32/mail/upload/pending_files.h"
#include "platform/win32/mail/upload/pending_task.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

// One per logon session: the window and a scheduled run of the same user never send at once.
constexpr wchar_t kSendingMutex[] = L"Local\\KdeskSupport.InvioInSospeso";
constexpr std::size_t kStateBytes = 256;
constexpr std::size_t kLogBytes = std::size_t{1024} * 1024;
constexpr wchar_t kLeftWaiting[] =
    L"non pi\u00f9 in attesa (oltre 7 giorni, o oltre i 20 pi\u00f9 recenti): la bozza resta nella cartella Outbox";

// The named mutex, taken without waiting; released by the thread that took it.
class SendingLock {
public:
    SendingLock() : mutex_(CreateMutexW(nullptr, FALSE, kSendingMutex)) {
        if (!mutex_.Valid()) return;
        const DWORD wait = WaitForSingleObject(mutex_.Get(), 0);
        owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;  // abandoned: a copy ended while sending
    }
    ~SendingLock() {
        if (owned_) ReleaseMutex(mutex_.Get());
    }
    SendingLock(const SendingLock&) = delete;
    SendingLock& operator=(const SendingLock&) = delete;
    bool Owned() const { return owned_; }

private:
    UniqueFileHandle mutex_;
    bool owned_ = false;
};

std::wstring AsTheBoxShowsIt(const RuntimeError& failure) {
    return failure.Description() + L" - " + std::to_wstring(failure.Number());
}

void Log(const std::wstring& folder, const std::wstring& name, const std::wstring& outcome) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string log = ReadFirstBytes(LogPath(folder), kLogBytes).value_or(std::string());
    log += PendingLogLine({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, name, outcome);
    WriteComplete(LogPath(folder), LastLines(log, kPendingLogLines));
}

std::optional<PendingState> ReadState(const std::wstring& folder, const std::wstring& name) {
    const std::optional<std::string> text = ReadFirstBytes(StatePath(folder, name), kStateBytes);
    return text ? ParsePendingState(*text) : std::nullopt;
}

void Remove(const std::wstring& folder, const std::wstring& name) {
    DeleteFileW(ForFileApi(folder + L"\\" + name).c_str());
    DeleteFileW(ForFileApi(StatePath(folder, name)).c_str());
}

// One try; true when the server stored the message. Any failure, even one
// that would not have made it wait (a captive portal's certificate, a site
// answering 403 for a while), leaves it waiting until its days are over: only
// the server's answer that it has the message may remove it.
bool TryOnce(const std::wstring& folder, const std::wstring& name, const std::optional<PendingState>& state,
             const std::wstring& folderUrl) {
    try {
        UploadFileUnseen(UploadUrl(folderUrl, name), folder + L"\\" + name);
    } catch (const RuntimeError& failure) {
        Log(folder, name, AsTheBoxShowsIt(failure));
        WriteComplete(StatePath(folder, name), PendingStateText(AfterFailedTry(state, UtcSecondsNow())));
        return false;
    }
    Remove(folder, name);
    Log(folder, name, kDelivered);
    return true;
}

// Those past their time first; then the due ones are tried. True while any still waits.
bool SendFolder(const std::wstring& folder, const std::wstring& folderUrl, Pacing pacing) {
    RemoveStalePendingParts(folder);
    const std::int64_t now = UtcSecondsNow();
    std::vector<std::pair<std::wstring, std::optional<PendingState>>> waiting;
    std::vector<WaitingMessage> ages;
    for (const std::wstring& name : WaitingNames(folder)) {
        waiting.emplace_back(name, ReadState(folder, name));
        ages.push_back({name, waiting.back().second ? waiting.back().second->firstTry : now});
    }
    const std::vector<std::wstring> leaving = NoLongerWaiting(ages, now);
    bool stillWaits = false;
    for (const auto& [name, state] : waiting) {
        if (std::ranges::find(leaving, name) != leaving.end()) {
            Remove(folder, name);
            Log(folder, name, kLeftWaiting);
        } else if (folderUrl.empty() || (state && !DueForTry(*state, now, pacing)) ||
                   !TryOnce(folder, name, state, folderUrl)) {
            stillWaits = true;
        }
    }
    return stillWaits;
}

}  // namespace

HeldMessage::HeldMessage(const std::wstring& outboxCopy, const std::wstring& uploadName, std::wstring failure)
    : folder_(PendingFolderBeside(outboxCopy)),
      name_(uploadName),
      part_(folder_ + L"\\" + uploadName + L".part"),
      failure_(std::move(failure)) {
    if (!EnsureFolder(folder_) || !MoveFileExW(ForFileApi(outboxCopy).c_str(), ForFileApi(part_).c_str(),
                                               MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        part_.clear();
}

HeldMessage::~HeldMessage() {
    if (!waiting_ && !part_.empty()) DeleteFileW(ForFileApi(part_).c_str());
}

bool HeldMessage::Wait() {
    if (part_.empty() || waiting_) return waiting_;
    const std::wstring state = StatePath(folder_, name_);
    // The record first: a message never waits without it.
    if (!WriteComplete(state, PendingStateText(AfterFailedTry(std::nullopt, UtcSecondsNow())))) return false;
    if (!MoveFileExW(ForFileApi(part_).c_str(), ForFileApi(folder_ + L"\\" + name_).c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(ForFileApi(state).c_str());
        return false;
    }
    waiting_ = true;
    Log(folder_, name_, failure_);
    RegisterPendingTask();
    return true;
}

WaitingOutcome SendWaitingMessages(const std::wstring& folderUrl, Pacing pacing) {
    const SendingLock lock;
    if (!lock.Owned()) return WaitingOutcome::AnotherCopySends;
    const std::vector<std::wstring> folders = ExistingPendingFolders();
    bool stillWaits = false;
    for (const std::wstring& folder : folders) stillWaits = SendFolder(folder, folderUrl, pacing) || stillWaits;
    if (stillWaits) return WaitingOutcome::StillWaiting;
    if (!folders.empty()) DeletePendingTask();
    return WaitingOutcome::NothingWaits;
}

}  // namespace kdesk
