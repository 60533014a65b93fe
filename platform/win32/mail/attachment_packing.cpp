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

}  // namespace

std::optional<PackedAttachments> AttachmentPacking::PackIfTooLarge(const std::vector<std::wstring>& files,
                                                                   const std::wstring& subject,
                                                                   const std::wstring& noteText) {
    const std::uint64_t limit = MailLimitBytes();
    if (!MustPack(WireSizeEstimate(ListedFileSizes(files), noteText), limit)) return std::nullopt;
    const WaitCursor wait;
    const std::wstring stem = DraftFileStem(subject);
    PackedArchive packed;
    InFirstUsableOutbox(MailFault::ArchiveNotSaved, [&](const OutboxFolder& folder) {
        const auto fileName = [&](int attempt) { return ArchiveFileName(stem, attempt); };
        packed = PackFiles({folder, fileName, files, [&] {
                                runtime_.DoEvents();
                                WaitCursor::Show();
                            }});
        RemoveOldOutboxFiles(packed.path, kArchivesKept, IsOwnArchive);
        return packed.path;
    });
    PackedAttachments result{packed.path, {}};
    for (const std::wstring& path : packed.unreadable) result.leftOut.push_back(LeftOut(path));
    const std::uint64_t packedWire = WireSizeEstimate({packed.size}, noteText);
    if (MustPack(packedWire, limit)) runtime_.MsgBox(TooLargeText(packedWire, limit, packed.path), MsgButtons::Ok);
    return result;
}

}  // namespace kdesk
