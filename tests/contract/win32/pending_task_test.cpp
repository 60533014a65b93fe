// The scheduled task as the Task Scheduler keeps it: registered, read back
// through its interface, replaced, deleted. Wine 8 keeps the settings alone:
// the principal, the triggers and the command are checked where the scheduler
// answers for them (the task's XML text is unit-tested as well).
#include "platform/win32/mail/upload/pending_task.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/scheduled_task.h"

namespace kdesk {
namespace {

TEST(PendingTask, IsRegisteredWithItsConditionsReplacedAndDeletedFromAnyThread) {
    DeletePendingTask();
    ASSERT_FALSE(e2e::PendingTaskExists());

    ASSERT_TRUE(RegisterPendingTask());
    const auto registered = e2e::ReadPendingTask();
    ASSERT_TRUE(registered);
    e2e::ExpectPendingTaskConditions(*registered);

    // A worker thread, as the program's sender uses: its own COM apartment.
    bool again = false;
    std::thread([&] { again = RegisterPendingTask(); }).join();
    EXPECT_TRUE(again);
    ASSERT_TRUE(e2e::PendingTaskExists());

    DeletePendingTask();
    EXPECT_FALSE(e2e::PendingTaskExists());
    DeletePendingTask();  // nothing left to delete: no fault
}

}  // namespace
}  // namespace kdesk
