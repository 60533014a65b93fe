#pragma once
// Placeholder: Simple MAPI through mapi32.dll comes next.
#include "platform/mail.h"

namespace kdesk {

class SimpleMapiMail : public MailSession, public MailMessages {
public:
    void SignOn() override {}
    void SetDownLoadMail(bool) override {}
    std::int32_t SessionID() override { return 0; }
    void SignOff() override {}
    void SetSessionID(std::int32_t) override {}
    void Compose() override {}
    void SetRecipAddress(const std::wstring&) override {}
    void ResolveName() override {}
    void SetMsgSubject(const std::wstring&) override {}
    void SetMsgNoteText(const std::wstring&) override {}
    void SetAttachmentIndex(std::int32_t) override {}
    void SetAttachmentPosition(std::int32_t) override {}
    void SetAttachmentPathName(const std::wstring&) override {}
    void Send(bool) override {}
};

}  // namespace kdesk
