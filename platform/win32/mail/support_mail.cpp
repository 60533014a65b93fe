#include "platform/win32/mail/support_mail.h"

#include <mapi.h>

#include "platform/win32/mail/mail_client.h"
#include "platform/win32/mail/mapi_errors.h"

namespace kdesk {
namespace {

bool IsOperatorCancel(const RuntimeError& error) { return error.Number() == kMapiErrorBase + MAPI_E_USER_ABORT; }

}  // namespace

void SupportMail::SetOwner(HWND owner) {
    mapi_.SetOwner(owner);
    outbox_.SetOwner(owner);
}

void SupportMail::SignOn() {
    draft_ = !UsableMailClientRegistered();
    if (draft_) return draftMail_.SignOn();
    try {
        mapi_.SignOn();
    } catch (const RuntimeError& error) {
        if (IsOperatorCancel(error)) throw;
        // The later steps go to the draft, so this is the one box of the send.
        draft_ = true;
        draftMail_.SignOn();
        throw;
    }
}

std::optional<PackedAttachments> SupportMail::PackAttachments(const std::vector<std::wstring>& paths) {
    const MailDraft message = draft_ ? draftMail_.Draft() : mapi_.Draft();
    return packing_.PackIfTooLarge(paths, message);
}

void SupportMail::Send(bool showDialog) {
    if (draft_) return draftMail_.Send(showDialog);
    const bool reachedMailClient = mapi_.SessionID() != 0;
    try {
        mapi_.Send(showDialog);
    } catch (const RuntimeError& error) {
        if (!reachedMailClient || IsOperatorCancel(error)) throw;
        outbox_.Deliver(mapi_.Draft());  // its own error instead when the draft cannot be written either
        throw;
    }
}

}  // namespace kdesk
