#pragma once
// What the program records about a message that waits to be uploaded: when it
// was first tried, how often, and when it may be tried next. Times are seconds
// of the system's UTC clock. The record is a few lines of text beside the
// message, "first-try=...", "tries=...", "next-try=...".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kdesk {

// A try inside the program waits this long after the last one.
inline constexpr std::int64_t kRetryPauseSeconds = std::int64_t{15} * 60;

struct PendingState {
    std::int64_t firstTry = 0;
    std::uint32_t tries = 0;
    std::int64_t nextTry = 0;
    bool operator==(const PendingState&) const = default;
};

// The record after a failed try at `now`: the first one, or one more.
PendingState AfterFailedTry(const std::optional<PendingState>& before, std::int64_t now);

std::string PendingStateText(const PendingState& state);
// nullopt for a record that is not whole (each line once, digits only).
std::optional<PendingState> ParsePendingState(std::string_view text);

}  // namespace kdesk
