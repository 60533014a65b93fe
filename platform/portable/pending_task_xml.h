#pragma once
// The scheduled task that sends waiting messages while the program is not
// running: its name and its Task Scheduler 2.0 definition as XML text.
#include <string>

namespace kdesk {

// "KdeskSupport invio in sospeso (<user name>)".
std::wstring PendingTaskName(const std::wstring& user_name);

// The task that runs "<program_path>" /invia-sospesi as `user_id` (the
// DOMAIN\user form) at that user's logon and every 15 minutes, only with a
// network, at most 10 minutes and never twice at once, with the user's
// ordinary rights.
std::wstring PendingTaskXml(const std::wstring& program_path, const std::wstring& user_id);

}  // namespace kdesk
