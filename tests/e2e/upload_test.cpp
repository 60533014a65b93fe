// The upload to the maker's drop box with the started program, against the
// local nginx drop box and the servers that fail on purpose (started for the
// e2e tests by tests/upload/servers.sh): delivered, each failure reported once
// before the message goes through Simple MAPI (so that nothing waits to go
// later), cancelled, and through the proxy named in the user's Internet settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <regex>

#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"
#include "tests/e2e/mail_session.h"
#include "tests/e2e/pending.h"
#include "tests/e2e/upload_servers.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recording;
using Calls = std::vector<std::string>;

const Calls kWholeSend = {"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"};

// ASCII only: the servers' facts and the boxes' numbers.
std::string Narrowed(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += static_cast<char>(c);
    return narrow;
}

class UploadE2e : public MailSessionE2e {
protected:
    void SetUp() override {
        MailSessionE2e::SetUp();
        ASSERT_FALSE(Url(L"inbox\\url").empty()) << "the upload servers are not running";
        ClearPending();
    }

    void Start() { MailSessionE2e::Start(L"Bar Roma\r\nVia Po 1", L"Stampante ferma"); }

    void KeepListedFilesForTheCheck() { e2e::KeepListedFilesForTheCheck(main); }

    static std::vector<std::wstring> Prompts(const std::vector<ShownBox>& boxes) {
        std::vector<std::wstring> prompts;
        for (const ShownBox& box : boxes) prompts.push_back(box.prompt);
        return prompts;
    }

    const TrustedRoot ca{Servers(L"inbox\\ca.der")};
};

TEST_F(UploadE2e, DeliveredMessageLandsInTheMaildirAndNothingElseIsTried) {
    Recording record(L"e2e_upload_delivered");
    pos->SetString(L"UploadUrl", Url(L"inbox\\url"));
    ASSERT_NO_FATAL_FAILURE(Start());
    KeepListedFilesForTheCheck();
    const size_t before = FilesIn(InboxNew()).size();
    const size_t draftsBefore = drafts->Files().size();

    const auto boxes = PressSend(IDOK, 1, 3s);

    EXPECT_EQ(Prompts(boxes), std::vector<std::wstring>{kConfirmQuestion});
    EXPECT_TRUE(WaitUntil([&] { return FilesIn(InboxNew()).size() == before + 1; }, 5s));
    EXPECT_EQ(FilesIn(InboxNew()).size(), before + 1);
    EXPECT_EQ(record.Functions(), Calls{});
    EXPECT_EQ(drafts->Files().size(), draftsBefore);
}

struct FailedUpload {
    const char* name;
    std::wstring url;
    std::wregex box;     // the one box after the question
    bool large = false;  // with a file of 8 MB listed: more than loopback's buffers hold
};

// Every failure in one run of the program: the URL is read at each press.
TEST_F(UploadE2e, FailedUploadShowsOneBoxThenTheMailClientSendsTheMessage) {
    const std::wstring untrusted = Url(L"untrusted\\url");
    const std::vector<FailedUpload> cases = {
        {"server down", Url(L"down.url"), std::wregex(LR"(SendMail: .+ - 12029)")},
        // Windows names the certificate's fault (12045, 12175); Wine reports every one as 12157.
        {"certificate from an untrusted CA", untrusted, std::wregex(LR"(SendMail: .+ - (12045|12175|12157))")},
        {"http URL", Url(L"plain.url"), std::wregex(LR"(SendMail: .+ - 1200[56])")},
        // The test server reads 256 KiB of the body before it resets, and the drop box takes 1 MB.
        // Wine reports the reset as Winsock's 10054, Windows as WinHTTP's 12030.
        {"connection dropped halfway", Url(L"drop.url"), std::wregex(LR"(SendMail: .+ - (12030|10054))"), true},
        {"over the server's limit", Url(L"inbox\\url"), std::wregex(LR"(SendMail: .+ - 413)"), true},
    };
    Recording record(L"e2e_upload_failed");
    ASSERT_NO_FATAL_FAILURE(Start());

    const std::wstring large = data + L"\\RUMORE.001";
    for (const FailedUpload& c : cases) {
        SCOPED_TRACE(c.name);
        pos->SetString(L"UploadUrl", c.url);
        if (c.large && GetFileAttributesW(large.c_str()) == INVALID_FILE_ATTRIBUTES) {
            pos->WriteFile(large, std::string(8'000'000, 'x'));
            const size_t listed = ListEntries(MainControl(main, L"List1")).size();
            Click(MainControl(main, L"cmdLoadDati"));
            ASSERT_TRUE(WaitUntil([&] { return ListEntries(MainControl(main, L"List1")).size() == listed + 1; }, 5s));
        }
        const size_t inboxBefore = FilesIn(InboxNew()).size();
        const size_t contacts = ReadAll(Servers(L"untrusted\\access.log")).size() + ReadAll(Servers(L"listen.log")).size();
        const size_t calls = record.Calls().size();

        const auto boxes = PressSend(IDOK, 2, 3s);

        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
        EXPECT_TRUE(std::regex_match(boxes[1].prompt, c.box)) << Narrowed(boxes[1].prompt);
        WaitUntil([&] { return record.Calls().size() >= calls + kWholeSend.size(); }, 5s);
        const auto functions = record.Functions();
        EXPECT_EQ(Calls(functions.begin() + static_cast<std::ptrdiff_t>(calls), functions.end()), kWholeSend);
        EXPECT_EQ(FilesIn(InboxNew()).size(), inboxBefore);
        EXPECT_TRUE(WaitingMessages().empty()) << "the mail client has it, or it cannot pass";
        EXPECT_EQ(ReadAll(Servers(L"untrusted\\access.log")).size() + ReadAll(Servers(L"listen.log")).size(), contacts)
            << "a request reached the untrusted server, or a connection the plain one";
    }
}

TEST_F(UploadE2e, CancelDuringASlowUploadSendsNothingAndKeepsTheText) {
    Recording record(L"e2e_upload_cancel");
    pos->SetString(L"UploadUrl", Url(L"slow.url"));
    // Loopback's buffers take the first megabytes at once: the slow reader holds the rest.
    pos->WriteFile(data + L"\\GRANDE.001", std::string(6'000'000, 'x'));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::wstring typed = ControlText(MainControl(main, L"txtMessage"));

    Click(MainControl(main, L"cmdMapiManager"));
    const auto question = AnswerBoxes(IDOK, 1, 0ms);
    ASSERT_EQ(question.size(), 1u);
    const HWND progress = program->WaitForWindowOfClass(kUploadWindowClass);
    ASSERT_NE(progress, nullptr) << "no progress window";
    SaveScreenshot(L"upload_progress");
    Sleep(1000);  // well into the body
    Click(FindWindowExW(progress, nullptr, L"Button", L"Annulla"));

    EXPECT_TRUE(WaitUntilGone(progress, 5s));
    EXPECT_EQ(AnswerBoxes(IDOK, 0, 2s).size(), 0u);
    EXPECT_EQ(record.Functions(), Calls{});
    EXPECT_TRUE(WaitingMessages().empty());
    EXPECT_TRUE(ControlText(MainControl(main, L"txtMessage")).ends_with(typed));
}

TEST_F(UploadE2e, ProxyInTheUsersInternetSettingsCarriesTheUpload) {
    Recording record(L"e2e_upload_proxy");
    const std::wstring inbox = Url(L"inbox\\url");
    const UserProxy proxy("127.0.0.1:" + Narrowed(Url(L"proxy.port")));
    pos->SetString(L"UploadUrl", inbox);
    ASSERT_NO_FATAL_FAILURE(Start());
    const size_t before = FilesIn(InboxNew()).size();

    EXPECT_EQ(PressSend(IDOK, 1, 3s).size(), 1u);

    EXPECT_TRUE(WaitUntil([&] { return FilesIn(InboxNew()).size() == before + 1; }, 5s));
    const std::wstring hostAndPort = inbox.substr(8, inbox.find(L'/', 8) - 8);  // after "https://"
    EXPECT_NE(ReadAll(Servers(L"proxy.log")).find(Narrowed(hostAndPort)), std::string::npos);
    EXPECT_EQ(record.Functions(), Calls{});
}

}  // namespace
}  // namespace kdesk::e2e
