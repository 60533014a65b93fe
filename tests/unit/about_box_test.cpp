#include <gtest/gtest.h>

#include "forms/about/frmAbout.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_runtime.h"

namespace kdesk {
namespace {

TEST(AboutVersionLine, HasFourNumbersWithTheFixedZeroThird) {
    struct Case {
        std::int16_t major, minor, revision;
        const wchar_t* line;
    };
    const Case cases[] = {
        {0, 0, 1, L"Versione 0.0.0.1"},
        {0, 0, 12, L"Versione 0.0.0.12"},
        {2, 10, 0, L"Versione 2.10.0.0"},
        {1, 0, 9999, L"Versione 1.0.0.9999"},
    };
    for (const Case& c : cases) EXPECT_EQ(AboutVersionLine(c.major, c.minor, c.revision), c.line);
}

class FactsRuntime : public FakeRuntime {
public:
    ProgramFacts facts;
    ProgramFacts Facts() override { return facts; }
};

struct AboutFixture {
    FactsRuntime runtime;
    FakeTextBox lblVersion{L"Versione"}, lblTitle{L"Titolo applicazione"}, lblDescription{L"Descrizione applicazione"};
    FakeWindow window;
    FrmAboutControls controls{lblVersion, lblTitle, lblDescription, window};
    FrmAbout form{runtime, controls};
};

TEST(FrmAbout, LoadFillsTheThreeLinesFromTheProgramFactsEveryTime) {
    AboutFixture f;
    f.runtime.facts = {L"C:\\Kdesk", L"VelKdesk Support", 0, 0, 12, L"Programma di supporto e di analisi per VelKdesk"};
    f.form.Form_Load();
    EXPECT_EQ(f.lblVersion.Text(), L"Versione 0.0.0.12");
    EXPECT_EQ(f.lblTitle.Text(), L"VelKdesk Support per sistemi Windows 32 e 64 bit");
    EXPECT_EQ(f.lblDescription.Text(), L"Programma di supporto e di analisi per VelKdesk");

    f.lblVersion.SetText(L"Versione");
    f.runtime.facts.revision = 13;
    f.form.Form_Load();
    EXPECT_EQ(f.lblVersion.Text(), L"Versione 0.0.0.13");
    EXPECT_FALSE(f.window.Unloaded());
}

TEST(FrmAbout, OkUnloadsTheBox) {
    AboutFixture f;
    f.form.cmdOK_Click();
    EXPECT_TRUE(f.window.Unloaded());
}

}  // namespace
}  // namespace kdesk
