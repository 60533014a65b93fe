#pragma once
// The current user's scheduled task that sends waiting messages while the
// program is not running, through the Task Scheduler's COM interface.

namespace kdesk {

// Registers (or replaces) the current user's task that runs this program with /invia-sospesi at logon and every 15 minutes. False where it cannot be registered (a policy forbids it, the service is off).
bool RegisterPendingTask();
// Deletes that task where it exists.
void DeletePendingTask();

}  // namespace kdesk
