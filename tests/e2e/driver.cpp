#include "tests/e2e/driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "forms/main/main_layout.h"
#include "tests/e2e/describe_hook.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace kdesk::e2e {

namespace {

template <typename Found>
auto PollUntil(std::chrono::milliseconds timeout, Found found) -> decltype(found()) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto result = found()) return result;
        if (std::chrono::steady_clock::now() > end) return {};
        std::this_thread::sleep_for(50ms);
    }
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

struct TitleSearch {
    std::wstring_view title;
    DWORD exceptProcess;
    HWND found = nullptr;
};

BOOL CALLBACK FindTitledWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TitleSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->exceptProcess || !IsWindowVisible(hwnd)) return TRUE;
    if (WindowText(hwnd).find(search->title) == std::wstring::npos) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

HWND WaitForWindowTitled(std::wstring_view title, DWORD exceptProcess, std::chrono::milliseconds timeout) {
    return PollUntil(timeout, [&] {
        TitleSearch search{title, exceptProcess};
        EnumWindows(FindTitledWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
}

std::wstring BinFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring ProgramPath() { return BinFolder() + L"\\KdeskSupport.exe"; }

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

RECT ClientRectInParent(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RunningProgram::RunningProgram(const std::wstring& exe, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_))
        throw std::runtime_error("cannot start the program");
}

RunningProgram::~RunningProgram() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::vector<HWND> RunningProgram::TopWindows() const {
    WindowSearch search{info_.dwProcessId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::WaitForMainWindow(std::chrono::milliseconds timeout) {
    return PollUntil(timeout, [&]() -> HWND {
        for (HWND hwnd : TopWindows())
            if (ClassName(hwnd) == kMainWindowClass) return hwnd;
        return nullptr;
    });
}

HWND RunningProgram::WaitForDialog(std::chrono::milliseconds timeout) {
    return PollUntil(timeout, [&]() -> HWND {
        for (HWND hwnd : TopWindows())
            if (ClassName(hwnd) != kMainWindowClass && ClassName(hwnd) != kUploadWindowClass) return hwnd;
        return nullptr;
    });
}

HWND RunningProgram::WaitForWindowOfClass(const wchar_t* windowClass, std::chrono::milliseconds timeout) {
    return PollUntil(timeout, [&]() -> HWND {
        for (HWND hwnd : TopWindows())
            if (ClassName(hwnd) == windowClass) return hwnd;
        return nullptr;
    });
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds timeout) {
    return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::wstring MessageBoxText(HWND box) {
    constexpr int kMessageBoxPromptId = 0xFFFF;
    return WindowText(GetDlgItem(box, kMessageBoxPromptId));
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void SaveScreenshot(const std::wstring& name) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;

    const std::wstring folder = BinFolder() + L"\\..\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE out = CreateFileW((folder + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof file, &written, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(out, bits, imageBytes, &written, nullptr);
        CloseHandle(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void PressKey(HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, down | static_cast<LPARAM>(static_cast<LONG>(0xC0000000u)));
}

void EnsureDefaultDataFolder() {
    wchar_t common[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, common)))
        CreateDirectoryW((std::wstring(common) + L"\\VELKDESK").c_str(), nullptr);
}

std::wstring ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text.resize(std::min<size_t>(static_cast<size_t>(copied), text.size()));
    return text;
}

namespace {

LRESULT CALLBACK DescriptionReceiver(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        auto* text = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (text && data->lpData) text->assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
        while (text && !text->empty() && text->back() == L'\0') text->pop_back();
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

// The hook DLL is loaded here only to name its procedure to SetWindowsHookExW,
// which loads it into the program's process; every path unhooks, frees the DLL
// and destroys the reply window.
std::wstring RequestDescription(HWND window, int newDpi) {
    static const wchar_t kReceiverClass[] = L"KdeskE2eDescriptionReceiver";
    WNDCLASSW wc{};
    wc.lpfnWndProc = DescriptionReceiver;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kReceiverClass;
    RegisterClassW(&wc);
    std::wstring text;
    const std::unique_ptr<HWND__, decltype(&DestroyWindow)> receiver(
        CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr),
        DestroyWindow);
    const std::unique_ptr<HINSTANCE__, decltype(&FreeLibrary)> dll(
        LoadLibraryW((BinFolder() + L"\\" + kDescribeHookDll).c_str()), FreeLibrary);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!receiver || !dll || !thread) return {};
    const FARPROC exported = GetProcAddress(dll.get(), kDescribeHookProc);
    const auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(exported));
    const std::unique_ptr<HHOOK__, decltype(&UnhookWindowsHookEx)> hook(
        procedure ? SetWindowsHookExW(WH_CALLWNDPROC, procedure, dll.get(), thread) : nullptr, UnhookWindowsHookEx);
    if (!hook) return {};
    SetWindowLongPtrW(receiver.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&text));
    SendMessageTimeoutW(window, DescribeRequestMessage(), static_cast<WPARAM>(newDpi),
                        reinterpret_cast<LPARAM>(receiver.get()), SMTO_ABORTIFHUNG,
                        10000, nullptr);
    return text;
}

std::vector<std::vector<std::wstring>> DescriptionLines(const std::wstring& text, std::wstring_view tag) {
    std::vector<std::vector<std::wstring>> lines;
    std::wistringstream input(text);
    for (std::wstring line; std::getline(input, line);) {
        std::vector<std::wstring> fields;
        std::wistringstream split(line);
        for (std::wstring field; std::getline(split, field, L'\t');) fields.push_back(field);
        if (!fields.empty() && fields.front() == tag) lines.emplace_back(fields.begin() + 1, fields.end());
    }
    return lines;
}

HWND StartUntilActive(std::unique_ptr<RunningProgram>& program) {
    EnsureDefaultDataFolder();
    DrawFramesInWine();
    program = std::make_unique<RunningProgram>();
    HWND main = program->WaitForMainWindow();
    for (int i = 0; main && i < 100 && !FocusedControl(main); ++i) Sleep(50);
    return main;
}

void DrawFramesInWine() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t kNo[] = L"N";
    RegSetValueExW(key, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNo), sizeof kNo);
    RegCloseKey(key);
}

HWND MainControl(HWND main, std::wstring_view name) {
    const ControlRow* row = FindControl(MainLayout(), name);
    return row ? GetDlgItem(main, row->id) : nullptr;
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    // The list may change while it is read: an entry that has gone ends the reading.
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) break;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0 || copied > length) break;
        text.resize(static_cast<size_t>(copied));
        entries.push_back(text);
    }
    return entries;
}

bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

}  // namespace kdesk::e2e

namespace kdesk::e2e {

ShownProgram::ShownProgram() {
    const auto started = std::chrono::steady_clock::now();
    const auto end = started + kDefaultWait;
    std::vector<HWND> answered;
    while (!main && std::chrono::steady_clock::now() < end) {
        for (HWND hwnd : program.TopWindows()) {
            if (ClassName(hwnd) == kMainWindowClass) {
                main = hwnd;
                break;
            }
            if (std::find(answered.begin(), answered.end(), hwnd) != answered.end()) continue;
            messages.push_back(MessageBoxText(hwnd));
            answered.push_back(hwnd);
            PressDialogButton(hwnd, IDOK);
        }
        if (!main) std::this_thread::sleep_for(50ms);
    }
    startTime = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
}

ShownProgram::~ShownProgram() { Close(); }

std::wstring ShownProgram::Text(std::wstring_view name) const {
    HWND control = main ? MainControl(main, name) : nullptr;
    return control ? ControlText(control) : L"<no such control>";
}

bool ShownProgram::Close() {
    if (!closed_ && main) PostMessageW(main, WM_CLOSE, 0, 0);
    closed_ = true;
    return program.WaitForExit();
}

void SaveScreenshotOfFailedTest() {
    if (!::testing::Test::HasFailure()) return;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("failed_") + test->test_suite_name() + "_" + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    SaveScreenshot(std::wstring(name.begin(), name.end()));
}

}  // namespace kdesk::e2e
