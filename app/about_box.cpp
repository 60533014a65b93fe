#include "app/about_box.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/win32_controls.h"
#include "app/win32_handles.h"
#include "app/window_builder.h"
#include "app/window_dpi.h"
#include "forms/about/about_layout.h"
#include "forms/about/frmAbout.h"
#include "resources/resource_ids.h"

namespace kdesk {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Unloading gives the input back to the owner before the box goes, so that the
// owner, not another program, becomes active.
class AboutWindow : public Window {
public:
    AboutWindow(HWND window, HWND owner) : window_(window), owner_(owner) {}
    void Repaint() override { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    void Unload() override {
        EnableWindow(owner_, TRUE);
        if (IsWindow(window_)) DestroyWindow(window_);
    }

private:
    HWND window_;
    HWND owner_;
};

void RegisterAboutClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kAboutWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("cannot register the About box class");
}

// The frame for the given client size, centred over the owner and kept on its monitor.
RECT CentredFrame(HWND owner, Dpi dpi) {
    RECT frame{0, 0, TwipsToPixels(kAboutClientWidthTwips, dpi.x), TwipsToPixels(kAboutClientHeightTwips, dpi.y)};
    FrameForDpi(frame, kStyle, false, kExStyle, dpi.y);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    int left = (ownerRect.left + ownerRect.right - width) / 2;
    int top = (ownerRect.top + ownerRect.bottom - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    return {left, top, left + width, top + height};
}

// The picture's icon: 32 pixels at 96 dots per inch.
int IconSize(Dpi dpi) { return MulDiv(32, dpi.y, 96); }

UniqueIcon ProgramIcon(HINSTANCE instance, Dpi dpi) {
    const int size = IconSize(dpi);
    return UniqueIcon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KDESK), IMAGE_ICON, size, size, 0)));
}

}  // namespace

struct AboutBox::Loaded {
    Loaded(UniqueWindow box, HWND owner, Runtime& runtime, Dpi screenDpi, HINSTANCE instance)
        : window(std::move(box)),
          dpi(screenDpi),
          controls(window.get(), AboutLayout(), dpi),
          icon(ProgramIcon(instance, dpi)),
          lblVersion(controls.Find(L"lblVersion")),
          lblTitle(controls.Find(L"lblTitle")),
          lblDescription(controls.Find(L"lblDescription")),
          unloader(window.get(), owner),
          formControls{lblVersion, lblTitle, lblDescription, unloader},
          form(runtime, formControls) {}

    UniqueWindow window;  // released when the window is destroyed
    Dpi dpi;
    ControlSet controls;
    UniqueIcon icon;
    Win32TextBox lblVersion, lblTitle, lblDescription;
    AboutWindow unloader;
    FrmAboutControls formControls;
    FrmAbout form;
};

AboutBox::AboutBox(HINSTANCE instance, Runtime& runtime) : instance_(instance), runtime_(runtime) {}

AboutBox::~AboutBox() = default;

void AboutBox::ShowModal(HWND owner) {
    if (loaded_) return;  // modal: never open twice
    RegisterAboutClass(instance_, Proc);
    const Dpi dpi = WindowDpi(owner);  // the box opens on its owner's monitor
    const RECT frame = CentredFrame(owner, dpi);
    const std::wstring title(kAboutTitle);
    UniqueWindow window(CreateWindowExW(kExStyle, kAboutWindowClass, title.c_str(), kStyle, frame.left, frame.top,
                                        frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                                        instance_, this));
    if (!window) throw std::runtime_error("cannot create the About box");

    struct Cleanup {  // NOLINT(cppcoreguidelines-special-member-functions): a scope guard, never copied
        std::unique_ptr<Loaded>& loaded;
        HWND owner;
        ~Cleanup() {
            EnableWindow(owner, TRUE);
            loaded.reset();
        }
    } cleanup{loaded_, owner};
    const HWND box = window.get();
    loaded_ = std::make_unique<Loaded>(std::move(window), owner, runtime_, dpi, instance_);
    loaded_->form.Form_Load();

    EnableWindow(owner, FALSE);
    ShowWindow(box, SW_SHOW);
    SetFocus(loaded_->controls.Find(L"cmdOK"));
    RunModalLoop(owner);
}

void AboutBox::RunModalLoop(HWND) {
    MSG msg;
    while (loaded_ && loaded_->window) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the main loop
            return;
        }
        if (got < 0) return;
        if (!IsDialogMessageW(loaded_->window.get(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

LRESULT CALLBACK AboutBox::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (self && self->loaded_) return self->Handle(window, message, wp, lp);
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

LRESULT AboutBox::Handle(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    Loaded& box = *loaded_;
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) box.form.cmdOK_Click();
            return 0;
        case WM_CLOSE:
            box.form.cmdOK_Click();
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            UniqueBrush grey(CreateSolidBrush(ToColorRef(kAboutPictureBack)));
            if (grey) FillRect(item.hDC, &item.rcItem, grey.get());
            const int size = IconSize(box.dpi);
            const int x = (item.rcItem.left + item.rcItem.right - size) / 2;
            const int y = (item.rcItem.top + item.rcItem.bottom - size) / 2;
            if (box.icon) DrawIconEx(item.hDC, x, y, box.icon.get(), size, size, 0, nullptr, DI_NORMAL);
            return TRUE;
        }
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lp);
            box.dpi = {LOWORD(wp), HIWORD(wp)};
            box.icon = ProgramIcon(instance_, box.dpi);
            box.controls.Relayout(box.dpi);
            SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (box.controls.ColourStatic(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), brush)) return brush;
            break;
        }
        case WM_NCDESTROY:
            box.window.release();
            break;
    }
    return DefWindowProcW(window, message, wp, lp);
}

void AboutBox::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const Dpi dpi = loaded_->dpi;
    for (const LineRow& line : AboutSeparator()) {
        const int y = TwipsToPixels(line.y, dpi.y);
        const RECT r{TwipsToPixels(line.x1, dpi.x), y, TwipsToPixels(line.x2, dpi.x), y + line.pixels};
        UniqueBrush brush(CreateSolidBrush(ToColorRef(line.colour)));
        if (brush) FillRect(dc, &r, brush.get());
    }
    EndPaint(window, &paint);
}

}  // namespace kdesk
