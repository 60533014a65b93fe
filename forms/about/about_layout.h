#pragma once
// The About box's layout table and its etched separator.
#include <span>

#include "forms/main/main_layout.h"

namespace kdesk {

inline constexpr std::wstring_view kAboutTitle = L"Informazioni su VelKdesk Support";
inline constexpr int kAboutClientWidthTwips = 5655;
inline constexpr int kAboutClientHeightTwips = 3525;
inline constexpr int kIdAboutOk = 1;  // the dialog's OK: Enter and Esc land here
inline constexpr Rgb kAboutPictureBack{192, 192, 192};

std::span<const ControlRow> AboutLayout();

// A horizontal line from (x1, y) to (x2, y) in twips, `pixels` thick downwards.
struct LineRow {
    int index;
    int x1, x2, y;
    Rgb colour;
    int pixels;
};

// Drawn in this order: the white line first, the grey one over its top row.
std::span<const LineRow> AboutSeparator();

}  // namespace kdesk
