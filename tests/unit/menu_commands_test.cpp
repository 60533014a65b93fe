#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

TEST(MenuCommands, EndUnloadsTheMainWindowWithoutAQuestion) {
    FormFixture f;
    f.txtMessage.SetText(L"unsent text");
    f.form.m_end_Click();
    EXPECT_TRUE(f.window.Unloaded());
}

TEST(MenuCommands, InfoShowsTheAboutBoxEachTime) {
    FormFixture f;
    int shown = 0;
    f.form.showAboutBox = [&] { ++shown; };
    f.form.m_info_Click();
    f.form.m_info_Click();
    EXPECT_EQ(shown, 2);
}

}  // namespace
}  // namespace kdesk::test
