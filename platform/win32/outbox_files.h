#pragma once
// The outbox folder and the files the program writes there. The folder is
// %LOCALAPPDATA%\KdeskSupport\Outbox, or %TEMP%\KdeskSupport\Outbox when that
// one cannot be used. A file is written under a temporary name that no search
// for its extension matches, and renamed only once it is complete, so a file
// cut short is never opened, sent or kept.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/runtime_error.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {

struct OutboxFolder {
    std::wstring path;
    bool longPathsAllowed = false;  // the first choice keeps paths short enough for every mail program
};

// Calls `write` with each outbox folder in turn (creating it) until one call
// returns; raises the first folder's error when none can be written.
std::wstring InFirstUsableOutbox(const std::function<std::wstring(const OutboxFolder&)>& write);

class OutboxFile {
public:
    // Creates "stem.ext.part" (or "stem (n).ext.part"); raises "draft not saved".
    OutboxFile(const OutboxFolder& folder, const std::wstring& stem, const std::wstring& extension);
    ~OutboxFile();
    OutboxFile(const OutboxFile&) = delete;
    OutboxFile& operator=(const OutboxFile&) = delete;

    // Appends; raises "draft not saved" when the bytes cannot be written.
    void Write(std::string_view bytes);
    // Back to an empty file.
    void Truncate();
    // Flushes and closes the file and gives it its final name, "stem.ext" or
    // "stem (n).ext" when that is taken; returns its path.
    std::wstring Commit();

private:
    std::wstring ApiPath(const std::wstring& path) const;

    OutboxFolder folder_;
    std::wstring stem_;
    std::wstring extension_;
    std::wstring partPath_;
    UniqueFileHandle file_;
    bool committed_ = false;
};

// Removes the program's own files with this extension (`isOwn` reads a file's
// path) beyond the `keep` newest; `kept` is never removed.
void RemoveOldOutboxFiles(const std::wstring& folder, const std::wstring& extension, std::size_t keep,
                          const std::wstring& kept, const std::function<bool(const std::wstring&)>& isOwn);

// Up to `count` bytes from the start of a file; empty when it cannot be read.
std::string FirstBytesOf(const std::wstring& path, std::size_t count);

// "Cannot save the draft" naming the path and the system's error number.
RuntimeError DraftNotSaved(const std::wstring& path, DWORD error = GetLastError());

}  // namespace kdesk
