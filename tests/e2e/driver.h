#pragma once
// The e2e driver: starts KdeskSupport.exe in the test's Wine prefix, finds its
// windows and controls, reads and presses them through window messages, answers
// message boxes and saves screenshots. Every wait has a timeout.
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk::e2e {

using namespace std::chrono_literals;

inline constexpr wchar_t kMainWindowClass[] = L"KdeskSupportMain";
// The window that shows an upload's progress.
inline constexpr wchar_t kUploadWindowClass[] = L"KdeskSupportUpload";
inline constexpr auto kDefaultWait = 15s;

std::wstring BinFolder();    // folder of the test program (and of KdeskSupport.exe)
std::wstring ProgramPath();  // BinFolder() + "\KdeskSupport.exe"

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
RECT ClientRectInParent(HWND control);

// A started KdeskSupport.exe; ended by force when the test did not end it.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& exe = ProgramPath(), const std::wstring& arguments = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    // The visible main window; nullptr on timeout.
    HWND WaitForMainWindow(std::chrono::milliseconds timeout = kDefaultWait);
    // A visible top-level dialog of the process (message box, About box, open-file
    // dialog; not the upload's progress window); nullptr on timeout.
    HWND WaitForDialog(std::chrono::milliseconds timeout = kDefaultWait);
    // The visible top-level window of the process of this class; nullptr on timeout.
    HWND WaitForWindowOfClass(const wchar_t* windowClass, std::chrono::milliseconds timeout = kDefaultWait);
    // All visible top-level windows of the process.
    std::vector<HWND> TopWindows() const;
    bool WaitForExit(std::chrono::milliseconds timeout = kDefaultWait);
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION info_{};
};

// The program started and waited for until its main window shows; message boxes
// shown before it are answered with OK and their prompts kept. Closed when it goes.
class ShownProgram {
public:
    ShownProgram();
    ~ShownProgram();
    ShownProgram(const ShownProgram&) = delete;
    ShownProgram& operator=(const ShownProgram&) = delete;

    // Text of a main-window control by its layout row name.
    std::wstring Text(std::wstring_view name) const;
    // Closes the main window; false when the program did not end.
    bool Close();

    RunningProgram program;
    HWND main = nullptr;                  // nullptr when the window did not show in time
    std::vector<std::wstring> messages;  // prompts of the boxes before the window
    std::chrono::milliseconds startTime{};

private:
    bool closed_ = false;
};

// Message boxes: the prompt text and pressing one of its buttons (IDOK, IDCANCEL).
std::wstring MessageBoxText(HWND box);
void PressDialogButton(HWND dialog, int buttonId);

// Sends BM_CLICK to a button and returns without waiting for the handler.
void Click(HWND button);

// Saves the whole screen as a BMP file in BinFolder()\..\screenshots\NAME.bmp.
void SaveScreenshot(const std::wstring& name);
// When the running test has failed: a screenshot named failed_<suite>_<test>.
void SaveScreenshotOfFailedTest();

// The control that has the keyboard focus in the thread of `window`; nullptr when none.
HWND FocusedControl(HWND window);
// Posts a key press (down, and up) to `target`, as the keyboard would deliver it.
void PressKey(HWND target, UINT virtualKey);
// The text of a control of the program, through WM_GETTEXT (GetWindowText
// reads only captions across processes).
std::wstring ControlText(HWND control);
// Describes a window of the program from inside it, through the hook DLL on its
// UI thread: the lines "font\t<id>\t<face>\t<height>\t<weight>",
// "menu\t<depth>\t<caption>\t<id>", "tooltip\t<id>\t<text>",
// "extent\t<id>\t<text width>\t<text height>\t<client width>\t<client height>",
// "comctl\t<file of the loaded comctl32>" and
// "icons\t<big>\t<small>"; empty text when the hook cannot be set or no answer
// comes within 10 s. With `newDpi`, the hook first sends the window
// WM_DPICHANGED for that DPI with its frame scaled as the suggested rectangle,
// and the text starts with "suggested\t<left>\t<top>\t<right>\t<bottom>".
std::wstring RequestDescription(HWND window, int newDpi = 0);
// The fields after the tag of each line of a description that has that tag.
std::vector<std::vector<std::wstring>> DescriptionLines(const std::wstring& text, std::wstring_view tag);
// Lets Wine draw the window frames itself (Xvfb has no window manager), so that
// screenshots show title bars. Applies to programs started afterwards.
void DrawFramesInWine();
// Creates the common application-data folder's VELKDESK folder, so that the
// start-up on a Vista-class prefix finds its data folder and shows the window.
void EnsureDefaultDataFolder();
// Starts the program on the prefix's installation with frames drawn and waits
// until a control of its main window has the focus (shown, active, painted):
// that window, or nullptr on timeout.
HWND StartUntilActive(std::unique_ptr<RunningProgram>& program);

// A control of the main window by its layout row name; nullptr when none.
HWND MainControl(HWND main, std::wstring_view name);
// The entries of a list box of the program, in order.
std::vector<std::wstring> ListEntries(HWND list);
// A visible top-level window of another process than `exceptProcess` whose
// title contains `title`; nullptr on timeout.
HWND WaitForWindowTitled(std::wstring_view title, DWORD exceptProcess, std::chrono::milliseconds timeout = kDefaultWait);
// Waits until a window is closed or hidden; false on timeout.
bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout = kDefaultWait);

// Polls `condition` every 50 ms until it holds; its last answer on timeout.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

}  // namespace kdesk::e2e
