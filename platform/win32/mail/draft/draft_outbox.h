#pragma once
// Unsent drafts in the outbox folder: a message is written there as an .eml
// file and opened with the program Windows associates with .eml files (or the
// new Outlook), whose compose window the operator sends it from. When no
// program takes it, Explorer shows the file and a box says where it is and whom
// to send it to. The program's newest drafts are kept, its older ones removed.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/portable/eml_writer.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"
#include "platform/win32/mail/mail_state.h"

namespace kdesk {

class DraftOutbox {
public:
    static constexpr std::size_t kDraftsKept = 20;

    explicit DraftOutbox(Runtime& runtime) : runtime_(runtime) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    // What happens when no program takes the draft, before the box that names
    // it: the line it returns ends that box (none when empty).
    using NotTaken = std::function<std::wstring()>;

    // Writes the draft and opens it. Raises the mail layer's error when it
    // cannot be written, and UnreadableAttachments (after opening the draft
    // without them) for files that could not be read.
    void Deliver(const MailDraft& draft, const NotTaken& notTaken = {});

    struct Written {
        std::wstring path;
        std::vector<std::wstring> unreadable;  // files left out
    };
    // Writes the draft (or, given its sender, the finished message) into the
    // outbox folder and removes the oldest drafts.
    Written Write(const MailDraft& draft, const std::optional<FinishedMessage>& finished = std::nullopt);

private:
    void Open(const std::wstring& path, const NotTaken& notTaken);

    Runtime& runtime_;
    HWND owner_ = nullptr;
};

// "Attachment cannot be opened", naming the file, or each of several on a line
// of its own.
RuntimeError UnreadableAttachments(const std::vector<std::wstring>& paths);

}  // namespace kdesk
