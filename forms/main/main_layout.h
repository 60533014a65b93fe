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

// Font height in pixels for a size in hundredths of a point.
constexpr int CentiPointsToPixels(int centiPoints, int dpi) {
    return static_cast<int>((static_cast<long long>(centiPoints) * dpi + 3600) / 7200);
}

// The main window.
inline constexpr int kMainClientWidthTwips = 13425;
inline constexpr int kMainClientHeightTwips = 7080;
std::span<const ControlRow> MainLayout();
std::span<const MenuRow> MainMenu();
inline constexpr int kIdMenuEnd = 9001;
inline constexpr int kIdMenuInfo = 9002;

// The row named `name`, nullptr when the table has none.
const ControlRow* FindControl(std::span<const ControlRow> table, std::wstring_view name);
// The rows sorted by tab index: the order of creation, and so the keyboard order.
std::vector<const ControlRow*> InTabOrder(std::span<const ControlRow> table);

}  // namespace kdesk
