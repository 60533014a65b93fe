#pragma once
// The outbox folder and the files the program writes there. The folder is
// %LOCALAPPDATA%\KdeskSupport\Outbox, or %TEMP%\KdeskSupport\Outbox when that
// one cannot be used. A file is written under a temporary name that no search
// for its extension matches, and renamed only once it is complete, so a file
// cut short is never opened, sent or kept.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {

struct OutboxFolder {
    std::wstring path;
    bool longPathsAllowed = false;  // the first choice keeps paths short enough for every mail program
};

// Calls `write` with each outbox folder in turn (creating it) until one call
// returns; raises the first folder's error (`fault`, draft or archive not
// saved) when none can be written.
std::wstring InFirstUsableOutbox(MailFault fault, const std::function<std::wstring(const OutboxFolder&)>& write);

// Renames a complete file (through the write cache), waiting up to a second
// while another program holds it or the file it replaces (a virus scanner
// looking at the new file, a reader of the old one).
bool MoveWhenFree(const std::wstring& from, const std::wstring& to, DWORD flags = 0);

// %LOCALAPPDATA%\KdeskSupport and %TEMP%\KdeskSupport, those Windows can
// name, in the outbox's order; neither is created.
std::vector<std::wstring> ProgramFolders();

class OutboxFile {
public:
    // The file's final name at the nth try (from 1): DraftFileName or ArchiveFileName.
    using FileName = std::function<std::wstring(int attempt)>;

    // Removes the .part files of drafts and archives that no one holds open
    // (left by a copy of the program ended while writing), then creates
    // "<final name>.part" for the first free try; every failure raises the mail
    // layer's `fault` (draft or archive not saved).
    OutboxFile(const OutboxFolder& folder, FileName fileName, MailFault fault);
    ~OutboxFile();
    OutboxFile(const OutboxFile&) = delete;
    OutboxFile& operator=(const OutboxFile&) = delete;

    void Write(std::string_view bytes);
    // Cuts the file back to its first `size` bytes.
    void TruncateTo(std::uint64_t size);
    // Flushes and closes the file and gives it the first free final name,
    // trying again for a second while another program holds the file; returns
    // its path.
    std::wstring Commit();

private:
    std::wstring ApiPath(const std::wstring& path) const;
    RuntimeError NotSaved(const std::wstring& path, DWORD error = GetLastError()) const;

    OutboxFolder folder_;
    FileName fileName_;
    MailFault fault_;
    std::wstring partPath_;
    UniqueFileHandle file_;
    bool committed_ = false;
};

// An outbox file's bytes gathered into large writes; what is written can be
// cut back to an earlier size.
class BufferedOutput {
public:
    BufferedOutput(OutboxFile& file, std::size_t bufferSize) : file_(file), bufferSize_(bufferSize) {
        buffer_.reserve(bufferSize);
    }
    void Put(std::string_view bytes);
    void Flush();
    void CutBack(std::uint64_t size);

private:
    void Write(std::string_view bytes);

    OutboxFile& file_;
    std::size_t bufferSize_;
    std::string buffer_;
    std::uint64_t written_ = 0;  // bytes in the file
};

// Removes the program's own files with the extension of `written` (`isOwn`
// reads a file's path) from its folder beyond the `keep` newest; `written`,
// the file just made, always stays.
void RemoveOldOutboxFiles(const std::wstring& written, std::size_t keep,
                          const std::function<bool(const std::wstring&)>& isOwn);

// Opens a listed file to read it into a draft or an archive, sharing it so
// that its owner may go on writing, renaming or deleting it meanwhile.
UniqueFileHandle OpenListedFile(const std::wstring& path);

// Up to `count` bytes from the start of a file; empty when it cannot be read.
std::string FirstBytesOf(const std::wstring& path, std::size_t count);

}  // namespace kdesk
