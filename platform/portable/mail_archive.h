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

// The message's text parts, as typed.
struct MailText {
    std::wstring_view to;
    std::wstring_view subject;
    std::wstring_view noteText;
};

// A file to attach: its full path (the part is named after its file name) and size.
struct ListedFile {
    std::wstring path;
    std::uint64_t size = 0;
};

// The message's size on the wire, as the draft writer writes it: headers, the
// note text in quoted-printable, and each file as a base64 part with its
// headers and line breaks.
std::uint64_t WireSizeEstimate(const MailText& text, const std::vector<ListedFile>& files);

// Over the limit the files are packed; at or under it they go one by one.
bool MustPack(std::uint64_t wireSize, std::uint64_t limitBytes);

// Orders file names with letter case aside; Windows' own comparison where
// there is one (CompareStringOrdinal), else FoldCase's.
using NameLess = bool (*)(std::wstring_view a, std::wstring_view b);
bool FoldedNameLess(std::wstring_view a, std::wstring_view b);

// Each file's name inside the archive: the file name of its path, a lone
// surrogate in it as U+FFFD (as the entry's UTF-8 name holds it); a name met
// before (equal under `less`) gets " (2)", " (3)" and so on before its extension.
std::vector<std::wstring> ArchiveEntryNames(const std::vector<std::wstring>& paths, NameLess less = FoldedNameLess);

// "stem.zip" for the first try, "stem (n).zip" for the nth.
std::wstring ArchiveFileName(std::wstring_view stem, int attempt);

// The ZIP comment that marks an archive as the program's own.
std::string ArchiveMark();
bool IsArchiveMark(std::string_view comment);

// The box shown before sending when the message stays over the limit with
// its files packed.
std::wstring TooLargeText(std::uint64_t wireSize, std::uint64_t limitBytes, std::wstring_view archivePath);

}  // namespace kdesk
