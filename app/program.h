#pragma once
// The program as WinMain runs it: the Win32 services and the main window wired
// together, then the window created hidden, its load event run, shown, and the
// message loop until it is unloaded.
#include <windows.h>

#include "app/main_window.h"
#include "modules/ModVariables.h"
#include "platform/platform.h"
#include "platform/win32/mail/support_mail.h"
#include "platform/win32/mail/upload/pending_worker.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_version_info.h"

namespace kdesk {

class Program {
public:
    explicit Program(HINSTANCE instance) : frmMain_(instance, platform_, vars_, mail_, mail_) {}
    ~Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    Program(Program&&) = delete;
    Program& operator=(Program&&) = delete;

    // Creates the main window, hidden, and hands it to the services that own
    // boxes and dialogs; throws std::exception when it cannot be created.
    void Create();
    // The start-up sequence; a failure it leaves unhandled is reported, and the
    // window is shown with what was filled so far. False when it ended the program.
    bool Load();
    // Shows the window, then starts trying the waiting messages behind it.
    void Show(int show);
    int RunMessageLoop();
    // The run for the waiting messages alone (/invia-sospesi): no window, no
    // box; 0 when nothing waits any more, 1 when something does, 2 when another
    // copy was already sending.
    int SendWaitingMessagesOnly();

private:
    Win32Runtime runtime_;
    Win32Registry registry_;
    Win32Shell shell_;
    Win32VersionInfo versionInfo_;
    SupportMail mail_{runtime_};
    Platform platform_{runtime_, registry_, shell_, versionInfo_};
    ModVariables vars_;
    MainWindow frmMain_;
    PendingWorker pendingWorker_{[this] { return mail_.UploadFolder(); }};
};

}  // namespace kdesk
