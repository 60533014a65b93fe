#include "platform/win32/mail/upload/upload_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "build_facts.h"
#include "platform/portable/upload_progress.h"

namespace kdesk {
namespace {

constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kFinishedMessage = WM_APP + 2;
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTimerMs = 250;
// After "Annulla" the worker is given this long to end before the window goes;
// where Windows cannot stop a blocking call it ends later on its own.
constexpr ULONGLONG kCancelGraceMs = 1'000;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kStatusId = 101, kBarId = 102, kSizeId = 103;

// The layout at 96 dots per inch.
constexpr SIZE kClient{340, 118};
constexpr RECT kStatusRect{12, 12, 328, 28};
constexpr RECT kBarRect{12, 34, 328, 52};
constexpr RECT kSizeRect{12, 60, 328, 76};
constexpr RECT kButtonRect{252, 82, 328, 106};

// The program's other windows write in MS Sans Serif, 8.25 points.
constexpr wchar_t kFontFace[] = L"MS Sans Serif";
constexpr int kFontCentiPoints = 825;

int ScreenDpiY() {
    int dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

// The DPI of the window's monitor where Windows tells it (looked up at run
// time: Windows 7 and 8 lack it), else the system's.
int WindowDpiY(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const int dpi = getDpi && window ? static_cast<int>(getDpi(window)) : 0;
    return dpi > 0 ? dpi : ScreenDpiY();
}

struct ControlPlace {
    int id;
    RECT rect;
};
constexpr ControlPlace kPlaces[] = {
    {kStatusId, kStatusRect}, {kBarId, kBarRect}, {kSizeId, kSizeRect}, {IDCANCEL, kButtonRect}};

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

RECT ScaledRect(const RECT& r, int dpi) {
    return {Scaled(r.left, dpi), Scaled(r.top, dpi), Scaled(r.right, dpi), Scaled(r.bottom, dpi)};
}

HFONT CreateProgramFont(int dpi) {
    LOGFONTW log{};
    log.lfHeight = -((kFontCentiPoints * dpi + 3600) / 7200);
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    std::wstring(kFontFace).copy(log.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&log);
}

// The frame for the client size, centred over the owner and kept on its monitor.
RECT CentredFrame(HWND owner, int dpi) {
    RECT frame{0, 0, Scaled(kClient.cx, dpi), Scaled(kClient.cy, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT around{};
    if (!owner || !GetWindowRect(owner, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    int left = (around.left + around.right - width) / 2;
    int top = (around.top + around.bottom - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    return {left, top, left + width, top + height};
}

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

void RegisterUploadClass(WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = ProgramInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kUploadWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw RuntimeError(static_cast<std::int32_t>(GetLastError()), L"Impossibile mostrare la finestra dell'invio");
}

}  // namespace

UploadWindow::UploadWindow(HWND owner, UploadTransfer& transfer)
    : owner_(owner), transfer_(transfer), dpi_(WindowDpiY(owner)), font_(CreateProgramFont(dpi_)) {
    RegisterUploadClass(Proc);
    const RECT frame = CentredFrame(owner, dpi_);
    const std::wstring title = L"" KDESK_TITLE_TEXT;
    window_.reset(CreateWindowExW(kExStyle, kUploadWindowClass, title.c_str(), kStyle, frame.left, frame.top,
                                  frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                                  ProgramInstance(), this));
    if (!window_)
        throw RuntimeError(static_cast<std::int32_t>(GetLastError()), L"Impossibile mostrare la finestra dell'invio");
    CreateControls();
    ShowProgress();
    transfer_.NotifyTo(window_.get(), kProgressMessage, kFinishedMessage);
    SetTimer(window_.get(), kTimer, kTimerMs, nullptr);
    if (owner_) EnableWindow(owner_, FALSE);
    ShowWindow(window_.get(), SW_SHOW);
    SetFocus(GetDlgItem(window_.get(), IDCANCEL));
}

UploadWindow::~UploadWindow() {
    transfer_.StopNotifying();
    if (owner_) EnableWindow(owner_, TRUE);
    if (window_) KillTimer(window_.get(), kTimer);
    window_.reset();
}

void UploadWindow::CreateControls() {
    commonControls_.emplace(L"comctl32.dll");
    const auto init = commonControls_->Function<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    const bool barClass = init && init(&classes);
    AddControl(L"Static", L"Invio al supporto in corso...", SS_LEFT | SS_NOPREFIX, kStatusRect, kStatusId);
    // Without the common controls the window still works, without its bar.
    if (barClass) bar_ = AddControl(PROGRESS_CLASSW, L"", PBS_SMOOTH, kBarRect, kBarId);
    if (bar_) SendMessageW(bar_, PBM_SETRANGE32, 0, 1000);
    size_ = AddControl(L"Static", L"", SS_LEFT | SS_NOPREFIX, kSizeRect, kSizeId);
    AddControl(L"Button", L"Annulla", WS_TABSTOP | BS_PUSHBUTTON, kButtonRect, IDCANCEL);
}

HWND UploadWindow::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, RECT r, int id) {
    const RECT pixels = ScaledRect(r, dpi_);
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, pixels.left, pixels.top,
                                   pixels.right - pixels.left, pixels.bottom - pixels.top, window_.get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
    if (control && font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

UploadWindow::Ending UploadWindow::Run() {
    MSG msg;
    while (!ending_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the main loop
            transfer_.Abort();
            return Ending::Cancelled;
        }
        if (!IsDialogMessageW(window_.get(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return *ending_;
}

LRESULT CALLBACK UploadWindow::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<UploadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) return self->Handle(window, message, wp, lp);
    return DefWindowProcW(window, message, wp, lp);
}

LRESULT UploadWindow::Handle(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) Cancel();
            return 0;
        case WM_CLOSE:
            Cancel();
            return 0;
        case kProgressMessage:
            transfer_.ProgressTaken();
            ShowProgress();
            return 0;
        case kFinishedMessage:
            if (cancelledAt_) ending_ = Ending::Cancelled;  // cancelling wins over a late outcome
            else if (!ending_) ending_ = Ending::Finished;
            return 0;
        case WM_TIMER:
            if (wp == kTimer) CheckStall();
            return 0;
        case WM_DPICHANGED:
            Relayout(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_NCDESTROY:
            // Destroyed with its owner: the upload ends as cancelled.
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            static_cast<void>(window_.release());
            if (!ending_) {
                transfer_.Abort();
                ending_ = Ending::Cancelled;
            }
            break;
    }
    return DefWindowProcW(window, message, wp, lp);
}

// Moved to a monitor of another scale: the controls and the font for the new
// DPI, within the frame Windows suggests.
void UploadWindow::Relayout(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    decltype(font_) font(CreateProgramFont(dpi_));
    for (const ControlPlace& place : kPlaces) {
        HWND control = GetDlgItem(window_.get(), place.id);
        if (!control) continue;
        const RECT r = ScaledRect(place.rect, dpi_);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    if (font) font_ = std::move(font);
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void UploadWindow::ShowProgress() {
    const std::uint64_t sent = transfer_.BytesSent();
    const std::uint64_t total = transfer_.Size();
    if (bar_) SendMessageW(bar_, PBM_SETPOS, ProgressPermille(sent, total), 0);
    if (size_) SetWindowTextW(size_, MegabytesSentText(sent, total).c_str());
}

void UploadWindow::Cancel() {
    if (cancelledAt_) return;
    cancelledAt_ = GetTickCount64();
    EnableWindow(GetDlgItem(window_.get(), IDCANCEL), FALSE);
    transfer_.Abort();
    if (transfer_.Finished()) ending_ = Ending::Cancelled;
}

void UploadWindow::CheckStall() {
    const ULONGLONG now = GetTickCount64();
    if (cancelledAt_) {
        if (transfer_.Finished() || now - cancelledAt_ >= kCancelGraceMs) ending_ = Ending::Cancelled;
        return;
    }
    if (transfer_.Finished()) {
        ending_ = Ending::Finished;
    } else if (now - transfer_.LastActivity() >= kUploadStallMs) {
        transfer_.Abort();
        ending_ = Ending::Stalled;
    }
}

}  // namespace kdesk
