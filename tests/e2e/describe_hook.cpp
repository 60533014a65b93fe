// Runs inside the program, loaded there by the window hook of the e2e driver:
// describes the window the driver's request is sent to, in the lines that
// RequestDescription documents, and sends the text back as WM_COPYDATA; asked
// to, it first moves the window to another DPI as Windows would.
#include "tests/e2e/describe_hook.h"

#include <commctrl.h>

#include <string>

namespace {

BOOL CALLBACK DescribeFont(HWND control, LPARAM lp) {
    auto& text = *reinterpret_cast<std::wstring*>(lp);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW log{};
    if (font && GetObjectW(font, sizeof log, &log) == sizeof log)
        text += L"font\t" + std::to_wstring(GetDlgCtrlID(control)) + L"\t" + log.lfFaceName + L"\t" +
                std::to_wstring(log.lfHeight) + L"\t" + std::to_wstring(log.lfWeight) + L"\n";
    return TRUE;
}

// The extent of a control's text in its font, and its client size.
BOOL CALLBACK DescribeExtent(HWND control, LPARAM lp) {
    auto& text = *reinterpret_cast<std::wstring*>(lp);
    wchar_t caption[512] = {};
    const int length = GetWindowTextW(control, caption, 512);
    HDC dc = GetDC(control);
    if (!dc) return TRUE;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    text += L"extent\t" + std::to_wstring(GetDlgCtrlID(control)) + L"\t" + std::to_wstring(extent.cx) + L"\t" +
            std::to_wstring(extent.cy) + L"\t" + std::to_wstring(client.right) + L"\t" +
            std::to_wstring(client.bottom) + L"\n";
    return TRUE;
}

// The file of the common controls library the program has loaded (through its
// activation context, as its own calls would): Common Controls 6 comes from
// the side-by-side assembly's folder, version 5 from the system folder.
std::wstring CommonControlsFile() {
    const HMODULE module = GetModuleHandleW(L"comctl32.dll");
    wchar_t path[MAX_PATH] = {};
    if (module) GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

void DescribeMenu(HMENU menu, int depth, std::wstring& text) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
        HMENU popup = GetSubMenu(menu, i);
        const UINT id = popup ? 0 : GetMenuItemID(menu, i);
        text += L"menu\t" + std::to_wstring(depth) + L"\t" + caption + L"\t" + std::to_wstring(id) + L"\n";
        if (popup) DescribeMenu(popup, depth + 1, text);
    }
}

struct TooltipSearch {
    HWND owner;
    std::wstring* text;
};

BOOL CALLBACK DescribeTooltips(HWND candidate, LPARAM lp) {
    const auto& search = *reinterpret_cast<TooltipSearch*>(lp);
    wchar_t className[64] = {};
    GetClassNameW(candidate, className, 64);
    if (GetWindow(candidate, GW_OWNER) != search.owner || std::wstring(className) != TOOLTIPS_CLASSW) return TRUE;
    const auto count = static_cast<UINT>(SendMessageW(candidate, TTM_GETTOOLCOUNT, 0, 0));
    for (UINT i = 0; i < count; ++i) {
        wchar_t tip[256] = {};
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = tip;
        if (!SendMessageW(candidate, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info))) continue;
        const auto control = reinterpret_cast<HWND>(info.uId);
        *search.text += L"tooltip\t" + std::to_wstring(GetDlgCtrlID(control)) + L"\t" + tip + L"\n";
    }
    return TRUE;
}

std::wstring DescribeWindow(HWND window) {
    std::wstring text;
    EnumChildWindows(window, DescribeFont, reinterpret_cast<LPARAM>(&text));
    EnumChildWindows(window, DescribeExtent, reinterpret_cast<LPARAM>(&text));
    text += L"comctl\t" + CommonControlsFile() + L"\n";
    if (HMENU menu = GetMenu(window)) DescribeMenu(menu, 0, text);
    TooltipSearch search{window, &text};
    EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), DescribeTooltips, reinterpret_cast<LPARAM>(&search));
    const bool big = SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0;
    const bool small = SendMessageW(window, WM_GETICON, ICON_SMALL, 0) != 0;
    text += L"icons\t" + std::to_wstring(big) + L"\t" + std::to_wstring(small) + L"\n";
    return text;
}

// As Windows does when the window moves to a monitor of `dpi`: WM_DPICHANGED
// with the frame scaled from its top-left corner as the suggested rectangle.
std::wstring ChangeDpi(HWND window, int dpi) {
    RECT frame{};
    GetWindowRect(window, &frame);
    HDC dc = GetDC(window);
    const int oldDpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, dpi, oldDpi),
                   frame.top + MulDiv(frame.bottom - frame.top, dpi, oldDpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return L"suggested\t" + std::to_wstring(suggested.left) + L"\t" + std::to_wstring(suggested.top) + L"\t" +
           std::to_wstring(suggested.right) + L"\t" + std::to_wstring(suggested.bottom) + L"\n";
}

void SendDescription(HWND window, HWND replyTo, int newDpi) {
    if (!IsWindow(replyTo)) return;
    const std::wstring changed = newDpi ? ChangeDpi(window, newDpi) : std::wstring();
    const std::wstring text = changed + DescribeWindow(window);
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(text.c_str());
    SendMessageTimeoutW(replyTo, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DescribeWindowHook(int code, WPARAM wp, LPARAM lp) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    try {
        if (code == HC_ACTION && call->message == kdesk::e2e::DescribeRequestMessage())
            SendDescription(call->hwnd, reinterpret_cast<HWND>(call->lParam), static_cast<int>(call->wParam));
    } catch (...) {  // nothing may unwind into the program's message dispatch
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
