#include "tests/e2e/mail_session.h"

#include <cstdio>

#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    return text;
}

void MailSessionE2e::SetUpTestSuite() {
    ASSERT_TRUE(mapitest::RegisterRecordingProvider());
    ASSERT_TRUE(RegisterEmlCatcher());
}

void MailSessionE2e::SetUp() {
    EnsureDefaultDataFolder();
    pos->WriteFile(app + L"\\KDCHKCOM.TXT", "1000\r\n");
    pos->WriteFile(app + L"\\LOGFILE.TXT", "log\r\n");
    pos->WriteFile(data + L"\\SR_MATR.001", "99MEY012345\r\n");
    pos->SetString(L"AppPath", app);
    pos->SetString(L"VELKdesk", data);
    pos->SetString(L"DriverType", L"Ditron");
}

void MailSessionE2e::TearDown() {
    SaveScreenshotOfFailedTest();
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (program) {
        EXPECT_TRUE(program->WaitForExit());
    }
    program.reset();
}

void MailSessionE2e::Start(const std::wstring& customer, const std::wstring& message, const std::wstring& exe) {
    program = std::make_unique<RunningProgram>(exe);
    main = program->WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "main window did not appear";
    SendMessageW(MainControl(main, L"txtDatiCliente"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(customer.c_str()));
    SendMessageW(MainControl(main, L"txtMessage"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(message.c_str()));
}

std::vector<ShownBox> MailSessionE2e::PressSend(int answer, size_t expected, std::chrono::milliseconds quiet) {
    Click(MainControl(main, L"cmdMapiManager"));
    return AnswerBoxes(answer, expected, quiet);
}

std::vector<ShownBox> MailSessionE2e::AnswerBoxes(int answer, size_t expected, std::chrono::milliseconds quiet) {
    std::vector<ShownBox> boxes;
    while (HWND box = program->WaitForDialog(boxes.size() < expected ? kDefaultWait : quiet)) {
        boxes.push_back({MessageBoxText(box), WindowText(box)});
        PressDialogButton(box, boxes.back().prompt == kConfirmQuestion ? answer : IDOK);
        WaitUntilGone(box);
    }
    return boxes;
}

}  // namespace kdesk::e2e
