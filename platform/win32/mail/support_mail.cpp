#include "platform/win32/mail/support_mail.h"

#include <mapi.h>

#include "build_facts.h"
#include "platform/portable/draft_files.h"
#include "platform/portable/upload_retry.h"
#include "platform/portable/upload_target.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/mapi/mail_client.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/mail/system_random.h"
#include "platform/win32/mail/upload/https_upload.h"
#include "platform/win32/mail/upload/pending_queue.h"

namespace kdesk {
namespace {

bool IsOperatorCancel(const RuntimeError& error) { return error.Number() == kMapiErrorBase + MAPI_E_USER_ABORT; }

// The outbox copy of an uploaded message goes once the upload is over: it was
// delivered, cancelled, or another transport takes the message as it is.
class RemovedWhenDone {
public:
    explicit RemovedWhenDone(std::wstring path) : path_(std::move(path)) {}
    ~RemovedWhenDone() { DeleteFileW(ForFileApi(path_).c_str()); }
    RemovedWhenDone(const RemovedWhenDone&) = delete;
    RemovedWhenDone& operator=(const RemovedWhenDone&) = delete;

private:
    std::wstring path_;
};

}  // namespace

void SupportMail::SetOwner(HWND owner) {
    owner_ = owner;
    mapi_.SetOwner(owner);
    outbox_.SetOwner(owner);
}

std::wstring SupportMail::UploadFolder() const {
    const std::optional<std::wstring> own = facts_.uploadUrl ? facts_.uploadUrl() : std::nullopt;
    return UploadFolderUrl(own, L"" KDESK_UPLOAD_URL_TEXT);
}

void SupportMail::SignOn() {
    uploadFolder_ = UploadFolder();
    if (!uploadFolder_.empty()) {
        route_ = Route::Upload;
        return draftMail_.SignOn();
    }
    route_ = UsableMailClientRegistered() ? Route::SimpleMapi : Route::Draft;
    if (route_ == Route::Draft) return draftMail_.SignOn();
    try {
        mapi_.SignOn();
    } catch (const RuntimeError& error) {
        if (IsOperatorCancel(error)) throw;
        // The later steps go to the draft, so this is the one box of the send.
        route_ = Route::Draft;
        draftMail_.SignOn();
        throw;
    }
}

std::optional<PackedAttachments> SupportMail::PackAttachments(const std::vector<std::wstring>& paths) {
    const MailDraft message = route_ == Route::SimpleMapi ? mapi_.Draft() : draftMail_.Draft();
    return packing_.PackIfTooLarge(paths, message);
}

void SupportMail::Send(bool showDialog) {
    if (route_ == Route::Upload) return Upload();
    if (route_ == Route::Draft) return draftMail_.Send(showDialog);
    const bool reachedMailClient = mapi_.SessionID() != 0;
    try {
        mapi_.Send(showDialog);
    } catch (const RuntimeError& error) {
        if (!reachedMailClient || IsOperatorCancel(error)) throw;
        outbox_.Deliver(mapi_.Draft());  // its own error instead when the draft cannot be written either
        throw;
    }
}

FinishedMessage SupportMail::Finished() const {
    const std::wstring serial = facts_.serialNumber ? facts_.serialNumber() : std::wstring();
    return {L"KdeskSupport " + serial, L"" KDESK_SUPPORT_MAILBOX_TEXT,
            MessageIdFor(SystemRandom(), KDESK_SUPPORT_MAILBOX_TEXT)};
}

void SupportMail::Upload() {
    const MailDraft message = draftMail_.ReadyToSend();
    std::optional<DraftOutbox::Written> written;
    std::optional<RemovedWhenDone> outboxCopy;
    std::wstring name;
    try {
        written = outbox_.Write(message, Finished());
        outboxCopy.emplace(written->path);
        name = UploadFileName(DraftFileStem(message.subject), SystemRandom());
        if (UploadFile(owner_, UploadUrl(uploadFolder_, name), written->path) == UploadResult::Cancelled) return;
    } catch (const RuntimeError& failed) {
        ShowUploadFailure(failed);
        // The very bytes and name that failed may go later, if no mail program takes them now.
        std::optional<HeldMessage> held;
        if (!name.empty() && FailureCanPass(static_cast<std::uint32_t>(failed.Number())))
            held.emplace(written->path, name, failed.Description() + L" - " + std::to_wstring(failed.Number()));
        outboxCopy.reset();
        return SendWithoutUpload(message, held ? &*held : nullptr);
    }
    if (!written->unreadable.empty()) throw UnreadableAttachments(written->unreadable);
}

void SupportMail::ShowUploadFailure(const RuntimeError& error) {
    runtime_.MsgBox(L"SendMail: " + error.Description() + L" - " + std::to_wstring(error.Number()), MsgButtons::Ok);
}

// A draft is written afresh rather than from the upload's copy: a finished
// message without "X-Unsent" would open in a mail program as received mail.
// A mail program that takes the message has it; only when none does, the held
// message waits to go by itself.
void SupportMail::SendWithoutUpload(const MailDraft& message, HeldMessage* held) {
    const DraftOutbox::NotTaken waitForLine = [held]() -> std::wstring {
        if (!held || !held->Wait()) return {};
        return L"Il messaggio sar\u00e0 inviato automaticamente all'assistenza appena la connessione sar\u00e0 di "
               L"nuovo disponibile.";
    };
    if (UsableMailClientRegistered()) return SendThroughMapi(message, waitForLine);
    outbox_.Deliver(message, waitForLine);
}

// The message goes through the mail members in the send's own order; a step
// that fails for any reason but the operator's cancel leaves a draft instead.
void SupportMail::SendThroughMapi(const MailDraft& message, const DraftOutbox::NotTaken& notTaken) {
    try {
        mapi_.SignOn();
    } catch (const RuntimeError& error) {
        if (!IsOperatorCancel(error)) outbox_.Deliver(message, notTaken);
        throw;
    }
    try {
        mapi_.SetSessionID(mapi_.SessionID());
        mapi_.Compose();
        mapi_.SetRecipAddress(message.to);
        mapi_.ResolveName();
        mapi_.SetMsgSubject(message.subject);
        mapi_.SetMsgNoteText(message.noteText);
        for (std::size_t i = 0; i < message.files.size(); ++i) {
            mapi_.SetAttachmentIndex(static_cast<std::int32_t>(i));
            mapi_.SetAttachmentPosition(0);
            mapi_.SetAttachmentPathName(message.files[i]);
        }
        mapi_.Send(false);
    } catch (const RuntimeError& error) {
        try {
            mapi_.SignOff();
        } catch (const RuntimeError&) {
        }
        if (!IsOperatorCancel(error)) outbox_.Deliver(message, notTaken);
        throw;
    }
    mapi_.SignOff();
}

}  // namespace kdesk
