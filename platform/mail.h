#pragma once
// The mail session and message members the program uses. Every member raises
// RuntimeError with the mail layer's number and description on failure.
#include <cstdint>
#include <string>

namespace kdesk {

class MailSession {
public:
    virtual ~MailSession() = default;
    virtual void SignOn() = 0;
    virtual void SetDownLoadMail(bool download) = 0;
    virtual std::int32_t SessionID() = 0;
    virtual void SignOff() = 0;
};

class MailMessages {
public:
    virtual ~MailMessages() = default;
    virtual void SetSessionID(std::int32_t session) = 0;
    virtual void Compose() = 0;
    virtual void SetRecipAddress(const std::wstring& address) = 0;
    virtual void ResolveName() = 0;
    virtual void SetMsgSubject(const std::wstring& subject) = 0;
    virtual void SetMsgNoteText(const std::wstring& text) = 0;
    virtual void SetAttachmentIndex(std::int32_t index) = 0;
    virtual void SetAttachmentPosition(std::int32_t position) = 0;
    virtual void SetAttachmentPathName(const std::wstring& path) = 0;
    virtual void Send(bool showDialog) = 0;
};

}  // namespace kdesk
