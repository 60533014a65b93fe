#pragma once
// The mail session and message members the program uses. Every member raises
// RuntimeError with the mail layer's number and description on failure.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_error.h"

namespace kdesk {

class MailSession {
public:
    virtual ~MailSession() = default;
    virtual void SignOn() = 0;
    virtual void SetDownLoadMail(bool download) = 0;
    virtual std::int32_t SessionID() = 0;
    virtual void SignOff() = 0;
};

// The listed files of a message too large for mail servers, packed into one archive.
struct PackedAttachments {
    std::wstring archive;               // the one file the message carries instead; empty: none was read
    std::vector<RuntimeError> leftOut;  // one error for each file that could not be read
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
    // Before the attachments are added: when the message with these files
    // would pass what mail servers take, packs them into one archive to attach
    // instead; nullopt when they go as they are.
    virtual std::optional<PackedAttachments> PackAttachments(const std::vector<std::wstring>& paths) = 0;
    virtual void SetAttachmentIndex(std::int32_t index) = 0;
    virtual void SetAttachmentPosition(std::int32_t position) = 0;
    virtual void SetAttachmentPathName(const std::wstring& path) = 0;
    virtual void Send(bool showDialog) = 0;
};

}  // namespace kdesk
