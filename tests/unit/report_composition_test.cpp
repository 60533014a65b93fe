#include <gtest/gtest.h>

#include "modules/ModMapi.h"
#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

const std::wstring kClosing = L"\r\n\r\nCordiali saluti\r\nV.E.L. Vuvivazoror snc\r\n\r\n" + kMailbox;

std::wstring Block(const std::wstring& cliente, const std::wstring& driver, const std::wstring& extra = L"") {
    return L"Dati Cliente: " + cliente + L"\r\nTipo Driver: " + driver +
           L"\r\nPortaCom: 1\r\nMatricola: 99MEY012345\r\nVersione: 3.1.4\r\nKdeskAppDir: C:\\VelKdesk\r\n"
           L"KdeskDataDir: C:\\ProgramData\\VELKDESK\r\nData Creazione: 15/04/2013 14:30:05\r\n" +
           extra + L"\r\n";
}

const std::wstring kDriverLines = L"WinEcrCom: \r\nWinEcrConf: \r\n";

struct ReportFixture : FormFixture {
    ReportFixture() {
        txtComPort.SetText(L"1");
        txtMatr.SetText(L"99MEY012345");
        txtVersion.SetText(L"3.1.4");
        txtKdeskPath.SetText(L"C:\\VelKdesk");
        txtAppDataVista.SetText(L"C:\\ProgramData\\VELKDESK");
        txtDataCreazione.SetText(L"15/04/2013 14:30:05");
        runtime.SetNow({2013, 4, 15, 14, 30, 5});
    }
    std::wstring SentNote() { return mail.Composed().noteText; }
};

struct BodyCase {
    const char* name;
    std::wstring cliente, driver, message;
    std::wstring expectedMessageField;  // txtMessage afterwards; the note adds kClosing
};

class ReportBody : public ::testing::TestWithParam<BodyCase> {};

TEST_P(ReportBody, PrependsTheBlockAndClosesWithTheSupportMailbox) {
    const BodyCase& c = GetParam();
    ReportFixture f;
    f.txtDatiCliente.SetText(c.cliente);
    f.txtDriverType.SetText(c.driver);
    f.txtMessage.SetText(c.message);
    f.runtime.QueueAnswer(MsgResult::Cancel);

    SendMail(f.platform, f.vars, f.controls);

    EXPECT_EQ(f.txtMessage.Text(), c.expectedMessageField);
    EXPECT_EQ(f.SentNote(), c.expectedMessageField + kClosing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportBody,
    ::testing::Values(
        BodyCase{"EmptyMessageGivesFourLineBreaksBeforeTheClosing", L"Bar Roma", L"Epson", L"",
                 Block(L"Bar Roma", L"Epson")},
        BodyCase{"OneLineMessage", L"Bar Roma", L"Epson", L"Stampante ferma",
                 Block(L"Bar Roma", L"Epson") + L"Stampante ferma"},
        BodyCase{"SeveralLineCustomerContinuesItsLine", L"Bar Roma\r\nVia Po 1", L"", L"x\r\n",
                 Block(L"Bar Roma\r\nVia Po 1", L"") + L"x\r\n"},
        BodyCase{"DitronInMixedCaseAddsDriverLines", L"", L"dItRoN", L"m",
                 Block(L"", L"dItRoN", kDriverLines) + L"m"},
        BodyCase{"DitronUpperCaseAddsDriverLines", L"", L"DITRON", L"", Block(L"", L"DITRON", kDriverLines)},
        BodyCase{"TrailingBlankIsNotDitron", L"", L"DITRON ", L"", Block(L"", L"DITRON ")},
        BodyCase{"LongerWordIsNotDitron", L"", L"DITRONX", L"", Block(L"", L"DITRONX")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportComposition, AllEmptyFieldsStillGiveTheEightLabels) {
    FormFixture f;
    f.runtime.QueueAnswer(MsgResult::Cancel);
    SendMail(f.platform, f.vars, f.controls);
    EXPECT_EQ(f.txtMessage.Text(),
              L"Dati Cliente: \r\nTipo Driver: \r\nPortaCom: \r\nMatricola: \r\nVersione: \r\nKdeskAppDir: \r\n"
              L"KdeskDataDir: \r\nData Creazione: \r\n\r\n");
}

TEST(ReportComposition, RepeatedPressesStackBlocksNewestFirst) {
    ReportFixture f;
    f.txtMessage.SetText(L"msg");
    f.runtime.QueueAnswer(MsgResult::Cancel);
    f.form.cmdMapiManager_Click();
    f.txtDatiCliente.SetText(L"second");
    f.form.cmdMapiManager_Click();
    const std::wstring expected = Block(L"second", L"") + Block(L"", L"") + L"msg";
    EXPECT_EQ(f.txtMessage.Text(), expected);
    EXPECT_EQ(f.SentNote(), expected + kClosing);
}

TEST(ReportComposition, BodyEndsWithTheSupportMailboxWhateverTheRecipient) {
    ReportFixture f;
    f.txtSendTo.SetText(L"tecnico@example.org");
    SendMail(f.platform, f.vars, f.controls);
    ASSERT_EQ(f.mail.Sent().size(), 1u);
    EXPECT_EQ(f.mail.Sent()[0].recipient, L"tecnico@example.org");
    const std::wstring& note = f.mail.Sent()[0].noteText;
    EXPECT_EQ(note.substr(note.rfind(L"\r\n") + 2), kMailbox);
}

struct SubjectCase {
    const char* name;
    std::wstring prefix, matr;
    LocalDateTime now;
    std::wstring expected;
};

class ReportSubject : public ::testing::TestWithParam<SubjectCase> {};

TEST_P(ReportSubject, JoinsPrefixSerialNumberAndTimeStamp) {
    const SubjectCase& c = GetParam();
    FormFixture f;
    f.txtSubject.SetText(c.prefix);
    f.txtMatr.SetText(c.matr);
    f.runtime.SetNow(c.now);
    SendMail(f.platform, f.vars, f.controls);
    EXPECT_EQ(f.mail.Composed().subject, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportSubject,
    ::testing::Values(
        SubjectCase{"Typical", L"VelAutoMail", L"99MEY012345", {2013, 4, 15, 14, 30, 5},
                    L"VelAutoMail_99MEY012345_20130415_143005"},
        SubjectCase{"EmptyFieldsKeepTheSeparators", L"", L"", {2026, 1, 2, 3, 4, 5}, L"__20260102_030405"},
        SubjectCase{"MidnightAndEarlyYearArePadded", L" x ", L"M", {999, 12, 31, 0, 0, 0},
                    L" x _M_09991231_000000"}),
    [](const auto& info) { return std::string(info.param.name); });

// A clock that moves on at every reading, here across midnight.
class TickingRuntime : public FakeRuntime {
public:
    LocalDateTime Now() override { return readings_++ == 0 ? LocalDateTime{2026, 12, 31, 23, 59, 59}
                                                           : LocalDateTime{2027, 1, 1, 0, 0, 0}; }

private:
    int readings_ = 0;
};

TEST(ReportComposition, TimeStampComesFromOneClockReadingAcrossMidnight) {
    FormFixture f;
    TickingRuntime clock;
    Platform platform{clock, f.registry, f.shell, f.versionInfo};
    EXPECT_EQ(GetTimeStamp(platform), L"20261231_235959");
}

}  // namespace
}  // namespace kdesk::test
