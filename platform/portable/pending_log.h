#pragma once
// The log of the tries to send waiting messages, which support may ask the shop
// to read: one UTF-8 line per try, "dd/mm/yyyy hh:mm:ss  <message>  <outcome>",
// the outcome being "consegnato" or the failure as the box would show it. The
// log keeps its last lines only.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/runtime.h"

namespace kdesk {

inline constexpr std::size_t kPendingLogLines = 500;
inline constexpr wchar_t kDelivered[] = L"consegnato";

std::string PendingLogLine(const LocalDateTime& when, std::wstring_view message, std::wstring_view outcome);

// The log's last `keep` lines (a line ends with "\n").
std::string_view LastLines(std::string_view log, std::size_t keep);

}  // namespace kdesk
