#pragma once
// The mail members of the program over the transport that can deliver, chosen
// at each sign-on: the upload to the maker's drop box when one is set, else
// Simple MAPI when a usable mail client is registered, else a draft opened in
// the mail program. A failed upload is reported and the same message goes the
// way it would have gone without it; a Simple MAPI sign-on or send that fails
// for any reason but the operator's own cancel is reported as it is, and the
// message goes on as a draft, so that it is never lost. Files too large for
// mail servers go as one archive, whichever the transport.
#include <functional>
#include <optional>

#include "platform/mail.h"
#include "platform/runtime.h"
#include "platform/win32/mail/attachment_packing.h"
#include "platform/win32/mail/draft/draft_mail.h"
#include "platform/win32/mail/draft/draft_outbox.h"
#include "platform/win32/mail/mapi/simple_mapi_mail.h"
#include "platform/win32/mail/upload/pending_queue.h"

namespace kdesk {

// What the mail reads from the installation at each send.
struct InstallationFacts {
    std::function<std::optional<std::wstring>()> uploadUrl;  // its own drop-box URL, when it has one
    std::function<std::wstring()> serialNumber;               // the cash register's, as shown
};

class SupportMail : public MailSession, public MailMessages {
public:
    explicit SupportMail(Runtime& runtime) : runtime_(runtime), outbox_(runtime), packing_(runtime) {}
    SupportMail(const SupportMail&) = delete;
    SupportMail& operator=(const SupportMail&) = delete;
    ~SupportMail() override = default;

    // The window that owns the mail client's dialogs, the upload's progress and the draft's program.
    void SetOwner(HWND owner);
    void SetInstallationFacts(InstallationFacts facts) { facts_ = std::move(facts); }
    // The drop box's folder URL as the installation sets it now; empty when the upload is off.
    std::wstring UploadFolder() const;

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
    enum class Route { Upload, SimpleMapi, Draft };

    MailSession& Session() {
        if (route_ == Route::SimpleMapi) return mapi_;
        return draftMail_;
    }
    MailMessages& Messages() {
        if (route_ == Route::SimpleMapi) return mapi_;
        return draftMail_;
    }
    FinishedMessage Finished() const;
    void Upload();
    void ShowUploadFailure(const RuntimeError& error);
    // The message the upload could not deliver, the way it goes without one.
    void SendWithoutUpload(const MailDraft& message, HeldMessage* held);
    void SendThroughMapi(const MailDraft& message, const DraftOutbox::NotTaken& notTaken);

    Runtime& runtime_;
    InstallationFacts facts_;
    HWND owner_ = nullptr;
    DraftOutbox outbox_;
    AttachmentPacking packing_;
    SimpleMapiMail mapi_;
    DraftMail draftMail_{outbox_};
    Route route_ = Route::SimpleMapi;  // of the current session
    std::wstring uploadFolder_;        // the drop box of the current session
};

}  // namespace kdesk
