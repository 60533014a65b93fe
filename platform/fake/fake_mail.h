#pragma once
// A recording mail service: every call is kept in order as "Member(arguments)",
// the composed message is modelled, and any member can be told to fail. Like
// the Simple MAPI layer, Send refuses a message with an attachment without a
// file (32055).
#include <map>
#include <string>
#include <vector>

#include "platform/mail.h"

namespace kdesk {

struct FakeAttachment {
    std::int32_t position = 0;
    std::wstring path;
    bool operator==(const FakeAttachment&) const = default;
};

struct FakeMailMessage {
    std::wstring recipient;
    std::wstring subject;
    std::wstring noteText;
    std::vector<FakeAttachment> attachments;
};

class FakeMail : public MailSession, public MailMessages {
public:
    static constexpr std::int32_t kSessionHandle = 4711;

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
    std::optional<PackedAttachments> PackAttachments(const std::vector<std::wstring>& paths) override;
    void SetAttachmentIndex(std::int32_t index) override;
    void SetAttachmentPosition(std::int32_t position) override;
    void SetAttachmentPathName(const std::wstring& path) override;
    void Send(bool showDialog) override;

    // Makes a member raise RuntimeError(number, description): on every call, or
    // only on its nth call (1-based) when occurrence is given.
    void FailAt(const std::wstring& member, std::int32_t number, const std::wstring& description,
                int occurrence = 0);

    // What PackAttachments answers from now on (nullopt: the files go as they are).
    void PackAs(std::optional<PackedAttachments> packed) { packed_ = std::move(packed); }

    const std::vector<std::wstring>& Calls() const { return calls_; }
    // The call log reduced to member names.
    std::vector<std::wstring> Members() const;
    const std::vector<FakeMailMessage>& Sent() const { return sent_; }
    const FakeMailMessage& Composed() const { return message_; }
    bool SessionOpen() const { return sessionOpen_; }

private:
    struct Failure {
        std::int32_t number;
        std::wstring description;
        int occurrence;
    };

    void Record(const std::wstring& member, const std::wstring& arguments = {});
    FakeAttachment& Selected();

    std::vector<std::wstring> calls_;
    std::map<std::wstring, int> callCounts_;
    std::multimap<std::wstring, Failure> failures_;
    FakeMailMessage message_;
    std::vector<FakeMailMessage> sent_;
    std::int32_t attachmentIndex_ = 0;
    bool sessionOpen_ = false;
    std::optional<PackedAttachments> packed_;
};

}  // namespace kdesk
