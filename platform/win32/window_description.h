#pragma once
// A window's fonts and menus as text, for automated checks from another
// process (which can read neither): a window that receives the registered
// message below sends its description back to the window in lParam as
// WM_COPYDATA. Lines: "font\t<id>\t<face>\t<height>\t<weight>" for each child
// control, "menu\t<depth>\t<caption>\t<id>" for each menu entry,
// "tooltip\t<id>\t<text>" for each control with a tooltip and
// "icons\t<big>\t<small>" (1 when the window has that icon, else 0).
#include <windows.h>

#include <string>

namespace kdesk {

inline constexpr wchar_t kDescribeWindowMessage[] = L"KdeskSupport.DescribeWindow";

UINT DescribeWindowMessage();
std::wstring DescribeWindow(HWND window);
void SendDescription(HWND window, HWND replyTo);

}  // namespace kdesk
