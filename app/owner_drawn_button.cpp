#include "app/owner_drawn_button.h"

#include "app/win32_controls.h"
#include "app/win32_handles.h"
#include "forms/main/button_look.h"

namespace kdesk {

namespace {

Rgb ToRgb(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

ButtonColours ColoursOf(Rgb own, bool disabled) {
    const SystemButtonColours system{ToRgb(GetSysColor(COLOR_BTNFACE)), ToRgb(GetSysColor(COLOR_BTNTEXT)),
                                     ToRgb(GetSysColor(COLOR_GRAYTEXT))};
    return ColourButtonLook(own, HighContrastOn(), disabled, system);
}

}  // namespace

void DrawColourButton(const DRAWITEMSTRUCT& item, Rgb background) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const ButtonColours colours = ColoursOf(background, (item.itemState & ODS_DISABLED) != 0);

    if (focused) {
        // A dark frame around the focused button, as around a default button.
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    UniqueBrush brush(CreateSolidBrush(ToColorRef(colours.face)));
    FillRect(dc, &face, brush ? brush.get() : GetSysColorBrush(COLOR_BTNFACE));
    if (pressed)
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);

    RECT text = face;
    if (pressed) OffsetRect(&text, 1, 1);
    const std::wstring caption = GetText(item.hwndItem);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    SelectedObject selectedFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(colours.text));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    if (focused) {
        // The usual dotted focus rectangle: it inverts what lies beneath.
        RECT ring = face;
        InflateRect(&ring, -4, -4);
        if (pressed) OffsetRect(&ring, 1, 1);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &ring);
    }
}

}  // namespace kdesk
