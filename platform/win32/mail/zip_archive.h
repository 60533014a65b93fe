#pragma once
// The mail's files packed into one ZIP archive: each file read in chunks and
// deflated into an outbox file, which becomes the archive only once it is
// complete and on disk, so that an archive is whole or absent.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/mail/outbox_files.h"

namespace kdesk {

struct PackedArchive {
    std::wstring path;                     // the complete archive; empty when no file could be read
    std::uint64_t size = 0;                // its bytes
    std::vector<std::wstring> unreadable;  // files left out, in list order
};

struct ArchiveRequest {
    OutboxFolder folder;
    // The archive's file name at the nth try (from 1), until one is free:
    // ArchiveFileName of the draft's stem, for example.
    std::function<std::wstring(int attempt)> fileName;
    std::vector<std::wstring> files;  // full paths, in list order
    // Called after each chunk, for example to repaint the window.
    std::function<void()> betweenChunks;
};

// Packs the files under ArchiveEntryNames' names, each dated by its last
// write in local time, with the program's mark as the archive's comment. A
// file that cannot be opened, or whose reading fails part of the way, is left
// out and listed; when every file is left out, no archive stays. Raises the
// mail layer's ArchiveNotSaved error, leaving no file behind, when the archive
// cannot be written.
PackedArchive PackFiles(const ArchiveRequest& request);

// Each listed file's size, 0 for one that cannot be read: what
// WireSizeEstimate counts.
std::vector<std::uint64_t> ListedFileSizes(const std::vector<std::wstring>& files);

// Whether the file is a ZIP archive that carries the program's mark.
bool IsOwnArchive(const std::wstring& path);

}  // namespace kdesk
