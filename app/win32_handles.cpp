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
    const PixelBox box = ToPixels(twips, dpi.x, dpi.y);
    return {box.left, box.top, box.right, box.bottom};
}

}  // namespace kdesk
