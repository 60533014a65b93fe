#include "platform/portable/pending_log.h"

#include <array>
#include <cstdio>

#include "platform/portable/utf8.h"

namespace kdesk {

std::string PendingLogLine(const LocalDateTime& when, std::wstring_view message, std::wstring_view outcome) {
    std::array<char, 80> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%02d/%02d/%04d %02d:%02d:%02d", when.day, when.month, when.year, when.hour,
                  when.minute, when.second);
    std::wstring text = std::wstring(message) + L"  " + std::wstring(outcome);
    // A description of several lines stays on one.
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return std::string(stamp.data()) + "  " + ToUtf8(text) + "\r\n";
}

std::string_view LastLines(std::string_view log, std::size_t keep) {
    std::size_t start = log.size();
    // The last line's own end is not the start of another line.
    std::size_t search = log.ends_with('\n') ? log.size() - 1 : log.size();
    for (std::size_t lines = 0; lines < keep; ++lines) {
        const std::size_t end = search == 0 ? std::string_view::npos : log.rfind('\n', search - 1);
        if (end == std::string_view::npos) return log;
        start = end + 1;
        search = end;
    }
    return log.substr(start);
}

}  // namespace kdesk
