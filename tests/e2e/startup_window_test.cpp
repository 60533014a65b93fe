#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace kdesk::e2e {
namespace {

TEST(ProgramStart, ShowsTheMainWindowAndEndsWhenItIsClosed) {
    EnsureDefaultDataFolder();
    RunningProgram program;
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "main window did not appear";
    EXPECT_EQ(WindowText(main), L"VelKdesk Support");
    SaveScreenshot(L"main_window");

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
}  // namespace kdesk::e2e
