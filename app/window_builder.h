#pragma once
// Builds the controls of one window from its layout table, in keyboard order
// with each caption just before the control it names, with their fonts and
// tooltips, lays them out again for a new DPI and keeps what is needed to
// paint them.
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
    ControlSet(HWND parent, std::span<const ControlRow> table, Dpi dpi, std::span<const CaptionRow> captions = {});
    ControlSet(const ControlSet&) = delete;
    ControlSet& operator=(const ControlSet&) = delete;
    ~ControlSet() = default;

    HWND Find(std::wstring_view name) const;  // nullptr when unknown
    const ControlRow* RowOf(int id) const;
    HFONT FontOf(const ControlRow& row) { return fonts_.Get(row.font); }

    // Moves and sizes every control and gives it its font for `dpi`; the
    // controls keep their text, selection and entries.
    void Relayout(Dpi dpi);

    // WM_CTLCOLORSTATIC for a label: the window's background and the label's
    // text colour, painted nowhere over the box the label names; false for
    // other controls.
    bool ColourStatic(HWND control, HDC dc, LRESULT& brush) const;

    // Gives the controls of the table their tooltips. Called once the window is
    // shown: the tooltip control's library is loaded only then.
    void AddTooltips();

private:
    void AddTooltip(HWND control, std::wstring_view text);

    HWND NamedBy(HWND label) const;

    HWND parent_;
    FontCache fonts_;
    std::vector<std::pair<const ControlRow*, HWND>> controls_;
    std::vector<std::pair<HWND, HWND>> captions_;  // label, the control it names
    std::optional<SystemLibrary> commonControls_;
    HWND tooltip_ = nullptr;  // owned by the parent window
};

}  // namespace kdesk
