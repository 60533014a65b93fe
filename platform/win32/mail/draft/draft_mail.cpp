#include "platform/win32/mail/draft/draft_mail.h"

#include <mapi.h>

#include "platform/portable/mail_address.h"
#include "platform/win32/mail/mapi_errors.h"

namespace kdesk {

void DraftMail::SignOn() {
    if (numbers_.IsOpen()) throw MailError(MailFault::SessionAlreadyOpen);
    numbers_.Open();
}

void DraftMail::SignOff() {
    if (!numbers_.IsOpen()) throw MailError(MailFault::NoSession);
    numbers_.Close();
}

void DraftMail::ResolveName() {
    numbers_.CheckBound();
    if (!IsPlausibleRecipientList(message_.recipAddress)) throw MapiError(MAPI_E_UNKNOWN_RECIPIENT);
}

MailDraft DraftMail::ReadyToSend() const {
    numbers_.CheckBound();
    message_.CheckAttachmentPaths();
    return message_.Draft();
}

// The mail program's compose window is the dialog: it always shows.
void DraftMail::Send(bool) { outbox_.Deliver(ReadyToSend()); }

}  // namespace kdesk
