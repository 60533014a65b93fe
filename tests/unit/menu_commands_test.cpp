#include <gtest/gtest.h>

#include <stdexcept>

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

TEST(MenuCommands, InfoIgnoresEveryFailureOfTheAboutBox) {
    FormFixture f;
    f.form.showAboutBox = [] { throw RuntimeError(kErrInvalidProcedureCall); };
    EXPECT_NO_THROW(f.form.m_info_Click());
    f.form.showAboutBox = [] { throw std::runtime_error("cannot create the About box"); };
    EXPECT_NO_THROW(f.form.m_info_Click());
    EXPECT_TRUE(f.runtime.Messages().empty());
    EXPECT_FALSE(f.window.Unloaded());
}

}  // namespace
}  // namespace kdesk::test
