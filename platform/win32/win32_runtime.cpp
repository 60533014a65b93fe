#include "platform/win32/win32_runtime.h"

#include "build_facts.h"

namespace kdesk {

namespace {

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size() || path.size() >= 32768) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring{} : path.substr(0, cut);
}

}  // namespace

MsgResult Win32Runtime::MsgBox(const std::wstring& prompt, MsgButtons buttons,
                               const std::optional<std::wstring>& title) {
    UINT style = buttons == MsgButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const HWND owner = mainWindow_ && IsWindow(mainWindow_) ? mainWindow_ : nullptr;
    if (!owner) style |= MB_TASKMODAL;
    const std::wstring caption = title.value_or(L"" KDESK_TITLE_TEXT);
    // IDCANCEL also stands for the close box; 0 (the box could not be shown) is no OK either.
    return MessageBoxW(owner, prompt.c_str(), caption.c_str(), style) == IDOK ? MsgResult::Ok : MsgResult::Cancel;
}

ProgramFacts Win32Runtime::Facts() {
    return {FolderOf(ExecutablePath()), L"" KDESK_TITLE_TEXT,   KDESK_VERSION_MAJOR,
            KDESK_VERSION_MINOR,        KDESK_VERSION_REVISION, L"" KDESK_DESCRIPTION_TEXT};
}

void Win32Runtime::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        const HWND active = GetActiveWindow();
        if (active && IsDialogMessageW(active, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Runtime::EndProgram() { ExitProcess(0); }

LocalDateTime Win32Runtime::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace kdesk
