// Attachments and message at their limits, sent through Wine's mapi32 and the
// recording provider: a thousand listed files, a file that vanished after it
// was listed, a message of one megabyte, and paths of 259 and 300 characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recorded;
using mapitest::Recording;

constexpr auto kStartBound = 10s;

std::string FileLine(const std::wstring& path) {
    return "file position=0 path=" + Recorded(path) + " name=<null> exists=1";
}

class BadAttachmentsE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(mapitest::RegisterRecordingProvider()); }

    void SetUp() override {
        pos->MakeFolder(Installation::CommonAppData() + L"\\VELKDESK");
        pos->MakeFolder(app);
        pos->SetString(L"AppPath", app);
        pos->SetString(L"VELKdesk", data);
    }

    void TearDown() override {
        SaveScreenshotOfFailedTest();
        if (shown) {
            EXPECT_TRUE(shown->Close());
        }
    }

    void Start() {
        shown = std::make_unique<ShownProgram>();
        ASSERT_NE(shown->main, nullptr) << "main window did not appear";
        EXPECT_LT(shown->startTime, kStartBound);
        EXPECT_EQ(shown->messages, std::vector<std::wstring>{});
        list = MainControl(shown->main, L"List1");
    }

    void Type(std::wstring_view field, const std::wstring& text) {
        SendMessageW(MainControl(shown->main, field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Pastes a text into a field through the clipboard, as an operator pasting a long log would.
    void Paste(std::wstring_view field, const std::wstring& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
        HWND control = MainControl(shown->main, field);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(control, WM_PASTE, 0, 0);
    }

    // Presses "Trasmetti EMail" and answers every box with OK until the session is
    // closed; returns the prompts in the order shown.
    std::vector<std::wstring> PressSendAndConfirm(const Recording& record) {
        Click(MainControl(shown->main, L"cmdMapiManager"));
        std::vector<std::wstring> prompts;
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < end) {
            HWND box = shown->program.WaitForDialog(200ms);
            if (!box) {
                const auto calls = record.Functions();
                if (!calls.empty() && calls.back() == "MAPILogoff") break;
                continue;
            }
            prompts.push_back(MessageBoxText(box));
            if (prompts.back() != kConfirmQuestion) {
                EXPECT_EQ(WindowText(box), L"VelKdesk Support") << prompts.back();
            }
            PressDialogButton(box, IDOK);
            WaitUntilGone(box);
        }
        return prompts;
    }

    // The attachment lines of the one message the provider was given.
    static std::vector<std::string> SentFiles(const Recording& record) {
        for (const auto& call : record.Calls())
            if (call.function == "MAPISendMailW") return call.LinesStartingWith("file");
        ADD_FAILURE() << "nothing was sent";
        return {};
    }

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    WineVersion win10{L"win10"};
    const std::wstring app = pos->Scratch() + L"\\Kdesk";
    const std::wstring data = pos->Scratch() + L"\\Scambio";
    std::unique_ptr<ShownProgram> shown;
    HWND list = nullptr;
};

TEST_F(BadAttachmentsE2e, ThousandFilesAreListedAndEveryOneIsSent) {
    std::vector<std::wstring> made;
    for (int i = 0; i < 1000; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\LOG%04d.000", i);
        made.push_back(data + name);
        pos->WriteFile(made.back(), "x");
    }
    Recording record(L"bad_thousand");
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto listed = ListEntries(list);
    auto sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, made);

    EXPECT_EQ(PressSendAndConfirm(record), std::vector<std::wstring>{kConfirmQuestion});
    const auto files = SentFiles(record);
    ASSERT_EQ(files.size(), listed.size());
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i], FileLine(listed[i]));
}

TEST_F(BadAttachmentsE2e, FileGoneBeforeSendingIsNamedAndTheOthersArrive) {
    for (const wchar_t* name : {L"\\A.000", L"\\B.000", L"\\C.000"}) pos->WriteFile(data + name, "x");
    Recording record(L"bad_vanished");
    ASSERT_NO_FATAL_FAILURE(Start());
    Type(L"txtMessage", L"Stampante ferma");
    const auto listed = ListEntries(list);
    ASSERT_EQ(listed.size(), 3u);
    const std::wstring gone = listed[1];
    ASSERT_TRUE(DeleteFileW(gone.c_str()));

    const auto prompts = PressSendAndConfirm(record);

    ASSERT_EQ(prompts.size(), 2u) << ::testing::PrintToString(prompts);
    EXPECT_EQ(prompts[0], kConfirmQuestion);
    EXPECT_EQ(prompts[1].rfind(L"InsertAttachmentFilesFromList: ", 0), 0u) << ::testing::PrintToString(prompts[1]);
    EXPECT_NE(prompts[1].find(gone), std::wstring::npos) << ::testing::PrintToString(prompts[1]);
    EXPECT_EQ(SentFiles(record), (std::vector<std::string>{FileLine(listed[0]), FileLine(listed[2])}));
    EXPECT_EQ(ListEntries(list), listed);
    EXPECT_TRUE(shown->Text(L"txtMessage").ends_with(L"\r\n\r\nStampante ferma"));
}

TEST_F(BadAttachmentsE2e, MessageOfOneMegabyteIsKeptAndSentWhole) {
    std::wstring typed;
    for (int line = 0; typed.size() < (std::size_t{1} << 20); ++line)
        typed += L"Riga " + std::to_wstring(line) + L" della descrizione del guasto, caff\u00e8 \u2116\r\n";
    Recording record(L"bad_megabyte");
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Paste(L"txtMessage", typed));
    ASSERT_FALSE(shown->program.WaitForExit(0ms)) << "ended with " << std::hex << shown->program.ExitCode();
    ASSERT_TRUE(shown->Text(L"txtMessage") == typed) << "the typed text was not kept";

    EXPECT_EQ(PressSendAndConfirm(record), std::vector<std::wstring>{kConfirmQuestion});

    const std::wstring message = shown->Text(L"txtMessage");
    EXPECT_TRUE(message.starts_with(L"Dati Cliente: "));
    EXPECT_TRUE(message.ends_with(L"\r\n\r\n" + typed)) << "the typed text was not kept";
    const auto calls = record.Calls();
    const auto send = std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.function == "MAPISendMailW"; });
    ASSERT_NE(send, calls.end());
    EXPECT_TRUE(mapitest::FromHex(send->Value("body.hex")) == mapitest::Utf16Bytes(message + kReportClosing));
}

TEST_F(BadAttachmentsE2e, PathsOf259And300CharactersAreListedAndSentWhole) {
    const std::wstring deep = pos->Scratch() + L"\\" + std::wstring(229 - pos->Scratch().size(), L'L');
    ASSERT_EQ(deep.size(), 230u);
    const std::wstring at259 = deep + L"\\" + std::wstring(259 - deep.size() - 5, L'P') + L".000";
    const std::wstring at300 = deep + L"\\" + std::wstring(300 - deep.size() - 5, L'Q') + L".000";
    ASSERT_EQ(at259.size(), 259u);
    ASSERT_EQ(at300.size(), 300u);
    pos->WriteFile(at259, "x");
    pos->WriteFile(L"\\\\?\\" + at300, "x");
    pos->SetString(L"VELKdesk", deep);
    Recording record(L"bad_long_paths");
    ASSERT_NO_FATAL_FAILURE(Start());
    auto listed = ListEntries(list);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{at259, at300}));

    EXPECT_EQ(PressSendAndConfirm(record), std::vector<std::wstring>{kConfirmQuestion});
    auto files = SentFiles(record);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{FileLine(at259), FileLine(at300)}));
}

}  // namespace
}  // namespace kdesk::e2e
