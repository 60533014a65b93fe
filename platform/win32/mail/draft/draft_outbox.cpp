#include "platform/win32/mail/draft/draft_outbox.h"

#include <mapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <set>

#include "build_facts.h"
#include "platform/portable/draft_files.h"
#include "platform/portable/eml_writer.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/mail/draft/new_outlook.h"
#include "platform/win32/mail/outbox_files.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr std::size_t kWriteBuffer = std::size_t{256} * 1024;
constexpr DWORD kReadChunk = 3 * 64 * 1024;

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

struct ReadFailedMidway {
    std::size_t index;
};

// Streams one file into the draft; false when it cannot be opened (nothing
// written), ReadFailedMidway when reading stops part of the way.
bool AttachFile(EmlWriter& writer, const std::wstring& path, std::size_t index, std::vector<std::uint8_t>& chunk) {
    const UniqueFileHandle file = OpenListedFile(path);
    if (!file.Valid()) return false;
    writer.BeginAttachment(FileNameOf(path));
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk.data(), kReadChunk, &read, nullptr)) throw ReadFailedMidway{index};
        if (read == 0) break;
        writer.AttachmentBytes(std::span(chunk.data(), read));
    }
    writer.EndAttachment();
    return true;
}

std::string DateNow() {
    SYSTEMTIME local;
    SYSTEMTIME utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    FILETIME localTime;
    FILETIME utcTime;
    SystemTimeToFileTime(&local, &localTime);
    SystemTimeToFileTime(&utc, &utcTime);
    const auto ticks = [](FILETIME t) { return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const long long minute = 600000000LL;  // 100-ns ticks
    const long long difference = ticks(localTime) - ticks(utcTime);
    const int offset = static_cast<int>((difference + (difference >= 0 ? minute / 2 : -minute / 2)) / minute);
    return Rfc5322Date({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond}, offset);
}

std::uint64_t BoundarySeed() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) ^
           (static_cast<std::uint64_t>(GetCurrentProcessId()) << 48);
}

// ShellExecuteEx may hand the file to a handler activated through COM.
class ComForShell {
public:
    ComForShell() {
        using Initialize = HRESULT WINAPI(LPVOID, DWORD);
        if (auto* initialize = ole32_.Function<Initialize>("CoInitializeEx"))
            initialized_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ComForShell() {
        using Uninitialize = void WINAPI();
        if (initialized_)
            if (auto* uninitialize = ole32_.Function<Uninitialize>("CoUninitialize")) uninitialize();
    }
    ComForShell(const ComForShell&) = delete;
    ComForShell& operator=(const ComForShell&) = delete;

private:
    SystemLibrary ole32_{L"ole32.dll"};
    bool initialized_ = false;
};

// Writes the whole draft; returns the indexes of the files left out.
std::set<std::size_t> WriteDraft(OutboxFile& file, const MailDraft& draft,
                                 const std::optional<FinishedMessage>& finished) {
    BufferedOutput out(file, kWriteBuffer);
    std::vector<std::uint8_t> chunk(kReadChunk);
    std::set<std::size_t> leftOut;
    for (;;) {
        try {
            EmlWriter writer([&](std::string_view bytes) { out.Put(bytes); }, DraftBoundary(BoundarySeed()));
            writer.Begin(draft.to, draft.subject, DateNow(), draft.noteText, finished);
            for (std::size_t i = 0; i < draft.files.size(); ++i)
                if (!leftOut.contains(i) && !AttachFile(writer, draft.files[i], i, chunk)) leftOut.insert(i);
            writer.End();
            out.Flush();
            break;
        } catch (const ReadFailedMidway& failed) {
            // A part cut short would be a damaged file: the draft is written again without it.
            leftOut.insert(failed.index);
            out.CutBack(0);
        }
    }
    return leftOut;
}

// Explorer by its full path: a bare name would be looked for in the program's
// own folder and the current one first, where a planted copy could wait.
std::wstring ExplorerPath() {
    std::array<wchar_t, MAX_PATH> windows{};
    const UINT length = GetSystemWindowsDirectoryW(windows.data(), static_cast<UINT>(windows.size()));
    if (length == 0 || length >= windows.size()) return {};
    return std::wstring(windows.data(), length) + L"\\explorer.exe";
}

bool IsOwnDraft(const std::wstring& path) { return CarriesDraftMark(FirstBytesOf(path, kDraftMarkSearch)); }

}  // namespace

DraftOutbox::Written DraftOutbox::Write(const MailDraft& draft, const std::optional<FinishedMessage>& finished) {
    std::set<std::size_t> leftOut;
    const std::wstring stem = DraftFileStem(draft.subject);
    const std::wstring path = InFirstUsableOutbox(MailFault::DraftNotSaved, [&](const OutboxFolder& folder) {
        OutboxFile file(folder, [&](int attempt) { return DraftFileName(stem, attempt); }, MailFault::DraftNotSaved);
        leftOut = WriteDraft(file, draft, finished);
        std::wstring written = file.Commit();
        RemoveOldOutboxFiles(written, kDraftsKept, IsOwnDraft);
        return written;
    });
    Written written{path, {}};
    for (std::size_t i : leftOut) written.unreadable.push_back(draft.files[i]);
    return written;
}

void DraftOutbox::Deliver(const MailDraft& draft, const NotTaken& notTaken) {
    const Written written = Write(draft);
    Open(written.path, notTaken);
    if (!written.unreadable.empty()) throw UnreadableAttachments(written.unreadable);
}

RuntimeError UnreadableAttachments(const std::vector<std::wstring>& paths) {
    const RuntimeError unreadable = MapiError(MAPI_E_ATTACHMENT_OPEN_FAILURE);
    std::wstring description = unreadable.Description() + L":";
    for (const std::wstring& path : paths) description += (paths.size() > 1 ? L"\r\n" : L" ") + path;
    return {unreadable.Number(), description};
}

void DraftOutbox::Open(const std::wstring& path, const NotTaken& notTaken) {
    const ComForShell com;
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    open.hwnd = owner_;
    open.lpVerb = L"open";
    open.lpFile = path.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&open) || OpenInNewOutlook(path)) return;

    const std::wstring select = L"/select,\"" + path + L"\"";
    if (const std::wstring explorer = ExplorerPath(); !explorer.empty())
        ShellExecuteW(owner_, L"open", explorer.c_str(), select.c_str(), nullptr, SW_SHOWNORMAL);
    std::wstring text = L"Nessun programma di posta ha potuto prendere il messaggio.\r\n\r\n"
                        L"Il messaggio \u00e8 salvato nel file:\r\n" +
                        path + L"\r\n\r\nInviare questo file all'assistenza, all'indirizzo " KDESK_SUPPORT_MAILBOX_TEXT L".";
    if (const std::wstring lastLine = notTaken ? notTaken() : std::wstring(); !lastLine.empty())
        text += L"\r\n\r\n" + lastLine;
    runtime_.MsgBox(text, MsgButtons::Ok);
}

}  // namespace kdesk
