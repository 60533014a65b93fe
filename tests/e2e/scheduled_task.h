#pragma once
// The current user's task that sends waiting messages, read back through the
// Task Scheduler's interface, as the tests check it.
#include <windows.h>
#include <taskschd.h>

#include <optional>
#include <string>

namespace kdesk::e2e {

struct ScheduledTaskSettings {
    bool runOnlyIfNetworkAvailable = false;
    std::wstring executionTimeLimit;  // "PT10M"
    TASK_INSTANCES_POLICY multipleInstances = TASK_INSTANCES_PARALLEL;
    bool disallowStartIfOnBatteries = true;
    bool stopIfGoingOnBatteries = true;
    // What Wine 8 does not answer (E_NOTIMPL) stays empty: it keeps the
    // settings alone, and its XML read back has an empty <Principal>, and no
    // triggers and no actions.
    std::optional<TASK_LOGON_TYPE> logonType;
    std::optional<TASK_RUNLEVEL_TYPE> runLevel;
    std::optional<long> triggers;
    std::optional<long> actions;
    std::wstring xml;  // the registered task's XML as read back
};

// "KdeskSupport invio in sospeso (<user name>)" in the root folder.
std::optional<ScheduledTaskSettings> ReadPendingTask();
bool PendingTaskExists();
// Its conditions: network, 10 minutes, one at a time, on batteries too, the
// user's ordinary rights, the two triggers and the one command where answered.
void ExpectPendingTaskConditions(const ScheduledTaskSettings& task);

}  // namespace kdesk::e2e
