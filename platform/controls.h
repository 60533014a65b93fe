#pragma once
// What the forms' logic reads and writes on the window's controls.
#include <cstddef>
#include <string>

namespace kdesk {

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::wstring Text() const = 0;
    virtual void SetText(const std::wstring& text) = 0;
};

class ListBox {
public:
    virtual ~ListBox() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::wstring& item) = 0;
    virtual void RemoveItem(int index) = 0;
    virtual int ListCount() const = 0;
    virtual int ListIndex() const = 0;  // selected entry, -1 when none
    virtual std::wstring List(int index) const = 0;
    // Suspends redrawing while many entries are added; EndUpdate shows them.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

// The open-file dialog. With CancelError set, cancelling ShowOpen raises
// RuntimeError kErrCancel. FileName is kept between uses.
class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    virtual void SetCancelError(bool cancelError) = 0;
    virtual void ShowOpen() = 0;
    virtual std::wstring FileName() const = 0;
};

class Window {
public:
    virtual ~Window() = default;
    virtual void Repaint() = 0;
    virtual void Unload() = 0;
};

}  // namespace kdesk
