#include "tests/e2e/scheduled_task.h"

#include <gtest/gtest.h>

#include "platform/portable/pending_task_xml.h"
#include "platform/win32/mail/upload/task_scheduler.h"

namespace kdesk::e2e {
namespace {

std::wstring UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

void ReadSettings(ITaskDefinition& definition, ScheduledTaskSettings& read) {
    ComPtr<ITaskSettings> settings;
    if (FAILED(definition.get_Settings(settings.Out()))) return;
    VARIANT_BOOL flag = VARIANT_FALSE;
    if (SUCCEEDED(settings->get_RunOnlyIfNetworkAvailable(&flag))) read.runOnlyIfNetworkAvailable = flag != VARIANT_FALSE;
    if (SUCCEEDED(settings->get_DisallowStartIfOnBatteries(&flag))) read.disallowStartIfOnBatteries = flag != VARIANT_FALSE;
    if (SUCCEEDED(settings->get_StopIfGoingOnBatteries(&flag))) read.stopIfGoingOnBatteries = flag != VARIANT_FALSE;
    settings->get_MultipleInstances(&read.multipleInstances);
}

void ReadPrincipal(ITaskDefinition& definition, ScheduledTaskSettings& read) {
    ComPtr<IPrincipal> principal;
    if (FAILED(definition.get_Principal(principal.Out()))) return;
    TASK_LOGON_TYPE logonType{};
    if (SUCCEEDED(principal->get_LogonType(&logonType))) read.logonType = logonType;
    TASK_RUNLEVEL_TYPE runLevel{};
    if (SUCCEEDED(principal->get_RunLevel(&runLevel))) read.runLevel = runLevel;
}

void ReadCounts(ITaskDefinition& definition, ScheduledTaskSettings& read) {
    long count = 0;
    ComPtr<ITriggerCollection> triggers;
    if (SUCCEEDED(definition.get_Triggers(triggers.Out())) && triggers && SUCCEEDED(triggers->get_Count(&count)))
        read.triggers = count;
    ComPtr<IActionCollection> actions;
    if (SUCCEEDED(definition.get_Actions(actions.Out())) && actions && SUCCEEDED(actions->get_Count(&count)))
        read.actions = count;
}

}  // namespace

std::optional<ScheduledTaskSettings> ReadPendingTask() {
    const TaskSchedulerRoot scheduler;
    if (!scheduler.Folder()) return std::nullopt;
    const ComFunctions& com = scheduler.Com();
    const Bstr name(com, PendingTaskName(UserName()));
    ComPtr<IRegisteredTask> task;
    ComPtr<ITaskDefinition> definition;
    if (FAILED(scheduler.Folder()->GetTask(name.Get(), task.Out())) || FAILED(task->get_Definition(definition.Out())))
        return std::nullopt;
    ScheduledTaskSettings read;
    ReadSettings(*definition.Get(), read);
    ReadPrincipal(*definition.Get(), read);
    ReadCounts(*definition.Get(), read);
    ComPtr<ITaskSettings> settings;
    Bstr limit(com);
    if (SUCCEEDED(definition->get_Settings(settings.Out())) && SUCCEEDED(settings->get_ExecutionTimeLimit(limit.Out())) &&
        limit.Get())
        read.executionTimeLimit = limit.Get();
    Bstr xml(com);
    if (SUCCEEDED(task->get_Xml(xml.Out())) && xml.Get()) read.xml = xml.Get();
    return read;
}

bool PendingTaskExists() { return ReadPendingTask().has_value(); }

void ExpectPendingTaskConditions(const ScheduledTaskSettings& task) {
    EXPECT_TRUE(task.runOnlyIfNetworkAvailable);
    EXPECT_EQ(task.executionTimeLimit, L"PT10M");
    EXPECT_EQ(task.multipleInstances, TASK_INSTANCES_IGNORE_NEW);
    EXPECT_FALSE(task.disallowStartIfOnBatteries);
    EXPECT_FALSE(task.stopIfGoingOnBatteries);
    EXPECT_EQ(task.logonType.value_or(TASK_LOGON_INTERACTIVE_TOKEN), TASK_LOGON_INTERACTIVE_TOKEN);
    EXPECT_EQ(task.runLevel.value_or(TASK_RUNLEVEL_LUA), TASK_RUNLEVEL_LUA);
    EXPECT_EQ(task.triggers.value_or(2), 2);
    EXPECT_EQ(task.actions.value_or(1), 1);
}

}  // namespace kdesk::e2e
