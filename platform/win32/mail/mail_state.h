#pragma once
// What the mail members keep between calls, alike for both transports: the
// session numbers that bind the message to a session, and the message as it is
// composed (recipient text, subject, note text, attachments selected by index).
#include <cstdint>
#include <string>
#include <vector>

namespace kdesk {

// A new number for each sign-on, 0 while no session is open.
class SessionNumbers {
public:
    bool IsOpen() const { return current_ != 0; }
    void Open() { current_ = ++last_; }
    void Close() { current_ = 0; }
    std::int32_t Current() const { return current_; }
    void Bind(std::int32_t session) { bound_ = session; }
    // Raises "no session" unless the message is bound to the open session.
    void CheckBound() const;

private:
    std::int32_t current_ = 0;
    std::int32_t last_ = 0;
    std::int32_t bound_ = 0;
};

struct ComposedAttachment {
    std::uint32_t position = 0;  // the body character the attachment stands at
    std::wstring path;
    bool fileMissing = false;  // reported when named, and left out of the message
};

// A message as a draft holds it: the recipient as typed, and the files to attach.
struct MailDraft {
    std::wstring to;
    std::wstring subject;
    std::wstring noteText;
    std::vector<std::wstring> files;
};

class ComposedMessage {
public:
    std::wstring recipAddress;
    std::wstring subject;
    std::wstring noteText;

    // Selects an attachment; the next free number adds one.
    void SelectAttachment(std::int32_t index);
    void SetAttachmentPosition(std::int32_t position);
    // A file that is not there is reported now and left out when sending: the
    // mail client would otherwise refuse the whole message and every other file.
    void SetAttachmentPathName(const std::wstring& path);
    // Raises when an attachment was added without a path.
    void CheckAttachmentPaths() const;
    std::vector<ComposedAttachment> PresentAttachments() const;
    MailDraft Draft() const;

private:
    ComposedAttachment& Selected();

    std::vector<ComposedAttachment> attachments_;
    std::int32_t selected_ = 0;
};

}  // namespace kdesk
