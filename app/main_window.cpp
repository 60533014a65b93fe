#include "app/main_window.h"

#include <stdexcept>
#include <string>

#include "app/about_box.h"
#include "app/owner_drawn_button.h"
#include "app/win32_controls.h"
#include "app/win32_handles.h"
#include "app/window_builder.h"
#include "app/window_dpi.h"
#include "build_facts.h"
#include "forms/main/main_layout.h"
#include "resources/resource_ids.h"

namespace kdesk {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

struct ButtonRoute {
    std::wstring_view control;
    void (FrmMain::*handler)();
};

constexpr ButtonRoute kButtonRoutes[] = {
    {L"cmdMapiManager", &FrmMain::cmdMapiManager_Click},
    {L"cmdClearText", &FrmMain::cmdClearText_Click},
    {L"cmdLoadDati", &FrmMain::cmdLoadDati_Click},
    {L"cmdAddFile", &FrmMain::cmdAddFile_Click},
};

HICON ProgramIcon(HINSTANCE instance, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_KDESK), IMAGE_ICON, size, size, LR_SHARED));
}

// The program's icon at the size of the metric at `dpi`, owned by the caller.
UniqueIcon ProgramIconForDpi(HINSTANCE instance, int sizeMetric, int dpi) {
    const int size = MetricForDpi(sizeMetric, dpi);
    return UniqueIcon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KDESK), IMAGE_ICON, size, size, 0)));
}

// The frame around the client area at `dpi`.
SIZE FrameSize(int dpi) {
    RECT frame{0, 0, TwipsToPixels(kMainClientWidthTwips, dpi), TwipsToPixels(kMainClientHeightTwips, dpi)};
    FrameForDpi(frame, kStyle, true, 0, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = ProgramIcon(instance, SM_CXICON);
    wc.hIconSm = ProgramIcon(instance, SM_CXSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("cannot register the main window class");
}

UniqueMenu BuildMenuBar() {
    UniqueMenu bar(CreateMenu());
    if (!bar) throw std::runtime_error("cannot create the menu bar");
    HMENU popup = nullptr;
    for (const MenuRow& row : MainMenu()) {
        const std::wstring caption(row.caption);
        if (row.parent.empty()) {
            popup = CreatePopupMenu();
            if (!popup || !AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str())) {
                if (popup) DestroyMenu(popup);
                throw std::runtime_error("cannot create a menu");
            }
        } else if (popup) {
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(row.id), caption.c_str());
        }
    }
    return bar;
}

struct Services {
    Platform& platform;
    ModVariables& vars;
    MailSession& session;
    MailMessages& messages;
};

}  // namespace

struct MainWindow::Wiring {
    Wiring(HWND window, Dpi dpi, const Services& services)
        : controls(window, MainLayout(), dpi, MainCaptions()),
          txtSendTo(Find(L"txtSendTo")),
          txtSendcc(Find(L"txtSendcc")),
          txtSubject(Find(L"txtSubject")),
          txtMessage(Find(L"txtMessage")),
          txtDatiCliente(Find(L"txtDatiCliente")),
          txtDriverType(Find(L"txtDriverType")),
          txtComPort(Find(L"txtComPort")),
          txtMatr(Find(L"txtMatr")),
          txtVersion(Find(L"txtVersion")),
          txtDataCreazione(Find(L"txtDataCreazione")),
          txtKdeskPath(Find(L"txtKdeskPath")),
          txtAppDataVista(Find(L"txtAppDataVista")),
          List1(Find(L"List1")),
          CommonDialog1(window),
          unloader(window),
          formControls{{txtSendTo, txtSubject, txtMessage, txtDatiCliente, txtDriverType, txtComPort, txtMatr,
                        txtVersion, txtDataCreazione, txtKdeskPath, txtAppDataVista, List1, services.session,
                        services.messages, unloader},
                       txtSendcc,
                       CommonDialog1},
          form(services.platform, services.vars, formControls) {}

    HWND Find(std::wstring_view name) const { return controls.Find(name); }

    ControlSet controls;
    Win32TextBox txtSendTo, txtSendcc, txtSubject, txtMessage, txtDatiCliente;
    Win32TextBox txtDriverType, txtComPort, txtMatr, txtVersion, txtDataCreazione, txtKdeskPath, txtAppDataVista;
    Win32ListBox List1;
    Win32OpenFileDialog CommonDialog1;
    Win32Window unloader;
    FrmMainControls formControls;
    FrmMain form;
};

MainWindow::MainWindow(HINSTANCE instance, Platform& platform, ModVariables& vars, MailSession& session,
                       MailMessages& messages)
    : instance_(instance), platform_(platform), vars_(vars), session_(session), messages_(messages) {}

MainWindow::~MainWindow() {
    if (window_) DestroyWindow(window_);
}

void MainWindow::Create() {
    RegisterMainClass(instance_, Proc);
    const Dpi systemDpi = ScreenDpi();
    const SIZE frame = FrameSize(systemDpi.y);
    UniqueMenu menu = BuildMenuBar();
    window_ = CreateWindowExW(0, kMainWindowClass, L"" KDESK_TITLE_TEXT, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.cx, frame.cy, nullptr, menu.get(), instance_, this);
    if (!window_) throw std::runtime_error("cannot create the main window");
    menu.release();  // destroyed with the window
    // Placed on a monitor of another scale than the system's: sized for its DPI.
    dpi_ = WindowDpi(window_);
    if (dpi_ != systemDpi) {
        const SIZE own = FrameSize(dpi_.y);
        SetWindowPos(window_, nullptr, 0, 0, own.cx, own.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    wiring_ = std::make_unique<Wiring>(window_, dpi_, Services{platform_, vars_, session_, messages_});
    wiring_->form.showAboutBox = [this] { ShowAboutBox(); };
    lastFocus_ = wiring_->Find(L"txtAppDataVista");
}

FrmMain& MainWindow::Form() {
    if (!wiring_) throw std::logic_error("the main window is not created");
    return wiring_->form;
}

void MainWindow::Show(int showCommand) {
    if (!window_) return;
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (lastFocus_ && GetActiveWindow() == window_) SetFocus(lastFocus_);
    SetIcons();
    if (wiring_) wiring_->controls.AddTooltips();
}

// The window's own icons, for the task switcher and whoever asks the window.
// Until they are set the frame shows the class's icons, the same images: they
// are handed over once the window is painted, since the display driver takes
// a while to convert them.
void MainWindow::SetIcons() {
    UniqueIcon big = ProgramIconForDpi(instance_, SM_CXICON, dpi_.y);
    UniqueIcon small = ProgramIconForDpi(instance_, SM_CXSMICON, dpi_.y);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);  // the previous ones go once the window has the new
    smallIcon_ = std::move(small);
}

// Moved to a monitor of another scale, or the scale changed: everything laid
// out for the new DPI within the frame Windows suggests. The controls stay, and
// with them the typed text, the selection and the list.
void MainWindow::OnDpiChanged(Dpi dpi, const RECT& suggested) {
    dpi_ = dpi;
    if (wiring_) wiring_->controls.Relayout(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (bigIcon_) SetIcons();
}

// High contrast turned on or off, or another colour scheme: the buttons take
// the new colours at once.
void MainWindow::OnColoursChanged() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool MainWindow::TranslateDialogKeys(MSG& msg) { return window_ && IsDialogMessageW(window_, &msg); }

void MainWindow::ShowAboutBox() {
    if (!about_) about_ = std::make_unique<AboutBox>(instance_, platform_.runtime);
    about_->ShowModal(window_);
}

LRESULT CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (self && self->window_ == window) return self->Handle(message, wp, lp);
    } catch (...) {
        return 0;  // nothing may reach the message loop
    }
    return DefWindowProcW(window, message, wp, lp);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wp, LPARAM lp) {
    const HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            if (wiring_) OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            const ControlRow* row = wiring_ ? wiring_->controls.RowOf(static_cast<int>(item.CtlID)) : nullptr;
            if (!row || !row->back) break;
            DrawColourButton(item, *row->back);
            return TRUE;
        }
        case WM_DPICHANGED:
            OnDpiChanged({LOWORD(wp), HIWORD(wp)}, *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SYSCOLORCHANGE:
            OnColoursChanged();
            break;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETHIGHCONTRAST) OnColoursChanged();
            break;
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (wiring_ && wiring_->controls.ColourStatic(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), brush))
                return brush;
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                OnActivate(false);
                break;
            }
            if (HIWORD(wp)) break;  // minimized
            OnActivate(true);
            return 0;
        case WM_SETFOCUS:
            if (lastFocus_ && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            if (wiring_ && !wiring_->form.Form_QueryUnload()) return 0;
            break;
        case WM_NEXTDLGCTL:
            // Multi-line boxes ask their parent to move on when Tab is pressed in them.
            MoveFocus(wp, lp);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return DefWindowProcW(window, message, wp, lp);
}

void MainWindow::MoveFocus(WPARAM target, LPARAM byHandle) {
    HWND next = LOWORD(byHandle) ? reinterpret_cast<HWND>(target)
                                 : GetNextDlgTabItem(window_, GetFocus(), target != 0 ? TRUE : FALSE);
    if (next) SetFocus(next);
}

void MainWindow::OnCommand(int id, int code) {
    FrmMain& form = wiring_->form;
    if (id == kIdMenuEnd) return form.m_end_Click();
    if (id == kIdMenuInfo) return form.m_info_Click();
    const ControlRow* row = wiring_->controls.RowOf(id);
    if (!row) return;  // Enter and Esc arrive as IDOK and IDCANCEL: no button takes them
    if (row->kind == ControlKind::ListBox && code == LBN_SELCHANGE) return form.List1_Click();
    if (row->kind != ControlKind::Button || (code != BN_CLICKED && code != BN_DOUBLECLICKED)) return;
    for (const ButtonRoute& route : kButtonRoutes)
        if (route.control == row->name) return (form.*route.handler)();
}

void MainWindow::OnActivate(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (lastFocus_ && IsWindow(lastFocus_)) SetFocus(lastFocus_);
}

}  // namespace kdesk
