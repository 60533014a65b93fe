#include "platform/win32/mail/outbox_files.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/portable/draft_files.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/mapi_errors.h"

namespace kdesk {
namespace {

constexpr int kMaxAttempts = 10000;
constexpr wchar_t kPartExtension[] = L".part";
constexpr int kRenameAttempts = 10;
constexpr DWORD kRenamePause = 100;  // milliseconds

RuntimeError OutboxError(MailFault fault, const std::wstring& path, DWORD error = GetLastError()) {
    return MailError(fault, path + L" (" + std::to_wstring(error) + L")");
}

std::wstring LocalAppData(MailFault fault) {
    std::array<wchar_t, MAX_PATH> local{};
    const HRESULT result =
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local.data());
    if (FAILED(result)) {
        std::array<wchar_t, 16> number{};
        std::swprintf(number.data(), number.size(), L"0x%08lX", static_cast<unsigned long>(result));
        throw MailError(fault, std::wstring(L"%LOCALAPPDATA% (") + number.data() + L")");
    }
    return local.data();
}

std::wstring Temp(MailFault fault) {
    std::array<wchar_t, MAX_PATH + 1> temp{};
    const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (length == 0 || length >= temp.size()) throw OutboxError(fault, L"%TEMP%");
    std::wstring folder(temp.data(), length);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// The base folder, then KdeskSupport\Outbox below it, created where missing.
OutboxFolder Prepared(const std::wstring& base, bool longPathsAllowed, MailFault fault) {
    OutboxFolder folder{base, longPathsAllowed};
    for (const wchar_t* part : {L"\\KdeskSupport", L"\\Outbox"}) {
        folder.path += part;
        const std::wstring apiPath = longPathsAllowed ? ForFileApi(folder.path) : folder.path;
        if (!longPathsAllowed && folder.path.size() >= MAX_PATH) throw OutboxError(fault, folder.path, ERROR_FILENAME_EXCED_RANGE);
        if (CreateDirectoryW(apiPath.c_str(), nullptr)) continue;
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(apiPath.c_str());
        // A file of that name is no folder to write in.
        if (error != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw OutboxError(fault, folder.path, error == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : error);
    }
    return folder;
}

bool IsTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// Removes what a copy of the program ended while writing left in the folder.
// A copy still writing holds its file without letting it be deleted, so that
// one stays.
void RemoveStaleParts(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW(ForFileApi(folder + L"\\*" + kPartExtension).c_str(), &data));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsPartName(data.cFileName))
            DeleteFileW(ForFileApi(folder + L"\\" + data.cFileName).c_str());
}

}  // namespace

bool MoveWhenFree(const std::wstring& from, const std::wstring& to, DWORD flags) {
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt >= kRenameAttempts)
            return false;
        Sleep(kRenamePause);
    }
}

std::wstring InFirstUsableOutbox(MailFault fault, const std::function<std::wstring(const OutboxFolder&)>& write) {
    std::optional<RuntimeError> first;
    for (const auto& [base, longPathsAllowed] : {std::pair{&LocalAppData, false}, std::pair{&Temp, true}}) {
        try {
            return write(Prepared(base(fault), longPathsAllowed, fault));
        } catch (const RuntimeError& error) {
            if (!first) first = error;
        }
    }
    throw *first;
}

std::vector<std::wstring> ProgramFolders() {
    std::vector<std::wstring> folders;
    for (auto* base : {&LocalAppData, &Temp}) {
        try {
            folders.push_back(base(MailFault::DraftNotSaved) + L"\\KdeskSupport");
        } catch (const RuntimeError&) {
        }
    }
    return folders;
}

OutboxFile::OutboxFile(const OutboxFolder& folder, FileName fileName, MailFault fault)
    : folder_(folder), fileName_(std::move(fileName)), fault_(fault) {
    RemoveStaleParts(folder_.path);
    for (int attempt = 1;; ++attempt) {
        partPath_ = folder_.path + L"\\" + fileName_(attempt) + kPartExtension;
        // Others may read it, as a virus scanner does; none may write, rename or delete it.
        file_ = UniqueFileHandle(CreateFileW(ApiPath(partPath_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_.Valid()) break;
        const DWORD error = GetLastError();
        if (!IsTaken(error) || attempt >= kMaxAttempts) throw NotSaved(partPath_, error);
    }
    // A name Windows takes for a device would swallow every byte without complaint.
    if (GetFileType(file_.Get()) != FILE_TYPE_DISK) {
        file_.Reset();
        committed_ = true;  // nothing of ours to remove
        throw NotSaved(partPath_, ERROR_INVALID_NAME);
    }
}

OutboxFile::~OutboxFile() {
    if (committed_) return;
    file_.Reset();
    DeleteFileW((folder_.longPathsAllowed ? ForFileApi(partPath_) : partPath_).c_str());
}

RuntimeError OutboxFile::NotSaved(const std::wstring& path, DWORD error) const {
    return OutboxError(fault_, path, error);
}

std::wstring OutboxFile::ApiPath(const std::wstring& path) const {
    if (!folder_.longPathsAllowed && path.size() >= MAX_PATH) throw NotSaved(path, ERROR_FILENAME_EXCED_RANGE);
    return folder_.longPathsAllowed ? ForFileApi(path) : path;
}

void OutboxFile::Write(std::string_view bytes) {
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        throw NotSaved(partPath_);
}

void OutboxFile::TruncateTo(std::uint64_t size) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.Get()))
        throw NotSaved(partPath_);
}

std::wstring OutboxFile::Commit() {
    if (!FlushFileBuffers(file_.Get())) throw NotSaved(partPath_);
    if (!file_.CloseChecked()) throw NotSaved(partPath_);
    for (int attempt = 1;; ++attempt) {
        std::wstring path = folder_.path + L"\\" + fileName_(attempt);
        if (MoveWhenFree(ApiPath(partPath_), ApiPath(path))) {
            committed_ = true;
            return path;
        }
        const DWORD error = GetLastError();
        if (!IsTaken(error) || attempt >= kMaxAttempts) throw NotSaved(path, error);
    }
}

void BufferedOutput::Put(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > bufferSize_) Flush();
    if (bytes.size() >= bufferSize_) return Write(bytes);  // a large piece goes without a copy
    buffer_ += bytes;
}

void BufferedOutput::Flush() {
    Write(buffer_);
    buffer_.clear();
}

void BufferedOutput::Write(std::string_view bytes) {
    file_.Write(bytes);
    written_ += bytes.size();
}

void BufferedOutput::CutBack(std::uint64_t size) {
    if (size >= written_) return buffer_.resize(size - written_);
    buffer_.clear();
    file_.TruncateTo(size);
    written_ = size;
}

UniqueFileHandle OpenListedFile(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

std::string FirstBytesOf(const std::wstring& path, std::size_t count) {
    const UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!file.Valid() || !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(count), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

void RemoveOldOutboxFiles(const std::wstring& written, std::size_t keep,
                          const std::function<bool(const std::wstring&)>& isOwn) {
    const std::size_t slash = written.find_last_of(L'\\');
    const std::wstring folder = written.substr(0, slash);
    const std::wstring kept = written.substr(slash + 1);
    const std::wstring extension = kept.substr(std::min(kept.find_last_of(L'.'), kept.size()));
    std::vector<DraftFile> own;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW(ForFileApi(folder + L"\\*" + extension).c_str(), &data));
    if (!search.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == kept || !HasExtension(name, extension) ||
            !isOwn(folder + L"\\" + name))
            continue;
        const auto time = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
        own.push_back({name, time});
    } while (FindNextFileW(search.Get(), &data));
    for (const std::wstring& name : DraftsToRemove(own, keep > 0 ? keep - 1 : 0))
        DeleteFileW(ForFileApi(std::wstring(folder).append(L"\\").append(name)).c_str());
}

}  // namespace kdesk
