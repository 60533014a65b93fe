#include "platform/win32/mail/mail_state.h"

#include <windows.h>

#include <mapi.h>

#include <algorithm>

#include "platform/win32/file_api_path.h"
#include "platform/win32/mail/mapi_errors.h"

namespace kdesk {
namespace {

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void SessionNumbers::CheckBound() const {
    if (!IsOpen() || bound_ != current_) throw MailError(MailFault::NoSession);
}

void ComposedMessage::SelectAttachment(std::int32_t index) {
    if (index < 0 || index > static_cast<std::int32_t>(attachments_.size()))
        throw MailError(MailFault::InvalidAttachmentIndex, std::to_wstring(index));
    selected_ = index;
}

ComposedAttachment& ComposedMessage::Selected() {
    const auto index = static_cast<std::size_t>(selected_);
    if (index == attachments_.size()) attachments_.emplace_back();
    return attachments_[index];
}

void ComposedMessage::SetAttachmentPosition(std::int32_t position) {
    Selected().position = static_cast<std::uint32_t>(position);
}

void ComposedMessage::SetAttachmentPathName(const std::wstring& path) {
    ComposedAttachment& attachment = Selected();
    attachment.path = path;
    attachment.fileMissing = !IsExistingFile(path);
    if (!attachment.fileMissing) return;
    const RuntimeError notFound = MapiError(MAPI_E_ATTACHMENT_NOT_FOUND);
    throw RuntimeError(notFound.Number(), notFound.Description() + L": " + path);
}

void ComposedMessage::CheckAttachmentPaths() const {
    for (std::size_t i = 0; i < attachments_.size(); ++i)
        if (attachments_[i].path.empty()) throw MailError(MailFault::AttachmentWithoutPath, std::to_wstring(i));
}

std::vector<ComposedAttachment> ComposedMessage::PresentAttachments() const {
    std::vector<ComposedAttachment> present;
    std::ranges::copy_if(attachments_, std::back_inserter(present),
                         [](const ComposedAttachment& a) { return !a.fileMissing; });
    return present;
}

MailDraft ComposedMessage::Draft() const {
    MailDraft draft{recipAddress, subject, noteText, {}};
    for (const ComposedAttachment& attachment : PresentAttachments()) draft.files.push_back(attachment.path);
    return draft;
}

}  // namespace kdesk
