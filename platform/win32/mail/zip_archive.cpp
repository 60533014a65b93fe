#include "platform/win32/mail/zip_archive.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "platform/portable/mail_archive.h"
#include "platform/portable/utf8.h"
#include "platform/portable/zip_writer.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/mail/outbox_files.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr DWORD kReadChunk = 256 * 1024;
constexpr std::size_t kWriteBuffer = std::size_t{128} * 1024;

DosDateTime LocalDosTime(const FILETIME& lastWrite) {
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&lastWrite, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return ToDosDateTime({});
    return ToDosDateTime({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

// Names as Windows compares file names: ordinal, through its own upper-case table.
bool WindowsNameLess(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_LESS_THAN;
}

// Adds one file as an entry; false when it is left out: it cannot be opened,
// or reading fails part of the way, and then the entry is cut off again. Only
// the size seen at open is read, so that the entry is one snapshot of a file
// that grows meanwhile, and its local header and data descriptor agree on
// whether the sizes need ZIP64 fields.
bool PackFile(ZipWriter& writer, BufferedOutput& out, const std::wstring& path, const std::wstring& name,
              std::vector<std::uint8_t>& chunk, const std::function<void()>& betweenChunks) {
    const UniqueFileHandle file = OpenListedFile(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    writer.BeginEntry(ToUtf8(name), LocalDosTime(info.ftLastWriteTime), size);
    for (std::uint64_t left = size; left > 0;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk.data(), static_cast<DWORD>(std::min<std::uint64_t>(kReadChunk, left)), &read,
                      nullptr)) {
            out.CutBack(writer.AbandonEntry());
            return false;
        }
        if (read == 0) break;  // cut short meanwhile
        writer.EntryBytes(std::span(chunk.data(), read));
        left -= read;
        if (betweenChunks) betweenChunks();
    }
    writer.EndEntry();
    return true;
}

PackedArchive WriteArchive(const ArchiveRequest& request, OutboxFile& file) {
    BufferedOutput out(file, kWriteBuffer);
    ZipWriter writer([&](std::string_view bytes) { out.Put(bytes); });
    std::vector<std::uint8_t> chunk(kReadChunk);
    const std::vector<std::wstring> names = ArchiveEntryNames(request.files, WindowsNameLess);
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
    OutboxFile file(request.folder, request.fileName, MailFault::ArchiveNotSaved);
    PackedArchive packed;
    try {
        packed = WriteArchive(request, file);
    } catch (const RuntimeError&) {
        throw;
    } catch (const std::exception&) {  // zlib's memory, say
        throw MailError(MailFault::ArchiveNotSaved, request.folder.path + L" (" + std::to_wstring(ERROR_NOT_ENOUGH_MEMORY) + L")");
    }
    // An archive without entries is no attachment: its .part goes with `file`.
    if (packed.unreadable.size() < request.files.size()) packed.path = file.Commit();
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
