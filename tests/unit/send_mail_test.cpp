#include <gtest/gtest.h>

#include "modules/ModMapi.h"
#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

using Names = std::vector<std::wstring>;

const Names kBeforeQuestion = {L"SignOn",      L"SetDownLoadMail", L"SessionID",     L"SetSessionID",
                               L"Compose",     L"SetRecipAddress", L"ResolveName",   L"SetMsgSubject",
                               L"SetMsgNoteText"};
const Names kOneAttachment = {L"SetAttachmentIndex", L"SetAttachmentPosition", L"SetAttachmentPathName"};

Names Join(std::initializer_list<Names> parts) {
    Names all;
    for (const Names& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct SendFixture : FormFixture {
    SendFixture() {
        for (const wchar_t* path : {L"C:\\D\\SR_MATR.001", L"C:\\D\\SR_ERR.001", L"C:\\A\\LOG.TXT"})
            List1.AddItem(path);
        txtMatr.SetText(L"99MEY012345");
        txtSendcc.SetText(L"copia@example.org");
        runtime.SetNow({2013, 4, 15, 14, 30, 5});
    }
    // The message boxes other than the confirmation question.
    std::vector<ShownMessage> Errors() const {
        std::vector<ShownMessage> errors;
        for (const auto& m : runtime.Messages())
            if (m.prompt != L"Confermi trasmissione del messaggio ?") errors.push_back(m);
        return errors;
    }
};

TEST(SendMail, OkSendsEveryListedFileInOrderAtPositionZero) {
    SendFixture f;
    std::vector<std::size_t> callsAtDoEvents;
    f.runtime.onDoEvents = [&] { callsAtDoEvents.push_back(f.mail.Calls().size()); };

    f.form.cmdMapiManager_Click();

    EXPECT_EQ(f.mail.Members(),
              Join({kBeforeQuestion, {L"PackAttachments"}, kOneAttachment, kOneAttachment, kOneAttachment, {L"Send", L"SignOff"}}));
    // after DownLoadMail, after the note text, after the sign-off
    EXPECT_EQ(callsAtDoEvents, (std::vector<std::size_t>{2, 9, f.mail.Calls().size()}));
    EXPECT_EQ(f.window.Repaints(), 1);
    ASSERT_EQ(f.mail.Sent().size(), 1u);
    const FakeMailMessage& sent = f.mail.Sent()[0];
    EXPECT_EQ(sent.recipient, kMailbox);
    EXPECT_EQ(sent.subject, L"VelAutoMail_99MEY012345_20130415_143005");
    EXPECT_EQ(sent.attachments, (std::vector<FakeAttachment>{{0, L"C:\\D\\SR_MATR.001"},
                                                              {0, L"C:\\D\\SR_ERR.001"},
                                                              {0, L"C:\\A\\LOG.TXT"}}));
    EXPECT_EQ(f.mail.Calls()[3], L"SetSessionID(" + std::to_wstring(FakeMail::kSessionHandle) + L")");
    EXPECT_EQ(f.mail.Calls()[1], L"SetDownLoadMail(false)");
    EXPECT_EQ(f.mail.Calls().end()[-2], L"Send(false)");
    for (const auto& call : f.mail.Calls()) EXPECT_EQ(call.find(L"copia@"), std::wstring::npos) << call;

    ASSERT_EQ(f.runtime.Messages().size(), 1u);
    EXPECT_EQ(f.runtime.Messages()[0].prompt, L"Confermi trasmissione del messaggio ?");
    EXPECT_EQ(f.runtime.Messages()[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(f.runtime.Messages()[0].title, std::optional<std::wstring>(L""));
    EXPECT_EQ(f.vars.gAttachIndex, -1);
    EXPECT_EQ(f.List1.ListCount(), 3);
    EXPECT_FALSE(f.mail.SessionOpen());
}

TEST(SendMail, CancelAttachesAndSendsNothingButSignsOff) {
    SendFixture f;
    f.runtime.QueueAnswer(MsgResult::Cancel);
    f.form.cmdMapiManager_Click();
    EXPECT_EQ(f.mail.Members(), Join({kBeforeQuestion, {L"SignOff"}}));
    EXPECT_TRUE(f.mail.Sent().empty());
    EXPECT_TRUE(f.Errors().empty());
    EXPECT_EQ(f.vars.gAttachIndex, -1);
}

TEST(SendMail, EmptyListSendsWithoutAttachments) {
    SendFixture f;
    f.List1.Clear();
    f.form.cmdMapiManager_Click();
    EXPECT_EQ(f.mail.Members(), Join({kBeforeQuestion, {L"Send", L"SignOff"}}));
    ASSERT_EQ(f.mail.Sent().size(), 1u);
    EXPECT_TRUE(f.mail.Sent()[0].attachments.empty());
}

struct FailureCase {
    const char* name;
    std::wstring member;
    std::int32_t number;
    std::wstring expectedMessage;
    std::wstring skipped = L"";  // a member of the failed step that never runs
};

// A message too large for mail servers carries one archive instead of the
// files; each file the archive could not take is named under the attachment
// step. When it could take none, no archive is attached.
TEST(SendMail, PackedFilesGoAsTheOneArchive) {
    const RuntimeError sr(32011, L"Allegato non trovato: C:\\D\\SR_ERR.001");
    const RuntimeError log(32011, L"Allegato non trovato: C:\\A\\LOG.TXT");
    const struct {
        PackedAttachments packed;
        std::vector<FakeAttachment> attachments;
    } cases[] = {
        {{L"C:\\Outbox\\VelAutoMail.zip", {sr}}, {{0, L"C:\\Outbox\\VelAutoMail.zip"}}},
        {{L"", {sr, log}}, {}},
    };
    for (const auto& c : cases) {
        SendFixture f;
        f.mail.PackAs(c.packed);

        f.form.cmdMapiManager_Click();

        Names expected = Join({kBeforeQuestion, {L"PackAttachments"}});
        if (!c.attachments.empty()) expected = Join({expected, kOneAttachment});
        EXPECT_EQ(f.mail.Members(), Join({expected, {L"Send", L"SignOff"}}));
        ASSERT_EQ(f.mail.Sent().size(), 1u);
        EXPECT_EQ(f.mail.Sent()[0].attachments, c.attachments);
        ASSERT_EQ(f.Errors().size(), c.packed.leftOut.size());
        for (std::size_t i = 0; i < c.packed.leftOut.size(); ++i)
            EXPECT_EQ(f.Errors()[i].prompt,
                      L"InsertAttachmentFilesFromList: " + c.packed.leftOut[i].Description() + L" - 32011");
        EXPECT_EQ(f.vars.gAttachIndex, -1);
    }
}

class SendMailFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SendMailFailure, ShowsOneMessageAndRunsEveryLaterStep) {
    const FailureCase& c = GetParam();
    SendFixture f;
    f.txtMessage.SetText(L"operatore");
    f.mail.FailAt(c.member, c.number, L"Errore di prova");

    f.form.cmdMapiManager_Click();

    Names expected = Join({kBeforeQuestion, {L"PackAttachments"}, kOneAttachment, kOneAttachment, kOneAttachment, {L"Send", L"SignOff"}});
    std::erase(expected, c.skipped);
    EXPECT_EQ(f.mail.Members(), expected);
    const auto errors = f.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].prompt, c.expectedMessage);
    EXPECT_EQ(errors[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(errors[0].title, std::nullopt);
    EXPECT_EQ(f.runtime.Messages().size(), 2u);  // the error and the question
    EXPECT_NE(f.txtMessage.Text().find(L"Dati Cliente: "), std::wstring::npos);
    EXPECT_EQ(f.vars.gAttachIndex, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SendMailFailure,
    ::testing::Values(
        FailureCase{"SignOn", L"SignOn", 32003, L"SendMail: Errore di prova - 32003"},
        FailureCase{"DownLoadMail", L"SetDownLoadMail", 32002, L"SendMail: Errore di prova - 32002"},
        FailureCase{"ReadSessionID", L"SessionID", 32053, L"SendMail: Errore di prova - 32053", L"SetSessionID"},
        FailureCase{"SetSessionID", L"SetSessionID", 32019, L"SendMail: Errore di prova - 32019"},
        FailureCase{"Compose", L"Compose", 32002, L"SendMail: Errore di prova - 32002"},
        FailureCase{"RecipAddress", L"SetRecipAddress", 32025, L"SendMail: Errore di prova - 32025"},
        FailureCase{"ResolveName", L"ResolveName", 32014, L"SendMail: Errore di prova - 32014"},
        FailureCase{"Subject", L"SetMsgSubject", 32018, L"SendMail: Errore di prova - 32018"},
        FailureCase{"NoteText", L"SetMsgNoteText", 32018, L"SendMail: Errore di prova - 32018"},
        // An archive that cannot be written leaves the files to go as they are.
        FailureCase{"Pack", L"PackAttachments", 32056, L"InsertAttachmentFilesFromList: Errore di prova - 32056"},
        FailureCase{"SendNegativeNumber", L"Send", -2147467259, L"SendMail: Errore di prova - -2147467259"},
        FailureCase{"SignOff", L"SignOff", 32019, L"SendMail: Errore di prova - 32019"}),
    [](const auto& info) { return std::string(info.param.name); });

// The attachment left without a file makes the mail layer refuse the message
// at Send, as Simple MAPI does; the session is still closed.
TEST(SendMail, AttachmentFailureIsReportedUnderItsOwnNameAndTheRestAreAttached) {
    SendFixture f;
    f.mail.FailAt(L"SetAttachmentPathName", 32011, L"Allegato non trovato", 2);
    f.mail.FailAt(L"SetAttachmentPosition", 32002, L"Posizione rifiutata", 3);

    f.form.cmdMapiManager_Click();

    const auto errors = f.Errors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].prompt, L"InsertAttachmentFilesFromList: Allegato non trovato - 32011");
    EXPECT_EQ(errors[1].prompt, L"InsertAttachmentFilesFromList: Posizione rifiutata - 32002");
    EXPECT_EQ(errors[2].prompt, L"SendMail: Allegato senza percorso del file: 1 - 32055");
    const auto& attachments = f.mail.Composed().attachments;
    ASSERT_EQ(attachments.size(), 3u);
    EXPECT_EQ(attachments[0].path, L"C:\\D\\SR_MATR.001");
    EXPECT_EQ(attachments[1].path, L"");
    EXPECT_EQ(attachments[2].path, L"C:\\A\\LOG.TXT");
    EXPECT_TRUE(f.mail.Sent().empty());
    EXPECT_FALSE(f.mail.SessionOpen());
}

TEST(SendMail, AttachIndexHoldsTheLastAttachmentUntilSendMailResetsIt) {
    for (int count : {0, 1, 3}) {
        FormFixture f;
        for (int i = 0; i < count; ++i) f.List1.AddItem(L"C:\\f" + std::to_wstring(i));
        f.vars.gAttachIndex = 7;
        InsertAttachmentFilesFromList(f.platform, f.vars, f.controls);
        EXPECT_EQ(f.vars.gAttachIndex, count - 1) << count;
    }
}

TEST(SendMail, MoreEntriesThanTheIndexCanCountAreReportedNotDropped) {
    FormFixture f;
    for (int i = 0; i < 32768; ++i) f.List1.AddItem(L"C:\\f");
    InsertAttachmentFilesFromList(f.platform, f.vars, f.controls);
    ASSERT_EQ(f.runtime.Messages().size(), 1u);
    EXPECT_EQ(f.runtime.Messages()[0].prompt, L"InsertAttachmentFilesFromList: Overflow - 6");
    EXPECT_EQ(f.vars.gAttachIndex, 32766);
    EXPECT_EQ(f.mail.Composed().attachments.size(), 32767u);
}

TEST(SendMail, SecondPressDuringEventProcessingIsRefused) {
    SendFixture f;
    int presses = 0;
    f.runtime.onDoEvents = [&] {
        ++presses;
        f.form.cmdMapiManager_Click();
    };
    f.form.cmdMapiManager_Click();
    EXPECT_EQ(presses, 3);  // the last one queued while the send held the thread
    EXPECT_EQ(f.mail.Sent().size(), 1u);
    EXPECT_EQ(f.runtime.Messages().size(), 1u);

    f.runtime.onDoEvents = nullptr;
    f.form.cmdMapiManager_Click();  // the next press after the send works again
    EXPECT_EQ(f.mail.Sent().size(), 2u);
}

// The window's close box or "Termina esecuzione" used while the send processes
// events: the send ends first, session closed, and the window then unloads.
TEST(SendMail, CloseDuringTheSendUnloadsTheWindowOnceTheSessionIsClosed) {
    for (bool byMenu : {false, true}) {
        SendFixture f;
        std::vector<bool> unloadedAtDoEvents;
        f.runtime.onDoEvents = [&] {
            if (unloadedAtDoEvents.empty() && byMenu) f.form.m_end_Click();
            if (unloadedAtDoEvents.empty() && !byMenu) {
                EXPECT_FALSE(f.form.Form_QueryUnload());
            }
            unloadedAtDoEvents.push_back(f.window.Unloaded());
        };
        f.form.cmdMapiManager_Click();
        EXPECT_EQ(unloadedAtDoEvents, (std::vector<bool>{false, false, false})) << byMenu;
        EXPECT_TRUE(f.window.Unloaded());
        EXPECT_EQ(f.mail.Sent().size(), 1u);
        EXPECT_EQ(f.mail.Members().back(), L"SignOff");
        EXPECT_EQ(f.runtime.Messages().size(), 1u);  // the question only
    }
    FormFixture idle;
    EXPECT_TRUE(idle.form.Form_QueryUnload());
    EXPECT_FALSE(idle.window.Unloaded());
}

}  // namespace
}  // namespace kdesk::test
