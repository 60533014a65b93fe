#include "platform/win32/draft_outbox.h"

#include <mapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <set>

#include "build_facts.h"
#include "platform/portable/draft_files.h"
#include "platform/portable/eml_writer.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mapi_errors.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr std::size_t kWriteBuffer = std::size_t{256} * 1024;
constexpr DWORD kReadChunk = 3 * 64 * 1024;

RuntimeError NotSaved(const std::wstring& path, DWORD error = GetLastError()) {
    return MailError(MailFault::DraftNotSaved, path + L" (" + std::to_wstring(error) + L")");
}

std::wstring OutboxFolder() {
    wchar_t local[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local)))
        throw NotSaved(L"%LOCALAPPDATA%");
    std::wstring folder = local;
    for (const wchar_t* part : {L"\\KdeskSupport", L"\\Outbox"}) {
        folder += part;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) throw NotSaved(folder);
    }
    return folder;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// Collects the draft's bytes and writes them to the file in large pieces.
class BufferedFile {
public:
    BufferedFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) { buffer_.reserve(kWriteBuffer); }
    void Put(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kWriteBuffer) Flush();
        if (bytes.size() >= kWriteBuffer) return Write(bytes);  // a large piece goes without a copy
        buffer_ += bytes;
    }
    void Flush() {
        Write(buffer_);
        buffer_.clear();
    }
    void Write(std::string_view bytes) {
        DWORD written = 0;
        if (!bytes.empty() &&
            (!WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size()))
            throw NotSaved(path_);
    }
    void Restart() {
        buffer_.clear();
        SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file_);
    }

private:
    HANDLE file_;
    std::wstring path_;
    std::string buffer_;
};

struct ReadFailedMidway {
    std::size_t index;
};

// Streams one file into the draft; false when it cannot be opened (nothing
// written), ReadFailedMidway when reading stops part of the way.
bool AttachFile(EmlWriter& writer, const std::wstring& path, std::size_t index, std::vector<std::uint8_t>& chunk) {
    const UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

// The draft file, created new: "subject.eml", else "subject (2).eml" and so on.
std::pair<UniqueFileHandle, std::wstring> CreateDraftFile(const std::wstring& folder, const std::wstring& subject) {
    const std::wstring stem = DraftFileStem(subject);
    for (int attempt = 1;; ++attempt) {
        std::wstring path = folder + L"\\" + DraftFileName(stem, attempt);
        UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                          nullptr));
        if (file.Valid()) return {std::move(file), std::move(path)};
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 10000) throw NotSaved(path, error);
    }
}

void RemoveOldDrafts(const std::wstring& folder, const std::wstring& keptName) {
    std::vector<DraftFile> drafts;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW((folder + L"\\*.eml").c_str(), &data));
    if (!search.Valid()) return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || keptName == data.cFileName) continue;
        const auto time = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
        drafts.push_back({data.cFileName, time});
    } while (FindNextFileW(search.Get(), &data));
    for (const std::wstring& name : DraftsToRemove(drafts, DraftOutbox::kDraftsKept - 1))
        DeleteFileW(std::wstring(folder).append(L"\\").append(name).c_str());
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
std::set<std::size_t> WriteDraft(HANDLE file, const std::wstring& path, const MailDraft& draft) {
    BufferedFile out(file, path);
    std::vector<std::uint8_t> chunk(kReadChunk);
    std::set<std::size_t> leftOut;
    for (;;) {
        try {
            EmlWriter writer([&](std::string_view bytes) { out.Put(bytes); }, DraftBoundary(BoundarySeed()));
            writer.Begin(draft.to, draft.subject, DateNow(), draft.noteText);
            for (std::size_t i = 0; i < draft.files.size(); ++i)
                if (!leftOut.contains(i) && !AttachFile(writer, draft.files[i], i, chunk)) leftOut.insert(i);
            writer.End();
            out.Flush();
            break;
        } catch (const ReadFailedMidway& failed) {
            // A part cut short would be a damaged file: the draft is written again without it.
            leftOut.insert(failed.index);
            out.Restart();
        }
    }
    return leftOut;
}

}  // namespace

DraftOutbox::Written DraftOutbox::Write(const MailDraft& draft) {
    const std::wstring folder = OutboxFolder();
    auto [file, path] = CreateDraftFile(folder, draft.subject);
    std::set<std::size_t> leftOut;
    try {
        leftOut = WriteDraft(file.Get(), path, draft);
    } catch (...) {
        file.Reset();
        DeleteFileW(path.c_str());  // no half-written draft is left behind
        throw;
    }
    file.Reset();
    RemoveOldDrafts(folder, FileNameOf(path));
    Written written{path, {}};
    for (std::size_t i : leftOut) written.unreadable.push_back(draft.files[i]);
    return written;
}

void DraftOutbox::Deliver(const MailDraft& draft) {
    const Written written = Write(draft);
    Open(written.path);
    if (written.unreadable.empty()) return;
    const RuntimeError unreadable = MapiError(MAPI_E_ATTACHMENT_OPEN_FAILURE);
    throw RuntimeError(unreadable.Number(), unreadable.Description() + L": " + written.unreadable.front());
}

void DraftOutbox::Open(const std::wstring& path) {
    const ComForShell com;
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    open.hwnd = owner_;
    open.lpVerb = L"open";
    open.lpFile = path.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&open)) return;

    const std::wstring select = L"/select,\"" + path + L"\"";
    ShellExecuteW(owner_, L"open", L"explorer.exe", select.c_str(), nullptr, SW_SHOWNORMAL);
    runtime_.MsgBox(L"Nessun programma di posta ha potuto prendere il messaggio.\r\n\r\n"
                    L"Il messaggio \u00e8 salvato nel file:\r\n" +
                        path + L"\r\n\r\nInviare questo file all'assistenza, all'indirizzo " KDESK_SUPPORT_MAILBOX_TEXT L".",
                    MsgButtons::Ok);
}

}  // namespace kdesk
