#pragma once
// Layout tables: one row per control, read by the window layer to build the
// controls and by the e2e tests to find and check them.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kdesk {

enum class ControlKind {
    Label,
    TextBox,           // one line, editable
    MultiLineTextBox,  // vertical scroll bar, Enter starts a new line
    ReadOnlyTextBox,   // selectable and copyable, in the keyboard order
    ListBox,           // single selection, insertion order
    Button,            // painted in its own background colour
    DefaultButton,     // plain push button, the dialog's default and cancel button
    Picture,
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct FontSpec {
    int centiPoints = 825;  // 8.25 pt
    bool bold = false;
    int Weight() const { return bold ? 700 : 400; }
};

struct ControlRow {
    std::wstring_view name;
    ControlKind kind;
    std::wstring_view text;
    TwipsRect rect;
    int tabIndex;
    FontSpec font;
    int id;  // control identifier within its window
    bool centred = false;
    std::optional<Rgb> back = std::nullopt;
    std::optional<Rgb> fore = std::nullopt;
    std::wstring_view tooltip = {};
};

// A label that names another control, as screen readers read it: the label
// lies immediately before that control in the z-order.
struct CaptionRow {
    std::wstring_view label;
    std::wstring_view control;
};

struct MenuRow {
    std::wstring_view name;
    std::wstring_view caption;
    std::wstring_view parent;  // empty for a menu of the bar
    int id;                    // command identifier; 0 for a menu of the bar
};

inline constexpr std::wstring_view kFontFace = L"MS Sans Serif";
inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}

// A rectangle in pixels: left, top, right, bottom.
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelBox&) const = default;
};

// A layout rectangle at the given dots per inch (each edge rounded on its own
// from the left or top and the size, so that 15 twips are one pixel at 96).
constexpr PixelBox ToPixels(const TwipsRect& twips, int dpiX, int dpiY) {
    const int left = TwipsToPixels(twips.left, dpiX);
    const int top = TwipsToPixels(twips.top, dpiY);
    return {left, top, left + TwipsToPixels(twips.width, dpiX), top + TwipsToPixels(twips.height, dpiY)};
}

// Font height in pixels for a size in hundredths of a point.
constexpr int CentiPointsToPixels(int centiPoints, int dpi) {
    return static_cast<int>((static_cast<long long>(centiPoints) * dpi + 3600) / 7200);
}

// The main window.
inline constexpr int kMainClientWidthTwips = 13425;
inline constexpr int kMainClientHeightTwips = 7080;
std::span<const ControlRow> MainLayout();
std::span<const MenuRow> MainMenu();
std::span<const CaptionRow> MainCaptions();
inline constexpr int kIdMenuEnd = 9001;
inline constexpr int kIdMenuInfo = 9002;

// The row named `name`, nullptr when the table has none.
const ControlRow* FindControl(std::span<const ControlRow> table, std::wstring_view name);
// The rows sorted by tab index.
std::vector<const ControlRow*> InTabOrder(std::span<const ControlRow> table);
// The order of creation, which is the z-order and so the keyboard order: the
// controls that are no label by tab index, each caption immediately before the
// control it names, then the labels that name none.
std::vector<const ControlRow*> InCreationOrder(std::span<const ControlRow> table,
                                               std::span<const CaptionRow> captions);

}  // namespace kdesk
