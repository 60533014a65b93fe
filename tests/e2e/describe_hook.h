#pragma once
// The window hook that the e2e driver puts on the program's UI thread to read
// what another process cannot (fonts, menus, tooltips, icons): the DLL, its
// WH_CALLWNDPROC procedure, and the message that asks it to describe the window
// it is sent to (lParam: the window that receives the text as WM_COPYDATA).
#include <windows.h>

namespace kdesk::e2e {

inline constexpr wchar_t kDescribeHookDll[] = L"kdesk_describe_hook.dll";
inline constexpr char kDescribeHookProc[] = "DescribeWindowHook";

inline UINT DescribeRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"KdeskE2e.DescribeWindow");
    return message;
}

}  // namespace kdesk::e2e
