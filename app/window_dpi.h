#pragma once
// The DPI a window is laid out for: the DPI of its monitor where Windows tells
// it (Windows 10 1607 and later, looked up at run time), else the system's.
#include <windows.h>

#include "app/win32_handles.h"

namespace kdesk {

Dpi WindowDpi(HWND window);
// A system metric (icon sizes) at the given DPI.
int MetricForDpi(int metric, int dpi);
// The frame around a client rectangle at the given DPI.
void FrameForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

}  // namespace kdesk
