// Entry point: the DLL search and error mode first, then the program.
#include <windows.h>

#include <exception>

#include "app/program.h"
#include "platform/portable/command_line.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
    // The current folder out of the DLL search, for every DLL loaded from now
    // on. The search is not restricted further: the mail client's DLL, which
    // Simple MAPI loads here by its path, may need DLLs from its own folder.
    SetDllDirectoryW(L"");
    // A configured folder on a drive without media fails with "not ready"
    // instead of stopping the start-up at Windows' own "insert a disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    kdesk::Program program(instance);
    if (arguments && kdesk::AsksToSendWaitingOnly(arguments)) return program.SendWaitingMessagesOnly();
    try {
        program.Create();
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Impossibile creare la finestra principale", L"VelKdesk Support", MB_OK);
        return 1;
    }
    if (!program.Load()) return 0;
    program.Show(show);
    return program.RunMessageLoop();
}
