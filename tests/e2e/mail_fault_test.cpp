// Mail faults with the started program: every Simple MAPI step failing in turn,
// a mail client that holds the send for seconds, and a mapi32.dll that is
// missing or lacks entry points. In every case the operator's text stays and
// each session that was opened is closed again.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "build_facts.h"
#include "tests/e2e/dll_load_order.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recorded;
using mapitest::RecordedCall;
using mapitest::Recording;
using Calls = std::vector<std::string>;
using Prompts = std::vector<std::wstring>;

const std::wstring kNoSession = L"SendMail: Nessuna sessione di posta aperta - 32053";
const std::wstring kCustomer = L"Bar Roma\r\nVia Po 1";
const std::wstring kOperatorMessage = L"Stampante ferma, caff\u00e8 freddo";
const Calls kWholeSend = {"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"};

// Values under the provider's own HKCU key, read at every call; removed afterwards.
class ProviderSettings {
public:
    ProviderSettings() = default;
    ~ProviderSettings() { RegDeleteKeyW(HKEY_CURRENT_USER, kKey); }
    ProviderSettings(const ProviderSettings&) = delete;
    ProviderSettings& operator=(const ProviderSettings&) = delete;

    void Set(const wchar_t* name, const std::wstring& value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

private:
    static constexpr wchar_t kKey[] = L"Software\\KdeskSupportTests\\MapiProvider";
};

// A stand-in DLL in place of the system folder's mapi32.dll, the only one the
// program loads; the system's own file comes back afterwards (first, too, when
// a run that ended early left it set aside).
class SystemMapi32StandIn {
public:
    explicit SystemMapi32StandIn(const std::wstring& standInDll)
        : dll_(SystemFolder() + L"\\mapi32.dll"), saved_(dll_ + L".kdesk-saved") {
        Restore();
        ready_ = MoveFileExW(dll_.c_str(), saved_.c_str(), 0) &&
                 CopyFileW((BinFolder() + L"\\" + standInDll).c_str(), dll_.c_str(), TRUE);
    }
    ~SystemMapi32StandIn() { Restore(); }
    SystemMapi32StandIn(const SystemMapi32StandIn&) = delete;
    SystemMapi32StandIn& operator=(const SystemMapi32StandIn&) = delete;

    bool Ready() const { return ready_; }

private:
    static std::wstring SystemFolder() {
        wchar_t folder[MAX_PATH] = {};
        GetSystemDirectoryW(folder, MAX_PATH);
        return folder;
    }
    void Restore() const {
        if (GetFileAttributesW(saved_.c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileExW(saved_.c_str(), dll_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

    std::wstring dll_, saved_;
    bool ready_ = false;
};

Prompts PromptsOf(const std::vector<ShownBox>& boxes) {
    Prompts prompts;
    for (const ShownBox& box : boxes) prompts.push_back(box.prompt);
    return prompts;
}

Calls FunctionsOf(const std::vector<RecordedCall>& calls) {
    Calls functions;
    for (const auto& call : calls) functions.push_back(call.function);
    return functions;
}

// Every session that a logon opened is closed by a logoff of the same handle.
void ExpectSessionsClosed(const std::vector<RecordedCall>& calls) {
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].function != "MAPILogon" || calls[i].Value("result") != "0") continue;
        bool closed = false;
        for (size_t j = i + 1; j < calls.size() && !closed; ++j)
            closed = calls[j].function == "MAPILogoff" && calls[j].Value("session") == "0x00004b44";
        EXPECT_TRUE(closed) << "session of call " << i << " left open";
    }
}

std::string Ansi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// Answers WM_NULL within the time: the program's thread is handling messages.
bool Responds(HWND window, UINT milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

class MailFaultE2e : public MailSessionE2e {
protected:
    void Start() { MailSessionE2e::Start(kCustomer, kOperatorMessage); }

    static void ExpectTitles(const std::vector<ShownBox>& boxes) {
        for (const ShownBox& box : boxes)
            EXPECT_EQ(box.title, box.prompt == kConfirmQuestion ? L"" : L"" KDESK_TITLE_TEXT) << box.prompt;
    }

    void ExpectOperatorTextKept() {
        EXPECT_EQ(ControlText(MainControl(main, L"txtDatiCliente")), kCustomer);
        EXPECT_TRUE(ControlText(MainControl(main, L"txtMessage")).ends_with(L"\r\n\r\n" + kOperatorMessage));
    }

    std::unique_ptr<SystemMapi32StandIn> standIn;  // put back after the program ended in TearDown
};

struct StepFailure {
    const char* name;
    std::wstring fail;  // the provider's "Function=code", empty for none
    int answer;
    Prompts prompts;  // every box, the question included
    Calls calls;
    bool draft = false;  // a send the client refused goes on as a draft
};

// All cases in one run of the program: each press after a failure starts afresh.
TEST_F(MailFaultE2e, EveryStepFailingInTurnShowsItsMessageAndClosesTheSession) {
    const std::vector<StepFailure> cases = {
        {"logon aborted",
         L"MAPILogon=1",
         IDOK,
         {L"SendMail: Operazione annullata dall'utente - 32001", kNoSession, kConfirmQuestion, kNoSession, kNoSession},
         {"MAPILogon"}},
        {"ambiguous recipient", L"MAPIResolveName=21", IDOK,
         {L"SendMail: Destinatario ambiguo - 32021", kConfirmQuestion}, kWholeSend},
        {"attachment not found", L"MAPISendMailW=11", IDOK,
         {kConfirmQuestion, L"SendMail: Allegato non trovato - 32011"}, kWholeSend, true},
        {"code without a description", L"MAPISendMailW=7", IDOK,
         {kConfirmQuestion, L"SendMail: Errore sconosciuto del sistema di posta (codice MAPI 7) - 32007"}, kWholeSend,
         true},
        {"code past the Simple MAPI range", L"MAPISendMailW=99", IDOK,
         {kConfirmQuestion, L"SendMail: Errore generico del sistema di posta (codice MAPI 99) - 32002"}, kWholeSend,
         true},
        {"logoff failing", L"MAPILogoff=2", IDOK,
         {kConfirmQuestion, L"SendMail: Errore generico del sistema di posta - 32002"}, kWholeSend},
        {"logoff failing after cancel", L"MAPILogoff=19", IDCANCEL,
         {kConfirmQuestion, L"SendMail: Sessione di posta non valida - 32019"},
         {"MAPILogon", "MAPIResolveName", "MAPILogoff"}},
        {"none: the program still sends", L"", IDOK, {kConfirmQuestion}, kWholeSend},
    };
    Recording record(L"e2e_fault_steps");
    ProviderSettings settings;
    ASSERT_NO_FATAL_FAILURE(Start());

    for (const StepFailure& c : cases) {
        SCOPED_TRACE(c.name);
        settings.Set(L"Fail", c.fail);
        const size_t before = record.Calls().size();
        const size_t draftsBefore = drafts->Files().size();

        const auto boxes = PressSend(c.answer, c.prompts.size());

        EXPECT_EQ(PromptsOf(boxes), c.prompts);
        ExpectTitles(boxes);
        WaitUntil([&] { return record.Calls().size() >= before + c.calls.size(); }, 3s);
        const auto all = record.Calls();
        const std::vector<RecordedCall> press(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        EXPECT_EQ(FunctionsOf(press), c.calls);
        ExpectSessionsClosed(press);
        ExpectOperatorTextKept();
        WaitUntil([&] { return drafts->Files().size() > draftsBefore; }, c.draft ? 5s : 500ms);
        EXPECT_EQ(drafts->Files().size(), draftsBefore + (c.draft ? 1 : 0));
    }
}

TEST_F(MailFaultE2e, SendHeldBySlowMailClientIsNotRepeatedAndWindowRepaintsAfterwards) {
    constexpr auto kHold = 4000ms;
    Recording record(L"e2e_fault_block");
    ProviderSettings settings;
    settings.Set(L"Block", L"MAPISendMailW=" + std::to_wstring(kHold.count()));
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND send = MainControl(main, L"cmdMapiManager");

    Click(send);
    HWND question = program->WaitForDialog();
    ASSERT_NE(question, nullptr);
    ASSERT_EQ(MessageBoxText(question), kConfirmQuestion);
    PressDialogButton(question, IDOK);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !record.Functions().empty() && record.Functions().back() == "Blocking"; }));

    // While the mail client holds the send, the operator presses again and
    // the window is uncovered.
    EXPECT_FALSE(Responds(main, 300));
    Click(send);
    Click(send);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(main, &pending, FALSE)) << "the window should wait for its repaint now";

    // The record holds "Blocking" already, so back() is safe.
    EXPECT_TRUE(WaitUntil([&] { return record.Functions().back() == "MAPILogoff"; }, kHold + 10s));
    const auto boxes = AnswerBoxes(IDCANCEL, 0, 2000ms);
    for (const ShownBox& box : boxes) ADD_FAILURE() << "box after the held send: " << mapitest::Utf8(box.prompt);
    EXPECT_GE(std::chrono::steady_clock::now() - started, kHold);
    EXPECT_EQ(record.Functions(), (Calls{"MAPILogon", "MAPIResolveName", "Blocking", "MAPISendMailW", "MAPILogoff"}));
    EXPECT_TRUE(Responds(main, 2000));
    EXPECT_TRUE(WaitUntil([&] { return !GetUpdateRect(main, &pending, FALSE) && !GetUpdateRect(send, &pending, FALSE); },
                          3s))
        << "the window was not repainted";
    SaveScreenshot(L"mail_fault_after_held_send");
    ExpectOperatorTextKept();
}

// The title bar's close while the mail client holds the sign-on: the send runs
// to its end, once, and the program then ends without another box.
TEST_F(MailFaultE2e, CloseDuringTheSendEndsTheProgramOnceTheSessionIsClosed) {
    Recording record(L"e2e_fault_close");
    ProviderSettings settings;
    settings.Set(L"Block", L"MAPILogon=3000");
    ASSERT_NO_FATAL_FAILURE(Start());

    Click(MainControl(main, L"cmdMapiManager"));
    ASSERT_TRUE(WaitUntil([&] { return !record.Functions().empty(); }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    const auto boxes = AnswerBoxes(IDOK, 1, 1000ms);

    EXPECT_EQ(PromptsOf(boxes), Prompts{kConfirmQuestion});
    EXPECT_TRUE(program->WaitForExit(10s)) << "the close was lost";
    EXPECT_EQ(record.Functions(), (Calls{"Blocking", "MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"}));
    main = nullptr;
}

struct LibraryFault {
    const char* name;
    std::wstring loadOrder;  // Wine's load order of mapi32.dll for the started program
    std::wstring standIn;    // DLL put in the system folder as its mapi32.dll; empty: none
    Prompts prompts;
};

void PrintTo(const LibraryFault& c, std::ostream* out) { *out << c.name; }

class MailFaultLibrary : public MailFaultE2e, public ::testing::WithParamInterface<LibraryFault> {};

// mapi32.dll is taken away by Wine's load order ("disabled"); an entry point is
// taken away by a stand-in mapi32.dll built from the recording provider with
// fewer exports, loaded from the system folder ("native": that DLL, never
// Wine's builtin one).
TEST_P(MailFaultLibrary, ShowsTheMailErrorAndKeepsTheOperatorsText) {
    const LibraryFault& c = GetParam();
    Recording record(L"e2e_fault_library");
    const ProgramDllOverride loadOrder({L"mapi32"}, c.loadOrder);
    if (!c.standIn.empty()) {
        standIn = std::make_unique<SystemMapi32StandIn>(c.standIn);
        ASSERT_TRUE(standIn->Ready());
    }
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = PressSend(IDOK, c.prompts.size());

    EXPECT_EQ(PromptsOf(boxes), c.prompts);
    ExpectTitles(boxes);
    EXPECT_TRUE(record.Functions().empty());
    EXPECT_FALSE(drafts->WaitForOne().empty()) << "the message did not go on as a draft";
    ExpectOperatorTextKept();
}

INSTANTIATE_TEST_SUITE_P(
    Missing, MailFaultLibrary,
    ::testing::Values(
        LibraryFault{"Mapi32",
                     L"disabled",
                     L"",
                     {L"SendMail: Sistema di posta non disponibile: impossibile caricare mapi32.dll - 32050",
                      kConfirmQuestion}},
        LibraryFault{"MAPILogon",
                     L"native",
                     L"kdesk_mapi_without_logon.dll",
                     {L"SendMail: Funzione non presente in mapi32.dll: MAPILogon - 32051", kConfirmQuestion}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailFaultE2e, Mapi32WithoutSendMailWGetsTheMessageInAnsi) {
    const std::wstring foreign = data + L"\\Scontrino \u2116 1 \u4e2d.001";
    pos->WriteFile(foreign, "x");
    Recording record(L"e2e_fault_ansi");
    const ProgramDllOverride loadOrder({L"mapi32"}, L"native");
    standIn = std::make_unique<SystemMapi32StandIn>(L"kdesk_mapi_without_sendmailw.dll");
    ASSERT_TRUE(standIn->Ready());
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto listed = ListEntries(MainControl(main, L"List1"));

    const auto boxes = PressSend(IDOK, 1);

    EXPECT_EQ(PromptsOf(boxes), Prompts{kConfirmQuestion});
    WaitUntil([&] { return record.Calls().size() >= 5; });
    // The resolved recipient came from this mapi32 and goes back to its MAPIFreeBuffer.
    EXPECT_EQ(record.Functions(),
              (Calls{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPISendMail", "MAPILogoff"}));
    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2].Value("owned"), "1");
    const RecordedCall& sent = calls[3];
    EXPECT_EQ(sent.Value("flags"), "0x00000000");
    EXPECT_TRUE(std::regex_match(sent.Value("subject"), std::regex("VelAutoMail_99MEY012345_\\d{8}_\\d{6}")));
    EXPECT_EQ(mapitest::FromHex(sent.Value("subject.hex")), sent.Value("subject"));
    EXPECT_EQ(mapitest::FromHex(sent.Value("body.hex")),
              Ansi(ControlText(MainControl(main, L"txtMessage")) + kReportClosing));
    ASSERT_EQ(sent.LinesStartingWith("recip").size(), 1u);
    EXPECT_EQ(sent.LinesStartingWith("recip")[0].rfind("recip class=1 name=" KDESK_SUPPORT_MAILBOX_TEXT " ", 0), 0u);

    // A path outside the ANSI code page goes by its short name and still names the file.
    const auto files = sent.LinesStartingWith("file");
    ASSERT_EQ(files.size(), listed.size());
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(mapitest::Utf8(listed[i]));
        EXPECT_EQ(files[i].rfind("file position=0 path=", 0), 0u);
        EXPECT_TRUE(files[i].ends_with(" name=<null> exists=1"));
        EXPECT_EQ(files[i].find('?'), std::string::npos);
        if (listed[i] != foreign) {
            EXPECT_NE(files[i].find(" path=" + Recorded(listed[i]) + " "), std::string::npos);
        }
    }
    ExpectOperatorTextKept();
}

}  // namespace
}  // namespace kdesk::e2e
