#include "platform/win32/mail/attachment_packing.h"

#include <windows.h>

#include <mapi.h>

#include "platform/portable/draft_files.h"
#include "platform/portable/mail_archive.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/mail/outbox_files.h"
#include "platform/win32/mail/zip_archive.h"

namespace kdesk {
namespace {

// The wait cursor while packing runs; shown again after each round of
// window events, which set the window's own cursor back.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    static void Show() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }

private:
    HCURSOR previous_;
};

RuntimeError LeftOut(const std::wstring& path) {
    const RuntimeError notFound = MapiError(MAPI_E_ATTACHMENT_NOT_FOUND);
    return {notFound.Number(), notFound.Description() + L": " + path};
}

std::vector<ListedFile> Listed(const std::vector<std::wstring>& paths) {
    const std::vector<std::uint64_t> sizes = ListedFileSizes(paths);
    std::vector<ListedFile> files;
    for (std::size_t i = 0; i < paths.size(); ++i) files.push_back({paths[i], sizes[i]});
    return files;
}

}  // namespace

std::optional<PackedAttachments> AttachmentPacking::PackIfTooLarge(const std::vector<std::wstring>& files,
                                                                   const MailDraft& message) {
    const std::uint64_t limit = MailLimitBytes();
    const MailText text{message.to, message.subject, message.noteText};
    if (!MustPack(WireSizeEstimate(text, Listed(files)), limit)) return std::nullopt;
    const WaitCursor wait;
    const std::wstring stem = DraftFileStem(message.subject);
    PackedArchive packed;
    InFirstUsableOutbox(MailFault::ArchiveNotSaved, [&](const OutboxFolder& folder) {
        const auto fileName = [&](int attempt) { return ArchiveFileName(stem, attempt); };
        packed = PackFiles({folder, fileName, files, [&] {
                                runtime_.DoEvents();
                                WaitCursor::Show();
                            }});
        if (!packed.path.empty()) RemoveOldOutboxFiles(packed.path, kArchivesKept, IsOwnArchive);
        return packed.path;
    });
    PackedAttachments result{packed.path, {}};
    for (const std::wstring& path : packed.unreadable) result.leftOut.push_back(LeftOut(path));
    if (packed.path.empty()) return result;
    const std::uint64_t packedWire = WireSizeEstimate(text, {{packed.path, packed.size}});
    if (MustPack(packedWire, limit)) runtime_.MsgBox(TooLargeText(packedWire, limit, packed.path), MsgButtons::Ok);
    return result;
}

}  // namespace kdesk
