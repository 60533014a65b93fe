#include <gtest/gtest.h>

#include <string>

#include "build_facts.h"
#include "forms/about/frmAbout.h"

// The support mailbox must stay a reserved example address unless a maker sets its own.
TEST(BuildFacts, DefaultsNameTheProgram) {
    EXPECT_STREQ(KDESK_TITLE_TEXT, "VelKdesk Support");
    EXPECT_STREQ(KDESK_VERSION_TEXT, "0.0.0.1");
    EXPECT_NE(std::string(KDESK_SUPPORT_MAILBOX_TEXT).find('@'), std::string::npos);
}

// The version resource's text (also the release archives' version) and the About box's line
// come from the same numbers.
TEST(BuildFacts, VersionTextMatchesTheAboutBox) {
    const std::string text = KDESK_VERSION_TEXT;
    EXPECT_EQ(kdesk::AboutVersionLine(KDESK_VERSION_MAJOR, KDESK_VERSION_MINOR, KDESK_VERSION_REVISION),
              L"Versione " + std::wstring(text.begin(), text.end()));
}
