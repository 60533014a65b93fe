#include "platform/win32/window_description.h"

namespace kdesk {

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

}  // namespace

UINT DescribeWindowMessage() {
    static const UINT message = RegisterWindowMessageW(kDescribeWindowMessage);
    return message;
}

std::wstring DescribeWindow(HWND window) {
    std::wstring text;
    EnumChildWindows(window, DescribeFont, reinterpret_cast<LPARAM>(&text));
    if (HMENU menu = GetMenu(window)) DescribeMenu(menu, 0, text);
    const bool big = SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0;
    const bool small = SendMessageW(window, WM_GETICON, ICON_SMALL, 0) != 0;
    text += L"icons\t" + std::to_wstring(big) + L"\t" + std::to_wstring(small) + L"\n";
    return text;
}

void SendDescription(HWND window, HWND replyTo) {
    if (!IsWindow(replyTo)) return;
    const std::wstring text = DescribeWindow(window);
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(text.c_str());
    SendMessageTimeoutW(replyTo, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

}  // namespace kdesk
