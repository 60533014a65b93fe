#pragma once
// The control interfaces of the forms' logic over real Win32 windows.
#include <windows.h>

#include <string>

#include "platform/controls.h"

namespace kdesk {

std::wstring GetText(HWND window);

// An edit control or a label: its window text.
class Win32TextBox : public TextBox {
public:
    explicit Win32TextBox(HWND window) : window_(window) {}
    std::wstring Text() const override { return GetText(window_); }
    void SetText(const std::wstring& text) override;

private:
    HWND window_;
};

class Win32ListBox : public ListBox {
public:
    explicit Win32ListBox(HWND window) : window_(window) {}
    void Clear() override;
    void AddItem(const std::wstring& item) override;
    void RemoveItem(int index) override;
    int ListCount() const override;
    int ListIndex() const override;
    std::wstring List(int index) const override;
    void BeginUpdate() override;
    void EndUpdate() override;

private:
    HWND window_;
};

// GetOpenFileNameW with no filter, title or initial folder; the last choice is
// offered again as the next dialog's file name.
class Win32OpenFileDialog : public OpenFileDialog {
public:
    explicit Win32OpenFileDialog(HWND owner) : owner_(owner) {}
    void SetCancelError(bool cancelError) override { cancelError_ = cancelError; }
    void ShowOpen() override;
    std::wstring FileName() const override { return fileName_; }

private:
    HWND owner_;
    bool cancelError_ = false;
    std::wstring fileName_;
};

// A top-level window: Unload destroys it.
class Win32Window : public Window {
public:
    explicit Win32Window(HWND window) : window_(window) {}
    void Repaint() override;
    void Unload() override;

private:
    HWND window_;
};

}  // namespace kdesk
