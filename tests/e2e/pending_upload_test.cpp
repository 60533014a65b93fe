// A message that could not be uploaded waits beside the outbox and goes by
// itself once the drop box answers again: with the run for the waiting
// messages (/invia-sospesi) and at the program's start, exactly once, one copy
// of the program at a time; against the local nginx drop box and the servers
// of tests/upload/servers.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/drafts.h"
#include "tests/e2e/mail_session.h"
#include "tests/e2e/pending.h"
#include "tests/e2e/scheduled_task.h"
#include "tests/e2e/upload_servers.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

const std::wstring kWillGoLater =
    L"Il messaggio sar\u00e0 inviato automaticamente all'assistenza appena la connessione sar\u00e0 di nuovo "
    L"disponibile.";

class PendingUploadE2e : public MailSessionE2e {
protected:
    void SetUp() override {
        MailSessionE2e::SetUp();
        ASSERT_FALSE(Url(L"inbox\\url").empty()) << "the upload servers are not running";
        ClearPending();
    }
    void TearDown() override {
        MailSessionE2e::TearDown();
        ClearPending();
    }

    void Start() { MailSessionE2e::Start(L"Bar Roma\r\nVia Po 1", L"Stampante ferma"); }

    // A send with the drop box down and nothing to take the message: the boxes
    // of the send, with Explorer on the draft closed.
    std::vector<ShownBox> SendWhileTheDropBoxIsDown() {
        const MailClientForTest none;
        const NoEmlProgram noProgram;
        pos->SetString(L"UploadUrl", Url(L"down.url"));
        KeepListedFilesForTheCheck(main);
        Click(MainControl(main, L"cmdMapiManager"));
        std::vector<ShownBox> boxes = AnswerBoxes(IDOK, 2, 0ms);
        if (program->WaitForDialog()) SaveScreenshot(L"pending_draft_box");
        for (const ShownBox& box : AnswerBoxes(IDOK, 1)) boxes.push_back(box);
        if (const HWND explorer = WaitForWindowTitled(L"Outbox", program->Id(), 5s))
            PostMessageW(explorer, WM_CLOSE, 0, 0);
        return boxes;
    }

    // One message waiting, made so by the program, which is then closed.
    void OneMessageWaits() {
        ASSERT_NO_FATAL_FAILURE(Start());
        SendWhileTheDropBoxIsDown();
        ASSERT_EQ(WaitingMessages().size(), 1u);
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program->WaitForExit());
        program.reset();
    }

    std::wstring Waiting() const { return PendingFolder() + L"\\" + WaitingMessages().at(0); }

    const TrustedRoot ca{Servers(L"inbox\\ca.der")};
};

TEST_F(PendingUploadE2e, WaitsWhenNothingTookItAndTheRunWithoutWindowDeliversItOnce) {
    const std::wstring foreign = OutboxFolder() + L"\\lettera.eml.part";
    pos->WriteFile(foreign, "di qualcun altro");
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = SendWhileTheDropBoxIsDown();

    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(boxes[1].prompt.ends_with(L" - 12029")) << mapitest::Utf8(boxes[1].prompt);
    EXPECT_TRUE(boxes[2].prompt.ends_with(L"\r\n\r\n" + kWillGoLater)) << mapitest::Utf8(boxes[2].prompt);
    ASSERT_EQ(WaitingMessages().size(), 1u);
    EXPECT_TRUE(std::regex_match(WaitingMessages()[0], std::wregex(LR"(VelAutoMail_99MEY012345_\d{8}_\d{6}_[0-9a-f]{32}\.eml)")));
    EXPECT_NE(GetFileAttributesW(foreign.c_str()), INVALID_FILE_ATTRIBUTES);
    const auto task = ReadPendingTask();
    ASSERT_TRUE(task.has_value()) << "the task is not registered";
    ExpectPendingTaskConditions(*task);
    const std::wstring name = WaitingMessages()[0];
    const std::string waited = ReadAll(Waiting());
    const size_t before = FilesIn(InboxNew()).size();

    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    EXPECT_EQ(RunSendWaiting(), 0u) << PendingLog();

    EXPECT_EQ(FilesIn(InboxNew()).size(), before + 1);
    EXPECT_EQ(ReadAll(InboxNew() + L"\\" + name), waited);
    EXPECT_TRUE(WaitingMessages().empty());
    EXPECT_FALSE(PendingTaskExists());
    const std::string log = ReadAll(PendingFolder() + L"\\invii.log");
    EXPECT_NE(log.find(mapitest::Utf8(name) + "  consegnato\r\n"), std::string::npos) << log;
}

// The relay passes the request to the drop box and drops the connection before its answer.
TEST_F(PendingUploadE2e, AnAnswerLostOnTheWayLeavesOneMessageInTheDropBox) {
    ASSERT_NO_FATAL_FAILURE(OneMessageWaits());
    const size_t before = FilesIn(InboxNew()).size();

    pos->SetString(L"UploadUrl", Url(L"lost.url"));
    EXPECT_EQ(RunSendWaiting(), 1u) << PendingLog();
    EXPECT_EQ(WaitingMessages().size(), 1u);
    EXPECT_EQ(FilesIn(InboxNew()).size(), before + 1) << "the relay did not pass the message";

    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    EXPECT_EQ(RunSendWaiting(), 0u);
    EXPECT_EQ(FilesIn(InboxNew()).size(), before + 1);
    EXPECT_TRUE(WaitingMessages().empty());
}

TEST_F(PendingUploadE2e, TheProgramsStartSendsWhatWaitsWithoutABox) {
    ASSERT_NO_FATAL_FAILURE(OneMessageWaits());
    PutLastTriesBack();
    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    const size_t before = FilesIn(InboxNew()).size();

    ASSERT_NO_FATAL_FAILURE(Start());

    EXPECT_TRUE(WaitUntil([&] { return FilesIn(InboxNew()).size() == before + 1; }, 60s)) << PendingLog();
    EXPECT_TRUE(WaitUntil([&] { return WaitingMessages().empty(); }, 5s));
    EXPECT_EQ(program->WaitForDialog(1s), nullptr);
}

TEST_F(PendingUploadE2e, AStartRightAfterAFailedTryDoesNotKnockAgain) {
    ASSERT_NO_FATAL_FAILURE(OneMessageWaits());
    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    const std::string accessLog = ReadAll(Servers(L"inbox\\access.log"));

    ASSERT_NO_FATAL_FAILURE(Start());
    Sleep(5000);

    EXPECT_EQ(ReadAll(Servers(L"inbox\\access.log")), accessLog);
    EXPECT_EQ(WaitingMessages().size(), 1u);
}

TEST_F(PendingUploadE2e, ASecondRunWhileTheFirstSendsEndsWithTwo) {
    ASSERT_NO_FATAL_FAILURE(OneMessageWaits());
    const size_t before = FilesIn(InboxNew()).size();
    // The slow server takes the message and never answers: the first run goes on sending.
    pos->SetString(L"UploadUrl", Url(L"slow.url"));
    auto first = std::make_unique<RunningProgram>(ProgramPath(), L"/invia-sospesi");
    Sleep(3000);

    EXPECT_EQ(RunSendWaiting(20s), 2u) << PendingLog();
    EXPECT_FALSE(first->WaitForExit(0ms));
    first.reset();  // ended by force, as a shutdown would

    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    EXPECT_EQ(RunSendWaiting(), 0u);
    EXPECT_EQ(FilesIn(InboxNew()).size(), before + 1);
}

}  // namespace
}  // namespace kdesk::e2e
