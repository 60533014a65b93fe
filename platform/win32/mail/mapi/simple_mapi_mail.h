#pragma once
// The mail session and message members over Simple MAPI: mapi32.dll is loaded
// at the first sign-on, the message is built up in memory and handed over at Send.
#include <memory>
#include <optional>

#include "platform/mail.h"
#include "platform/win32/mail/mail_state.h"
#include "platform/win32/mail/mapi/mapi_library.h"
#include "platform/win32/mail/mapi/mapi_outgoing.h"

namespace kdesk {

class SimpleMapiMail : public MailSession, public MailMessages {
public:
    SimpleMapiMail() = default;
    explicit SimpleMapiMail(std::wstring libraryName) : libraryName_(std::move(libraryName)) {}
    SimpleMapiMail(const SimpleMapiMail&) = delete;
    SimpleMapiMail& operator=(const SimpleMapiMail&) = delete;
    ~SimpleMapiMail() override = default;

    // The window that owns the mail client's logon and send dialogs, and is
    // disabled while they show.
    void SetOwner(HWND owner) { owner_ = owner; }
    // The message as composed so far, for a draft when Simple MAPI cannot send it.
    MailDraft Draft() const { return message_.Draft(); }

    // MailSession
    void SignOn() override;
    void SetDownLoadMail(bool download) override;
    std::int32_t SessionID() override;
    void SignOff() override;
    // MailMessages
    void SetSessionID(std::int32_t session) override;
    void Compose() override;
    void SetRecipAddress(const std::wstring& address) override;
    void ResolveName() override;
    void SetMsgSubject(const std::wstring& subject) override;
    void SetMsgNoteText(const std::wstring& text) override;
    // Packing is the support mail's: a transport sends the files it is given.
    std::optional<PackedAttachments> PackAttachments(const std::vector<std::wstring>&) override { return std::nullopt; }
    void SetAttachmentIndex(std::int32_t index) override;
    void SetAttachmentPosition(std::int32_t position) override;
    void SetAttachmentPathName(const std::wstring& path) override;
    void Send(bool showDialog) override;

private:
    const MapiLibrary& Library();
    // The open session the message control is bound to; raises "no session" otherwise.
    LHANDLE BoundSession() const;
    ULONG_PTR UiParam() const { return reinterpret_cast<ULONG_PTR>(owner_); }

    std::wstring libraryName_ = L"mapi32.dll";
    std::optional<MapiLibrary> library_;
    MapiSession session_;  // declared after the library: logs off before it is unloaded
    SessionNumbers numbers_;
    HWND owner_ = nullptr;
    bool downloadMail_ = true;

    ComposedMessage message_;
    std::optional<MapiOutgoingRecipient> recipient_;  // as given, or as the address book resolved it
};

}  // namespace kdesk
