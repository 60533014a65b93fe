#pragma once
// The mail session and message members over Simple MAPI: mapi32.dll is loaded
// at the first sign-on, the message is built up in memory and handed over at Send.
#include <memory>
#include <optional>

#include "platform/mail.h"
#include "platform/win32/mapi_library.h"
#include "platform/win32/mapi_outgoing.h"

namespace kdesk {

class SimpleMapiMail : public MailSession, public MailMessages {
public:
    SimpleMapiMail() = default;
    explicit SimpleMapiMail(std::wstring libraryName) : libraryName_(std::move(libraryName)) {}
    SimpleMapiMail(const SimpleMapiMail&) = delete;
    SimpleMapiMail& operator=(const SimpleMapiMail&) = delete;
    ~SimpleMapiMail() override = default;

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
    void SetAttachmentIndex(std::int32_t index) override;
    void SetAttachmentPosition(std::int32_t position) override;
    void SetAttachmentPathName(const std::wstring& path) override;
    void Send(bool showDialog) override;

private:
    const MapiLibrary& Library();
    // The open session the message control is bound to; raises "no session" otherwise.
    LHANDLE BoundSession() const;
    MapiOutgoingAttachment& SelectedAttachment();

    std::wstring libraryName_ = L"mapi32.dll";
    std::optional<MapiLibrary> library_;
    MapiSession session_;  // declared after the library: logs off before it is unloaded
    std::int32_t sessionId_ = 0;
    std::int32_t lastSessionId_ = 0;
    std::int32_t boundSessionId_ = 0;
    bool downloadMail_ = true;

    MapiOutgoingMessage message_;
    std::wstring recipAddress_;
    std::int32_t attachmentIndex_ = 0;
};

}  // namespace kdesk
