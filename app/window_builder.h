#pragma once
// Builds the controls of one window from its layout table, in keyboard order,
// with their fonts and tooltips, and keeps what is needed to paint them.
#include <windows.h>

#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "app/win32_handles.h"
#include "forms/main/main_layout.h"
#include "platform/win32/system_library.h"

namespace kdesk {

// One HFONT per size and weight of the given face.
class FontCache {
public:
    explicit FontCache(int dpiY) : dpiY_(dpiY) {}
    HFONT Get(const FontSpec& font);

private:
    int dpiY_;
    std::map<std::pair<int, bool>, UniqueFont> fonts_;
};

class ControlSet {
public:
    // Creates every control of `table` on `parent`; throws std::runtime_error
    // when a control cannot be created.
    ControlSet(HWND parent, std::span<const ControlRow> table, Dpi dpi);
    ControlSet(const ControlSet&) = delete;
    ControlSet& operator=(const ControlSet&) = delete;
    ~ControlSet() = default;

    HWND Find(std::wstring_view name) const;  // nullptr when unknown
    const ControlRow* RowOf(int id) const;
    HFONT FontOf(const ControlRow& row) { return fonts_.Get(row.font); }

    // WM_CTLCOLORSTATIC for a label with its own text colour; false when the
    // control keeps the system's colours.
    bool ColourStatic(HWND control, HDC dc, LRESULT& brush) const;

    // Gives the controls of the table their tooltips. Called once the window is
    // shown: the tooltip control's library is loaded only then.
    void AddTooltips();

private:
    void AddTooltip(HWND control, std::wstring_view text);

    HWND parent_;
    FontCache fonts_;
    std::vector<std::pair<const ControlRow*, HWND>> controls_;
    std::optional<SystemLibrary> commonControls_;
    HWND tooltip_ = nullptr;  // owned by the parent window
};

}  // namespace kdesk
