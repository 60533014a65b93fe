#include "app/win32_handles.h"

namespace kdesk {

Dpi ScreenDpi() {
    Dpi dpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
        ReleaseDC(nullptr, screen);
    }
    if (dpi.x <= 0 || dpi.y <= 0) dpi = {};
    return dpi;
}

RECT PixelRect(const TwipsRect& twips, Dpi dpi) {
    const int left = TwipsToPixels(twips.left, dpi.x);
    const int top = TwipsToPixels(twips.top, dpi.y);
    return {left, top, left + TwipsToPixels(twips.width, dpi.x), top + TwipsToPixels(twips.height, dpi.y)};
}

}  // namespace kdesk
