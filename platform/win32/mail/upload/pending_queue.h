#pragma once
// Messages that could not be uploaded and wait to go by themselves: a failed
// upload's finished message is held beside the outbox, and waits when no mail
// program took it; the waiting messages are tried again, by one copy of the
// program at a time, each under its own name, so that a try whose answer was
// lost and the next one store the same file once.
#include <string>

#include "platform/portable/pending_rules.h"

namespace kdesk {

// A finished message, moved out of the outbox into the Pending folder beside it
// under "<upload name>.part" while the other transports are tried. It waits
// only when Wait() is called; otherwise it is removed when this goes.
class HeldMessage {
public:
    // `failure` is the upload's failure as its box shows it, for the log.
    HeldMessage(const std::wstring& outboxCopy, const std::wstring& uploadName, std::wstring failure);
    ~HeldMessage();
    HeldMessage(const HeldMessage&) = delete;
    HeldMessage& operator=(const HeldMessage&) = delete;

    // Records its first failed try, gives it its name and has the scheduled
    // task registered; false when it could not be kept.
    bool Wait();

private:
    std::wstring folder_, name_, part_, failure_;
    bool waiting_ = false;
};

enum class WaitingOutcome {
    NothingWaits,
    StillWaiting,
    AnotherCopySends,  // another copy of the program (or another thread) is trying them
};

// Tries the waiting messages that are due (all, or those whose pause is over)
// towards the drop box `folderUrl` (none when empty); each try is logged. When
// nothing waits any more, the scheduled task is deleted.
WaitingOutcome SendWaitingMessages(const std::wstring& folderUrl, Pacing pacing);

}  // namespace kdesk
