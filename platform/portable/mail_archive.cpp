#include "platform/portable/mail_archive.h"

#include <set>

#include "build_facts.h"
#include "platform/portable/case_fold.h"
#include "platform/portable/eml_writer.h"
#include "platform/portable/utf8.h"

namespace kdesk {
namespace {

constexpr std::uint64_t kMegabyte = 1000000;
constexpr std::string_view kMarkPrefix = "KdeskSupport ";

std::wstring FileNameOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

// "name (n).ext"; a name whose only dot leads it has no extension.
std::wstring Numbered(std::wstring_view name, int n) {
    const std::size_t dot = name.find_last_of(L'.');
    const std::size_t split = (dot == std::wstring_view::npos || dot == 0) ? name.size() : dot;
    return std::wstring(name.substr(0, split)) + L" (" + std::to_wstring(n) + L")" + std::wstring(name.substr(split));
}

// Megabytes with one decimal and an Italian decimal comma, rounded up so that
// a size just over the limit never reads as the limit; whole ones without it.
std::wstring Megabytes(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes + kMegabyte / 10 - 1) / (kMegabyte / 10);
    std::wstring text = std::to_wstring(tenths / 10);
    if (tenths % 10 != 0) text += L"," + std::to_wstring(tenths % 10);
    return text + L" MB";
}

}  // namespace

std::uint64_t MailLimitBytes() { return std::uint64_t{KDESK_MAIL_LIMIT_MB} * kMegabyte; }

std::uint64_t WireSizeEstimate(const MailText& text, const std::vector<ListedFile>& files) {
    std::uint64_t size = MessageFrameSize(text.to, text.subject, text.noteText);
    for (const ListedFile& file : files) size += AttachmentPartSize(FileNameOf(file.path), file.size);
    return size;
}

bool MustPack(std::uint64_t wireSize, std::uint64_t limitBytes) { return wireSize > limitBytes; }

bool FoldedNameLess(std::wstring_view a, std::wstring_view b) { return FoldCase(a) < FoldCase(b); }

std::vector<std::wstring> ArchiveEntryNames(const std::vector<std::wstring>& paths, NameLess less) {
    std::vector<std::wstring> names;
    std::set<std::wstring, NameLess> taken(less);
    for (const std::wstring& path : paths) {
        const std::wstring name = WithoutLoneSurrogates(FileNameOf(path));
        std::wstring unique = name;
        for (int n = 2; taken.contains(unique); ++n) unique = Numbered(name, n);
        taken.insert(unique);
        names.push_back(std::move(unique));
    }
    return names;
}

std::wstring ArchiveFileName(std::wstring_view stem, int attempt) {
    std::wstring name(stem);
    if (attempt > 1) name += L" (" + std::to_wstring(attempt) + L")";
    return name + L".zip";
}

std::string ArchiveMark() { return std::string(kMarkPrefix) + KDESK_VERSION_TEXT; }

// Any version's archives are the program's own.
bool IsArchiveMark(std::string_view comment) { return comment.starts_with(kMarkPrefix); }

std::wstring TooLargeText(std::uint64_t wireSize, std::uint64_t limitBytes, std::wstring_view archivePath) {
    return L"Il messaggio, anche con gli allegati compressi in un archivio ZIP, misura circa " + Megabytes(wireSize) +
           L". Molti server di posta rifiutano i messaggi pi\u00f9 grandi di " + Megabytes(limitBytes) +
           L": il messaggio potrebbe non arrivare all'assistenza.\r\n\r\n"
           L"L'archivio con gli allegati \u00e8 conservato nel file:\r\n" +
           std::wstring(archivePath) +
           L"\r\n\r\nSe il messaggio non arriva, consegnare questo file all'assistenza in un altro modo, "
           L"per esempio su una chiavetta USB.\r\n\r\nIl messaggio viene inviato comunque.";
}

}  // namespace kdesk
