#include "app/program.h"

#include <string>

#include "modules/modRegistry.h"
#include "platform/win32/mail/upload/pending_queue.h"

namespace kdesk {

void Program::Create() {
    frmMain_.Create();
    runtime_.SetMainWindow(frmMain_.Handle());
    shell_.SetOwner(frmMain_.Handle());
    mail_.SetOwner(frmMain_.Handle());
    mail_.SetInstallationFacts({[this] { return ReadUploadUrl(platform_); },
                                [this] { return frmMain_.Form().controls().txtMatr.Text(); }});
}

bool Program::Load() {
    try {
        frmMain_.Form().Form_Load();
    } catch (const RuntimeError& error) {
        static_cast<Runtime&>(runtime_).MsgBox(L"Form_Load: " + error.Description() + L" - " + std::to_wstring(error.Number()),
                                               MsgButtons::Ok);
    } catch (...) {
    }
    return frmMain_.IsAlive();
}

void Program::Show(int show) {
    frmMain_.Show(show);
    pendingWorker_.Start();
}

int Program::SendWaitingMessagesOnly() {
    mail_.SetInstallationFacts({[this] { return ReadUploadUrl(platform_); }, [] { return std::wstring(); }});
    switch (SendWaitingMessages(mail_.UploadFolder(), Pacing::AllAtOnce)) {
        case WaitingOutcome::NothingWaits:
            return 0;
        case WaitingOutcome::StillWaiting:
            return 1;
        case WaitingOutcome::AnotherCopySends:
            break;
    }
    return 2;
}

int Program::RunMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frmMain_.TranslateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace kdesk
