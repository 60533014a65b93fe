#include "platform/fake/fake_mail.h"

#include "platform/runtime_error.h"

namespace kdesk {

namespace {

// The Simple MAPI layer refuses, at Send, a message with an attachment that was
// never given a file, naming its index.
constexpr std::int32_t kAttachmentWithoutPath = 32055;
constexpr wchar_t kAttachmentWithoutPathText[] = L"Allegato senza percorso del file: ";

}  // namespace

void FakeMail::FailAt(const std::wstring& member, std::int32_t number, const std::wstring& description,
                      int occurrence) {
    failures_.emplace(member, Failure{number, description, occurrence});
}

// Logs the call first, so that a failing call is in the log too, then fails when told to.
void FakeMail::Record(const std::wstring& member, const std::wstring& arguments) {
    calls_.push_back(member + L"(" + arguments + L")");
    const int count = ++callCounts_[member];
    const auto [first, last] = failures_.equal_range(member);
    for (auto it = first; it != last; ++it) {
        if (it->second.occurrence == 0 || it->second.occurrence == count)
            throw RuntimeError(it->second.number, it->second.description);
    }
}

std::vector<std::wstring> FakeMail::Members() const {
    std::vector<std::wstring> members;
    for (const auto& call : calls_) members.push_back(call.substr(0, call.find(L'(')));
    return members;
}

FakeAttachment& FakeMail::Selected() {
    if (attachmentIndex_ >= static_cast<std::int32_t>(message_.attachments.size()))
        message_.attachments.resize(static_cast<std::size_t>(attachmentIndex_) + 1);
    return message_.attachments[static_cast<std::size_t>(attachmentIndex_)];
}

void FakeMail::SignOn() {
    Record(L"SignOn");
    sessionOpen_ = true;
}
void FakeMail::SetDownLoadMail(bool download) { Record(L"SetDownLoadMail", download ? L"true" : L"false"); }
std::int32_t FakeMail::SessionID() {
    Record(L"SessionID");
    return sessionOpen_ ? kSessionHandle : 0;
}
void FakeMail::SignOff() {
    Record(L"SignOff");
    sessionOpen_ = false;
}
void FakeMail::SetSessionID(std::int32_t session) { Record(L"SetSessionID", std::to_wstring(session)); }
void FakeMail::Compose() {
    Record(L"Compose");
    message_ = {};
    attachmentIndex_ = 0;
}
void FakeMail::SetRecipAddress(const std::wstring& address) {
    Record(L"SetRecipAddress", address);
    message_.recipient = address;
}
void FakeMail::ResolveName() { Record(L"ResolveName"); }
void FakeMail::SetMsgSubject(const std::wstring& subject) {
    Record(L"SetMsgSubject", subject);
    message_.subject = subject;
}
void FakeMail::SetMsgNoteText(const std::wstring& text) {
    Record(L"SetMsgNoteText", text);
    message_.noteText = text;
}
std::optional<PackedAttachments> FakeMail::PackAttachments(const std::vector<std::wstring>& paths) {
    Record(L"PackAttachments", std::to_wstring(paths.size()));
    return packed_;
}
void FakeMail::SetAttachmentIndex(std::int32_t index) {
    Record(L"SetAttachmentIndex", std::to_wstring(index));
    if (index < 0) throw RuntimeError(kErrInvalidProcedureCall);
    attachmentIndex_ = index;
    Selected();
}
void FakeMail::SetAttachmentPosition(std::int32_t position) {
    Record(L"SetAttachmentPosition", std::to_wstring(position));
    Selected().position = position;
}
void FakeMail::SetAttachmentPathName(const std::wstring& path) {
    Record(L"SetAttachmentPathName", path);
    Selected().path = path;
}
void FakeMail::Send(bool showDialog) {
    Record(L"Send", showDialog ? L"true" : L"false");
    for (std::size_t i = 0; i < message_.attachments.size(); ++i)
        if (message_.attachments[i].path.empty())
            throw RuntimeError(kAttachmentWithoutPath, kAttachmentWithoutPathText + std::to_wstring(i));
    sent_.push_back(message_);
}

}  // namespace kdesk
