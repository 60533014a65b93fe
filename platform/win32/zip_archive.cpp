#include "platform/win32/zip_archive.h"

#include <windows.h>

#include <exception>

#include "platform/portable/mail_archive.h"
#include "platform/portable/utf8.h"
#include "platform/portable/zip_writer.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mapi_errors.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr DWORD kReadChunk = 256 * 1024;
constexpr std::size_t kWriteBuffer = std::size_t{128} * 1024;
constexpr int kMaxAttempts = 10000;

RuntimeError NotSaved(const std::wstring& path, DWORD error = GetLastError()) {
    return MailError(MailFault::ArchiveNotSaved, path + L" (" + std::to_wstring(error) + L")");
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(ForFileApi(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// The archive while it is written: "<final name>.part", which no "*.zip"
// search finds, removed again unless it became the archive.
class PartFile {
public:
    PartFile(const std::wstring& folder, const std::function<std::wstring(int)>& fileName) {
        for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
            const std::wstring target = folder + L"\\" + fileName(attempt);
            if (Exists(target)) continue;
            path_ = target + L".part";
            handle_ = CreateFileW(ForFileApi(path_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) return;
            if (GetLastError() != ERROR_FILE_EXISTS) throw NotSaved(path_);
        }
        throw NotSaved(folder + L"\\" + fileName(kMaxAttempts), ERROR_FILE_EXISTS);
    }
    ~PartFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!path_.empty()) DeleteFileW(ForFileApi(path_).c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    HANDLE Handle() const { return handle_; }
    const std::wstring& Path() const { return path_; }

    // On disk and closed, then renamed to the first free name of the series.
    std::wstring Complete(const std::wstring& folder, const std::function<std::wstring(int)>& fileName) {
        if (!FlushFileBuffers(handle_)) throw NotSaved(path_);
        const bool closed = CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
        if (!closed) throw NotSaved(path_);
        for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
            std::wstring target = folder + L"\\" + fileName(attempt);
            if (MoveFileExW(ForFileApi(path_).c_str(), ForFileApi(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
                path_.clear();
                return target;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) throw NotSaved(target, error);
        }
        throw NotSaved(path_, ERROR_FILE_EXISTS);
    }

private:
    std::wstring path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The archive's bytes, gathered into large writes; the tail can be cut back
// when an entry is given up.
class ArchiveOutput {
public:
    explicit ArchiveOutput(const PartFile& file) : file_(file) { buffer_.reserve(kWriteBuffer); }
    void Put(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kWriteBuffer) Flush();
        if (bytes.size() >= kWriteBuffer) return Write(bytes);
        buffer_ += bytes;
    }
    void Flush() {
        Write(buffer_);
        buffer_.clear();
    }
    void CutBack(std::uint64_t offset) {
        if (offset >= written_) return buffer_.resize(offset - written_);
        buffer_.clear();
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_.Handle(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.Handle()))
            throw NotSaved(file_.Path());
        written_ = offset;
    }

private:
    void Write(std::string_view bytes) {
        DWORD done = 0;
        if (!bytes.empty() && (!WriteFile(file_.Handle(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                               done != bytes.size()))
            throw NotSaved(file_.Path());
        written_ += bytes.size();
    }

    const PartFile& file_;
    std::string buffer_;
    std::uint64_t written_ = 0;  // bytes in the file
};

DosDateTime LocalDosTime(const FILETIME& lastWrite) {
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&lastWrite, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return ToDosDateTime({});
    return ToDosDateTime({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

// Adds one file as an entry; false when it is left out: it cannot be opened,
// or reading fails part of the way, and then the entry is cut off again.
bool PackFile(ZipWriter& writer, ArchiveOutput& out, const std::wstring& path, const std::wstring& name,
              std::vector<std::uint8_t>& chunk, const std::function<void()>& betweenChunks) {
    const UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    writer.BeginEntry(ToUtf8(name), LocalDosTime(info.ftLastWriteTime), size);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk.data(), kReadChunk, &read, nullptr)) {
            out.CutBack(writer.AbandonEntry());
            return false;
        }
        if (read == 0) break;
        writer.EntryBytes(std::span(chunk.data(), read));
        if (betweenChunks) betweenChunks();
    }
    writer.EndEntry();
    return true;
}

PackedArchive WriteArchive(const ArchiveRequest& request, PartFile& part) {
    ArchiveOutput out(part);
    ZipWriter writer([&](std::string_view bytes) { out.Put(bytes); });
    std::vector<std::uint8_t> chunk(kReadChunk);
    const std::vector<std::wstring> names = ArchiveEntryNames(request.files);
    PackedArchive packed;
    for (std::size_t i = 0; i < request.files.size(); ++i)
        if (!PackFile(writer, out, request.files[i], names[i], chunk, request.betweenChunks))
            packed.unreadable.push_back(request.files[i]);
    writer.Finish(ArchiveMark());
    out.Flush();
    packed.size = writer.Offset();
    return packed;
}

}  // namespace

PackedArchive PackFiles(const ArchiveRequest& request) {
    PartFile part(request.folder, request.fileName);
    PackedArchive packed;
    try {
        packed = WriteArchive(request, part);
    } catch (const RuntimeError&) {
        throw;
    } catch (const std::exception&) {  // zlib's memory, say
        throw NotSaved(part.Path(), ERROR_NOT_ENOUGH_MEMORY);
    }
    packed.path = part.Complete(request.folder, request.fileName);
    return packed;
}

std::vector<std::uint64_t> ListedFileSizes(const std::vector<std::wstring>& files) {
    std::vector<std::uint64_t> sizes;
    for (const std::wstring& path : files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        const bool found = GetFileAttributesExW(ForFileApi(path).c_str(), GetFileExInfoStandard, &data) &&
                           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        sizes.push_back(found ? (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0);
    }
    return sizes;
}

bool IsOwnArchive(const std::wstring& path) {
    const UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size)) return false;
    const auto tailSize = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, kZipTailSize));
    LARGE_INTEGER start;
    start.QuadPart = size.QuadPart - tailSize;
    std::vector<std::uint8_t> tail(tailSize);
    DWORD read = 0;
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), tail.data(), tailSize, &read, nullptr) || read != tailSize)
        return false;
    const std::optional<std::string> comment = ZipCommentOf(tail);
    return comment && IsArchiveMark(*comment);
}

}  // namespace kdesk
