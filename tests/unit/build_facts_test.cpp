#include <gtest/gtest.h>

#include <string>

#include "build_facts.h"

// The support mailbox must stay a reserved example address unless a maker sets its own.
TEST(BuildFacts, DefaultsNameTheProgram) {
    EXPECT_STREQ(KDESK_TITLE_TEXT, "VelKdesk Support");
    EXPECT_STREQ(KDESK_VERSION_TEXT, "0.0.0.1");
    EXPECT_NE(std::string(KDESK_SUPPORT_MAILBOX_TEXT).find('@'), std::string::npos);
}
