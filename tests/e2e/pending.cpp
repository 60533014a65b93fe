#include "tests/e2e/pending.h"

#include <shlobj.h>

#include <regex>

#include "tests/e2e/driver.h"
#include "tests/e2e/upload_servers.h"

namespace kdesk::e2e {

namespace {

std::wstring ProgramFolder() {
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
    return std::wstring(local) + L"\\KdeskSupport";
}

}  // namespace

std::wstring PendingFolder() { return ProgramFolder() + L"\\Pending"; }
std::wstring OutboxFolder() { return ProgramFolder() + L"\\Outbox"; }

std::vector<std::wstring> WaitingMessages() {
    std::vector<std::wstring> messages;
    for (const std::wstring& name : FilesIn(PendingFolder()))
        if (name.ends_with(L".eml")) messages.push_back(name);
    return messages;
}

std::string PendingLog() { return ReadAll(PendingFolder() + L"\\invii.log"); }

void ClearPending() {
    for (const std::wstring& name : FilesIn(PendingFolder())) DeleteFileW((PendingFolder() + L"\\" + name).c_str());
}

void PutLastTriesBack() {
    for (const std::wstring& name : WaitingMessages()) {
        const std::wstring state = PendingFolder() + L"\\" + name + L".state";
        const std::string text = std::regex_replace(ReadAll(state), std::regex("next-try=[0-9]+"), "next-try=0");
        const HANDLE file = CreateFileW(state.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
}

DWORD RunSendWaiting(std::chrono::milliseconds timeout) {
    RunningProgram run(ProgramPath(), L"/invia-sospesi");
    return run.WaitForExit(timeout) ? run.ExitCode() : 99;
}

}  // namespace kdesk::e2e
