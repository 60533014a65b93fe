#include "platform/win32/mail/upload/pending_files.h"

#include <windows.h>

#include "platform/portable/upload_target.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/outbox_files.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr wchar_t kPart[] = L".part";
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kUnixEpochSeconds = 11'644'473'600;  // 1970 counted from 1601
constexpr std::uint64_t kStalePartSeconds = std::uint64_t{24} * 60 * 60;

std::uint64_t Ticks(FILETIME time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

template <typename Visit>
void ForEachFile(const std::wstring& folder, const wchar_t* pattern, Visit visit) {
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW(ForFileApi(folder + L"\\" + pattern).c_str(), &data));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) visit(data);
}

bool WriteAndFlush(const std::wstring& path, std::string_view bytes) {
    UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.Get()) && file.CloseChecked();
}

}  // namespace

std::wstring PendingFolderBeside(const std::wstring& outboxFile) {
    const std::wstring outbox = outboxFile.substr(0, outboxFile.find_last_of(L'\\'));
    return outbox.substr(0, outbox.find_last_of(L'\\')) + L"\\Pending";
}

std::vector<std::wstring> ExistingPendingFolders() {
    std::vector<std::wstring> folders;
    for (const std::wstring& base : ProgramFolders())
        if (IsFolder(base + L"\\Pending")) folders.push_back(base + L"\\Pending");
    return folders;
}

std::wstring StatePath(const std::wstring& folder, const std::wstring& name) {
    return folder + L"\\" + name + L".state";
}

std::wstring LogPath(const std::wstring& folder) { return folder + L"\\invii.log"; }

bool EnsureFolder(const std::wstring& folder) {
    return CreateDirectoryW(ForFileApi(folder).c_str(), nullptr) || IsFolder(folder);
}

std::vector<std::wstring> WaitingNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ForEachFile(folder, L"*.eml", [&](const WIN32_FIND_DATAW& data) {
        if (IsUploadFileName(data.cFileName)) names.emplace_back(data.cFileName);
    });
    return names;
}

bool WriteComplete(const std::wstring& path, std::string_view bytes) {
    const std::wstring part = path + kPart;
    if (WriteAndFlush(part, bytes) &&
        MoveWhenFree(ForFileApi(part), ForFileApi(path), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(ForFileApi(part).c_str());
    return false;
}

std::optional<std::string> ReadFirstBytes(const std::wstring& path, std::size_t limit) {
    const UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    std::string bytes(limit, '\0');
    DWORD read = 0;
    if (!file.Valid() || !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(limit), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

void RemoveStalePendingParts(const std::wstring& folder) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ForEachFile(folder, L"*.part", [&](const WIN32_FIND_DATAW& data) {
        const std::uint64_t written = Ticks(data.ftLastWriteTime);
        if (Ticks(now) > written && Ticks(now) - written > kStalePartSeconds * kTicksPerSecond)
            DeleteFileW(ForFileApi(folder + L"\\" + data.cFileName).c_str());
    });
}

std::int64_t UtcSecondsNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>(Ticks(now) / kTicksPerSecond - kUnixEpochSeconds);
}

}  // namespace kdesk
