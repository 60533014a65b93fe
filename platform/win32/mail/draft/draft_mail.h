#pragma once
// The mail members without a mail client: sign-on, session and message are kept
// here, the recipient is checked to be a plausible address (no address book to
// ask), and Send hands the message to the outbox as a draft.
#include "platform/mail.h"
#include "platform/win32/mail/draft/draft_outbox.h"
#include "platform/win32/mail/mail_state.h"

namespace kdesk {

class DraftMail : public MailSession, public MailMessages {
public:
    explicit DraftMail(DraftOutbox& outbox) : outbox_(outbox) {}
    // The message as composed so far.
    MailDraft Draft() const { return message_.Draft(); }
    // The message to send, once it is bound to the open session and every
    // attachment has its path; raises the mail layer's error otherwise.
    MailDraft ReadyToSend() const;

    // MailSession
    void SignOn() override;
    void SetDownLoadMail(bool) override {}
    std::int32_t SessionID() override { return numbers_.Current(); }
    void SignOff() override;
    // MailMessages
    void SetSessionID(std::int32_t session) override { numbers_.Bind(session); }
    void Compose() override { message_ = {}; }
    void SetRecipAddress(const std::wstring& address) override { message_.recipAddress = address; }
    void ResolveName() override;
    void SetMsgSubject(const std::wstring& subject) override { message_.subject = subject; }
    void SetMsgNoteText(const std::wstring& text) override { message_.noteText = text; }
    // Packing is the support mail's: a transport sends the files it is given.
    std::optional<PackedAttachments> PackAttachments(const std::vector<std::wstring>&) override { return std::nullopt; }
    void SetAttachmentIndex(std::int32_t index) override { message_.SelectAttachment(index); }
    void SetAttachmentPosition(std::int32_t position) override { message_.SetAttachmentPosition(position); }
    void SetAttachmentPathName(const std::wstring& path) override { message_.SetAttachmentPathName(path); }
    void Send(bool showDialog) override;

private:
    DraftOutbox& outbox_;
    SessionNumbers numbers_;
    ComposedMessage message_;
};

}  // namespace kdesk
