#pragma once
// The main window frmMain: built hidden from its layout table, wired to the
// FrmMain handlers; Form_Load runs before the first Show.
#include <windows.h>

#include <memory>

#include "app/win32_handles.h"
#include "forms/main/frmMain.h"

namespace kdesk {

inline constexpr wchar_t kMainWindowClass[] = L"KdeskSupportMain";

class AboutBox;

class MainWindow {
public:
    MainWindow(HINSTANCE instance, Platform& platform, ModVariables& vars, MailSession& session,
               MailMessages& messages);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, hidden; throws std::runtime_error on failure.
    void Create();
    FrmMain& Form();
    HWND Handle() const { return window_; }
    bool IsAlive() const { return window_ != nullptr; }
    void Show(int showCommand);
    // Tab and the other dialog keys of the window; true when the message was handled.
    bool TranslateDialogKeys(MSG& msg);

private:
    struct Wiring;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp);
    void MoveFocus(WPARAM target, LPARAM byHandle);
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void ShowAboutBox();
    void SetIcons();
    void OnDpiChanged(Dpi dpi, const RECT& suggested);
    void OnColoursChanged();

    HINSTANCE instance_;
    Platform& platform_;
    ModVariables& vars_;
    MailSession& session_;
    MailMessages& messages_;
    HWND window_ = nullptr;  // cleared when the window is destroyed
    HWND lastFocus_ = nullptr;
    Dpi dpi_;
    UniqueIcon bigIcon_, smallIcon_;  // the window's icons at its DPI
    std::unique_ptr<Wiring> wiring_;
    std::unique_ptr<AboutBox> about_;
};

}  // namespace kdesk
