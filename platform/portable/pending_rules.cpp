#include "platform/portable/pending_rules.h"

#include <algorithm>
#include <functional>

namespace kdesk {

bool DueForTry(const PendingState& state, std::int64_t now, Pacing pacing) {
    if (pacing == Pacing::AllAtOnce || now >= state.nextTry) return true;
    // A next try further off than one pause means the clock was set back.
    return state.nextTry - now > kRetryPauseSeconds;
}

std::vector<std::wstring> NoLongerWaiting(std::vector<WaitingMessage> waiting, std::int64_t now) {
    std::ranges::stable_sort(waiting, std::ranges::greater{}, &WaitingMessage::firstTry);
    std::vector<std::wstring> leaving;
    for (std::size_t i = 0; i < waiting.size(); ++i)
        if (i >= kMostWaiting || now - waiting[i].firstTry > kLongestWaitSeconds) leaving.push_back(waiting[i].name);
    return leaving;
}

}  // namespace kdesk
