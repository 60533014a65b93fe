#include "platform/portable/pending_state.h"

#include <charconv>

namespace kdesk {
namespace {

constexpr std::string_view kFirstTry = "first-try=";
constexpr std::string_view kTries = "tries=";
constexpr std::string_view kNextTry = "next-try=";

template <typename Number>
bool ParseNumber(std::string_view digits, Number& number) {
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size();
}

// One line "key=value" into `number`, seen at most once.
template <typename Number>
bool TakeLine(std::string_view line, std::string_view key, Number& number, bool& seen) {
    if (!line.starts_with(key)) return true;
    if (seen) return false;
    seen = true;
    return ParseNumber(line.substr(key.size()), number);
}

}  // namespace

PendingState AfterFailedTry(const std::optional<PendingState>& before, std::int64_t now) {
    PendingState state = before.value_or(PendingState{now, 0, 0});
    ++state.tries;
    state.nextTry = now + kRetryPauseSeconds;
    return state;
}

std::string PendingStateText(const PendingState& state) {
    return std::string(kFirstTry) + std::to_string(state.firstTry) + "\r\n" + std::string(kTries) +
           std::to_string(state.tries) + "\r\n" + std::string(kNextTry) + std::to_string(state.nextTry) + "\r\n";
}

std::optional<PendingState> ParsePendingState(std::string_view text) {
    PendingState state;
    bool first = false, tries = false, next = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!TakeLine(line, kFirstTry, state.firstTry, first) || !TakeLine(line, kTries, state.tries, tries) ||
            !TakeLine(line, kNextTry, state.nextTry, next))
            return std::nullopt;
    }
    if (!first || !tries || !next) return std::nullopt;
    return state;
}

}  // namespace kdesk
