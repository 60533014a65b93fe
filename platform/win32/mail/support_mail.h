#pragma once
// The mail members of the program over the transport that can deliver, chosen
// at each sign-on: Simple MAPI when a usable mail client is registered, else a
// draft opened in the mail program. A Simple MAPI sign-on or send that fails for
// any reason but the operator's own cancel is reported as it is, and the
// message goes on as a draft, so that it is never lost. Files too large for
// mail servers go as one archive, whichever the transport.
#include "platform/mail.h"
#include "platform/runtime.h"
#include "platform/win32/mail/attachment_packing.h"
#include "platform/win32/mail/draft_mail.h"
#include "platform/win32/mail/draft_outbox.h"
#include "platform/win32/mail/simple_mapi_mail.h"

namespace kdesk {

class SupportMail : public MailSession, public MailMessages {
public:
    explicit SupportMail(Runtime& runtime) : outbox_(runtime), packing_(runtime) {}
    SupportMail(const SupportMail&) = delete;
    SupportMail& operator=(const SupportMail&) = delete;
    ~SupportMail() override = default;

    // The window that owns the mail client's dialogs and the draft's program.
    void SetOwner(HWND owner);

    // MailSession
    void SignOn() override;
    void SetDownLoadMail(bool download) override { Session().SetDownLoadMail(download); }
    std::int32_t SessionID() override { return Session().SessionID(); }
    void SignOff() override { Session().SignOff(); }
    // MailMessages
    void SetSessionID(std::int32_t session) override { Messages().SetSessionID(session); }
    void Compose() override { Messages().Compose(); }
    void SetRecipAddress(const std::wstring& address) override { Messages().SetRecipAddress(address); }
    void ResolveName() override { Messages().ResolveName(); }
    void SetMsgSubject(const std::wstring& subject) override { Messages().SetMsgSubject(subject); }
    void SetMsgNoteText(const std::wstring& text) override { Messages().SetMsgNoteText(text); }
    std::optional<PackedAttachments> PackAttachments(const std::vector<std::wstring>& paths) override;
    void SetAttachmentIndex(std::int32_t index) override { Messages().SetAttachmentIndex(index); }
    void SetAttachmentPosition(std::int32_t position) override { Messages().SetAttachmentPosition(position); }
    void SetAttachmentPathName(const std::wstring& path) override { Messages().SetAttachmentPathName(path); }
    void Send(bool showDialog) override;

private:
    MailSession& Session() {
        if (draft_) return draftMail_;
        return mapi_;
    }
    MailMessages& Messages() {
        if (draft_) return draftMail_;
        return mapi_;
    }

    DraftOutbox outbox_;
    AttachmentPacking packing_;
    SimpleMapiMail mapi_;
    DraftMail draftMail_{outbox_};
    bool draft_ = false;  // the transport of the current session
};

}  // namespace kdesk
