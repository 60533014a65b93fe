// Entry point: builds the Win32 services, creates frmMain hidden, runs its
// load event, shows it and runs the message loop until it is unloaded.
#include <windows.h>

#include <exception>
#include <string>

#include "app/main_window.h"
#include "platform/win32/support_mail.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_version_info.h"

namespace {

// A failure that the start-up sequence leaves unhandled is reported, and the
// window is shown with what was filled so far.
void RunFormLoad(kdesk::MainWindow& frmMain, kdesk::Runtime& runtime) {
    try {
        frmMain.Form().Form_Load();
    } catch (const kdesk::RuntimeError& error) {
        runtime.MsgBox(L"Form_Load: " + error.Description() + L" - " + std::to_wstring(error.Number()),
                       kdesk::MsgButtons::Ok);
    } catch (...) {
    }
}

int RunMessageLoop(kdesk::MainWindow& frmMain) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frmMain.TranslateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // The current folder out of the DLL search, for every DLL loaded from now
    // on. The search is not restricted further: the mail client's DLL, which
    // Simple MAPI loads here by its path, may need DLLs from its own folder.
    SetDllDirectoryW(L"");
    // A configured folder on a drive without media fails with "not ready"
    // instead of stopping the start-up at Windows' own "insert a disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    kdesk::Win32Runtime runtime;
    kdesk::Win32Registry registry;
    kdesk::Win32Shell shell;
    kdesk::Win32VersionInfo versionInfo;
    kdesk::SupportMail mail(runtime);
    kdesk::Platform platform{runtime, registry, shell, versionInfo};
    kdesk::ModVariables vars;

    kdesk::MainWindow frmMain(instance, platform, vars, mail, mail);
    try {
        frmMain.Create();
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Impossibile creare la finestra principale", L"VelKdesk Support", MB_OK);
        return 1;
    }
    runtime.SetMainWindow(frmMain.Handle());
    shell.SetOwner(frmMain.Handle());
    mail.SetOwner(frmMain.Handle());
    RunFormLoad(frmMain, runtime);
    if (!frmMain.IsAlive()) return 0;
    frmMain.Show(show);
    return RunMessageLoop(frmMain);
}
