// "Trasmetti EMail" on a prepared installation, through Wine's mapi32 and the
// recording provider registered as the default mail client.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "build_facts.h"
#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recorded;
using mapitest::RecordedCall;
using mapitest::Recording;


class SendMailE2e : public MailSessionE2e {
protected:
    void SetUp() override {
        MailSessionE2e::SetUp();
        pos->WriteFile(data + L"\\SR_ERR.001", "err\r\n");
    }

    void Start() { MailSessionE2e::Start(L"Bar Roma\r\nVia Po 1", L"Stampante ferma"); }

    // Presses "Trasmetti EMail" and answers the message boxes in turn: every box
    // before the question with OK, the question with `answer`. Returns all boxes
    // shown until the session was closed.
    std::vector<ShownBox> PressSend(int answer) { return MailSessionE2e::PressSend(answer, 1, 3s); }

    std::wstring Text(std::wstring_view name) { return ControlText(MainControl(main, name)); }
};

TEST_F(SendMailE2e, OkDeliversTheReportAndEveryListedFile) {
    Recording record(L"e2e_ok");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<std::wstring> listed = ListEntries(MainControl(main, L"List1"));
    ASSERT_EQ(listed.size(), 4u);

    const auto boxes = PressSend(IDOK);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"");
    EXPECT_EQ(record.Functions(),
              (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"}));
    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 4u);
    const RecordedCall& send = calls[2];
    EXPECT_EQ(send.Value("flags"), "0x00000000");
    EXPECT_EQ(calls[1].Value("flags"), "0x00000000");
    EXPECT_EQ(calls[1].Value("name"), KDESK_SUPPORT_MAILBOX_TEXT);
    EXPECT_EQ(send.LinesStartingWith("recip").size(), 1u);
    EXPECT_EQ(send.LinesStartingWith("recip")[0].rfind("recip class=1 name=" KDESK_SUPPORT_MAILBOX_TEXT " ", 0), 0u);
    EXPECT_TRUE(std::regex_match(send.Value("subject"), std::regex("VelAutoMail_99MEY012345_\\d{8}_\\d{6}")))
        << send.Value("subject");

    const std::wstring message = Text(L"txtMessage");
    const std::wstring block = L"Dati Cliente: Bar Roma\r\nVia Po 1\r\nTipo Driver: Ditron\r\nPortaCom: " +
                               Text(L"txtComPort") + L"\r\nMatricola: 99MEY012345\r\nVersione: " +
                               Text(L"txtVersion") + L"\r\nKdeskAppDir: " + app + L"\r\nKdeskDataDir: " + data +
                               L"\r\nData Creazione: " + Text(L"txtDataCreazione") +
                               L"\r\nWinEcrCom: \r\nWinEcrConf: \r\n\r\n";
    EXPECT_EQ(message, block + L"Stampante ferma");
    EXPECT_EQ(mapitest::FromHex(send.Value("body.hex")), mapitest::Utf16Bytes(message + kReportClosing));

    const auto files = send.LinesStartingWith("file");
    ASSERT_EQ(files.size(), listed.size());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i], "file position=0 path=" + Recorded(listed[i]) + " name=<null> exists=1");
    EXPECT_EQ(ListEntries(MainControl(main, L"List1")), listed);
    // The mail client's dialogs belong to the main window, and no draft was needed.
    EXPECT_EQ(calls[0].Value("ui"), HandleText(main));
    EXPECT_EQ(send.Value("ui"), HandleText(main));
    EXPECT_TRUE(drafts->Files().empty());
}

// The client runs in our process and may read every text it is given: an empty
// recipient arrives as empty texts, never as null pointers.
TEST_F(SendMailE2e, EmptyRecipientArrivesAsEmptyTexts) {
    Recording record(L"e2e_empty_recipient");
    record.FailCall(L"MAPIResolveName=14");
    ASSERT_NO_FATAL_FAILURE(Start());
    SendMessageW(MainControl(main, L"txtSendTo"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));

    PressSend(IDOK);

    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].Value("name"), "");
    ASSERT_EQ(calls[2].LinesStartingWith("recip").size(), 1u);
    EXPECT_EQ(calls[2].LinesStartingWith("recip")[0], "recip class=1 name= address= eid=");
}

TEST_F(SendMailE2e, CancelSendsNothingAndSignsOff) {
    Recording record(L"e2e_cancel");
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto boxes = PressSend(IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    EXPECT_EQ(record.Functions(), (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPILogoff"}));
    EXPECT_TRUE(Text(L"txtMessage").ends_with(L"\r\n\r\nStampante ferma"));
}

struct FailureCase {
    const char* name;
    std::wstring providerFailure;
    std::vector<std::wstring> prompts;  // every box, the question included
    std::vector<std::string> calls;
    bool draft;  // the message went on as a draft
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class SendMailE2eFailure : public SendMailE2e, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SendMailE2eFailure, ShowsEachFailingStepAndGoesOn) {
    const FailureCase& c = GetParam();
    Recording record(L"e2e_failure");
    record.FailCall(c.providerFailure);
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = PressSend(IDOK);

    std::vector<std::wstring> prompts;
    for (const auto& [prompt, title] : boxes) {
        prompts.push_back(prompt);
        EXPECT_EQ(title, prompt == kConfirmQuestion ? L"" : L"VelKdesk Support") << prompt;
    }
    EXPECT_EQ(prompts, c.prompts);
    EXPECT_EQ(record.Functions(), c.calls);
    EXPECT_TRUE(Text(L"txtMessage").ends_with(L"Stampante ferma"));
    const std::wstring draft = c.draft ? drafts->WaitForOne() : L"";
    EXPECT_EQ(!draft.empty(), c.draft);
    if (!draft.empty()) {
        KeepForMimeCheck(draft, std::string("fallback_") + c.name,
                         {Text(L"txtSendTo"), L"VelAutoMail_99MEY012345_\\d{8}_\\d{6}",
                          Text(L"txtMessage") + kReportClosing, ListEntries(MainControl(main, L"List1"))});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SendMailE2eFailure,
    ::testing::Values(
        // One box for the failed sign-on, then the message goes on as a draft.
        FailureCase{"Logon",
                    L"MAPILogon=3",
                    {L"SendMail: Accesso al sistema di posta non riuscito - 32003", kConfirmQuestion},
                    {"MAPILogon"},
                    true},
        FailureCase{"Resolve",
                    L"MAPIResolveName=14",
                    {L"SendMail: Destinatario sconosciuto - 32014", kConfirmQuestion},
                    {"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"},
                    false},
        FailureCase{"Send",
                    L"MAPISendMailW=2",
                    {kConfirmQuestion, L"SendMail: Errore generico del sistema di posta - 32002"},
                    {"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"},
                    true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendMailE2e, AttachmentNamedOutsideTheAnsiCodePageArrivesIntact) {
    const std::wstring foreign = data + L"\\Scontrino \u2116 1 \u4e2d.001";
    pos->WriteFile(foreign, "x");
    Recording record(L"e2e_unicode");
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto listed = ListEntries(MainControl(main, L"List1"));
    ASSERT_NE(std::find(listed.begin(), listed.end(), foreign), listed.end());

    PressSend(IDOK);

    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 4u);
    const auto files = calls[2].LinesStartingWith("file");
    EXPECT_NE(std::find(files.begin(), files.end(), "file position=0 path=" + Recorded(foreign) + " name=<null> exists=1"),
              files.end());
}

}  // namespace
}  // namespace kdesk::e2e
