#include "app/owner_drawn_button.h"

#include "app/win32_controls.h"
#include "app/win32_handles.h"

namespace kdesk {

void DrawColourButton(const DRAWITEMSTRUCT& item, Rgb background) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;

    if (focused) {
        // A dark frame around the focused button, as around a default button.
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    UniqueBrush brush(CreateSolidBrush(ToColorRef(background)));
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
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    if (focused) {
        RECT ring = face;
        InflateRect(&ring, -4, -4);
        if (pressed) OffsetRect(&ring, 1, 1);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &ring);
    }
}

}  // namespace kdesk
