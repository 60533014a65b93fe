#pragma once
// Which waiting messages are tried now, and which stop waiting: inside the
// program a message is tried only once its pause after the last try is over,
// so that a start right after a failed try does not knock again; a run for
// the waiting messages alone tries them all. A message waits at most a week,
// and only the newest few wait.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/portable/pending_state.h"

namespace kdesk {

inline constexpr std::int64_t kLongestWaitSeconds = std::int64_t{7} * 24 * 60 * 60;
inline constexpr std::size_t kMostWaiting = 20;

enum class Pacing {
    AfterPause,  // the program, at its start and every 15 minutes
    AllAtOnce,   // the run for the waiting messages (/invia-sospesi)
};

bool DueForTry(const PendingState& state, std::int64_t now, Pacing pacing);

struct WaitingMessage {
    std::wstring name;
    std::int64_t firstTry = 0;
};

// The names that stop waiting: those first tried more than a week before `now`,
// and those beyond the newest kMostWaiting.
std::vector<std::wstring> NoLongerWaiting(std::vector<WaitingMessage> waiting, std::int64_t now);

}  // namespace kdesk
