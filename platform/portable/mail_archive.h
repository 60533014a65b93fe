#pragma once
// When the support mail's files go as one ZIP archive, and how that archive is
// named, marked and described. Mail servers count a message after base64,
// which makes three bytes four; the limit is KDESK_MAIL_LIMIT_MB million bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk {

// The build's limit, in bytes.
std::uint64_t MailLimitBytes();

// Four thirds of the files' sizes plus the note text's UTF-8 bytes: the
// message's size on the wire, headers and line breaks aside.
std::uint64_t WireSizeEstimate(const std::vector<std::uint64_t>& fileSizes, std::wstring_view noteText);

// Over the limit the files are packed; at or under it they go one by one.
bool MustPack(std::uint64_t wireSize, std::uint64_t limitBytes);

// Each file's name inside the archive: the file name of its path; a name met
// before (letter case aside, as Windows compares names) gets " (2)", " (3)"
// and so on before its extension.
std::vector<std::wstring> ArchiveEntryNames(const std::vector<std::wstring>& paths);

// "stem.zip" for the first try, "stem (n).zip" for the nth.
std::wstring ArchiveFileName(std::wstring_view stem, int attempt);

// The ZIP comment that marks an archive as the program's own.
std::string ArchiveMark();
bool IsArchiveMark(std::string_view comment);

// The box shown before sending when the message stays over the limit with
// its files packed.
std::wstring TooLargeText(std::uint64_t wireSize, std::uint64_t limitBytes, std::wstring_view archivePath);

}  // namespace kdesk
