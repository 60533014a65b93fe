#pragma once
// The Pending folder beside the outbox, where messages that could not be
// uploaded wait: each message under its upload name, its record of the tries
// beside it ("<name>.state"), and the log of the tries. Every file is written
// under "<name>.part" and renamed once complete, so a power cut leaves either
// the old file or the new one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk {

// The Pending folder beside the outbox folder that holds `outboxFile`.
std::wstring PendingFolderBeside(const std::wstring& outboxFile);
// The Pending folders that exist, beside each outbox folder the program may use.
std::vector<std::wstring> ExistingPendingFolders();

std::wstring StatePath(const std::wstring& folder, const std::wstring& name);
std::wstring LogPath(const std::wstring& folder);

// Creates the folder where it is missing; false when there is no folder.
bool EnsureFolder(const std::wstring& folder);

// The waiting messages' names (of the upload's shape) in the folder.
std::vector<std::wstring> WaitingNames(const std::wstring& folder);

// Writes `bytes` to "<path>.part", flushes it and renames it to `path`,
// replacing an older file; false when a step fails, and no .part stays.
bool WriteComplete(const std::wstring& path, std::string_view bytes);
// The file's first `limit` bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFirstBytes(const std::wstring& path, std::size_t limit);

// Removes the .part files no copy of the program wrote in the last day: a copy
// ended while writing left them.
void RemoveStalePendingParts(const std::wstring& folder);

// The system's UTC clock in seconds.
std::int64_t UtcSecondsNow();

}  // namespace kdesk
