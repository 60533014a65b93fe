#include "app/win32_controls.h"

#include <commdlg.h>

#include <vector>

#include "platform/runtime_error.h"
#include "platform/win32/system_library.h"

namespace kdesk {

namespace {

constexpr DWORD kFileNameCapacity = 32768;

[[noreturn]] void ThrowInvalidCall() { throw RuntimeError(kErrInvalidProcedureCall); }

}  // namespace

std::wstring GetText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

void Win32TextBox::SetText(const std::wstring& text) {
    if (!SetWindowTextW(window_, text.c_str())) throw RuntimeError(kErrOutOfMemory);
}

void Win32ListBox::Clear() { SendMessageW(window_, LB_RESETCONTENT, 0, 0); }

void Win32ListBox::AddItem(const std::wstring& item) {
    const LRESULT index = SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) throw RuntimeError(kErrOutOfMemory);
}

void Win32ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) ThrowInvalidCall();
    SendMessageW(window_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int Win32ListBox::ListCount() const {
    const LRESULT count = SendMessageW(window_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int Win32ListBox::ListIndex() const {
    const LRESULT index = SendMessageW(window_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::wstring Win32ListBox::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void Win32ListBox::BeginUpdate() { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }

void Win32ListBox::EndUpdate() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

namespace {

// comdlg32.dll, loaded the first time the dialog is wanted.
struct CommonDialogs {
    SystemLibrary library{L"comdlg32.dll"};
    decltype(&GetOpenFileNameW) open = library.Function<decltype(GetOpenFileNameW)>("GetOpenFileNameW");
    decltype(&CommDlgExtendedError) failure = library.Function<decltype(CommDlgExtendedError)>("CommDlgExtendedError");
};

const CommonDialogs& LoadedCommonDialogs() {
    static const CommonDialogs dialogs;
    if (!dialogs.open || !dialogs.failure) throw RuntimeError(kErrFileNotFound);  // comdlg32.dll not there
    return dialogs;
}

}  // namespace

void Win32OpenFileDialog::ShowOpen() {
    const CommonDialogs& dialogs = LoadedCommonDialogs();
    std::vector<wchar_t> buffer(kFileNameCapacity, L'\0');
    if (fileName_.size() < buffer.size()) fileName_.copy(buffer.data(), fileName_.size());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileNameCapacity;
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (dialogs.open(&dialog)) {
        fileName_ = buffer.data();
        return;
    }
    const DWORD failure = dialogs.failure();
    if (failure != 0) throw RuntimeError(static_cast<std::int32_t>(failure), L"Open-file dialog failed");
    if (cancelError_) throw RuntimeError(kErrCancel, L"Cancel was selected.");
}

void Win32Window::Repaint() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Window::Unload() {
    if (IsWindow(window_)) DestroyWindow(window_);
}

}  // namespace kdesk
