#pragma once
// Files that would make the message too large for mail servers go as one ZIP
// archive in the outbox, packed with a wait cursor while the window keeps
// repainting; when even the archive is too large, a box says so and where the
// archive is kept, and the message is still sent.
#include <optional>
#include <string>
#include <vector>

#include "platform/mail.h"
#include "platform/runtime.h"
#include "platform/win32/mail/mail_state.h"

namespace kdesk {

class AttachmentPacking {
public:
    static constexpr std::size_t kArchivesKept = 20;

    explicit AttachmentPacking(Runtime& runtime) : runtime_(runtime) {}

    // nullopt when the message with these files stays within the limit.
    std::optional<PackedAttachments> PackIfTooLarge(const std::vector<std::wstring>& files, const MailDraft& message);

private:
    Runtime& runtime_;
};

}  // namespace kdesk
