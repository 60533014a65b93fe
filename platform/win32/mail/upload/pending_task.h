#pragma once
// The current user's scheduled task that sends the waiting messages while the
// program is not running.
namespace kdesk {

// Registers (or replaces) the current user's task "KdeskSupport invio in sospeso (<user name>)" that runs the program with /invia-sospesi. False where it cannot be registered (policy, service off).
bool RegisterPendingTask();
// Deletes that task where it exists.
void DeletePendingTask();

}  // namespace kdesk
