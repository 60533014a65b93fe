#include "app/window_builder.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kdesk {

namespace {

struct WindowStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowStyle StyleOf(const ControlRow& row) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    const DWORD editAlign = row.centred ? ES_CENTER : ES_LEFT;
    switch (row.kind) {
        case ControlKind::Label:
            return {L"Static", kChild | WS_CLIPSIBLINGS | SS_NOPREFIX | (row.centred ? SS_CENTER : SS_LEFT), 0};
        case ControlKind::TextBox:
            return {L"Edit", kChild | WS_TABSTOP | ES_AUTOHSCROLL | editAlign, WS_EX_CLIENTEDGE};
        case ControlKind::MultiLineTextBox:
            return {L"Edit",
                    kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | editAlign,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ReadOnlyTextBox:
            return {L"Edit", kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY | editAlign, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"ListBox", kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {L"Button", kChild | WS_TABSTOP | BS_OWNERDRAW, 0};
        case ControlKind::DefaultButton:
            return {L"Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
        case ControlKind::Picture:
            return {L"Static", kChild | SS_OWNERDRAW, 0};
    }
    return {L"Static", kChild, 0};
}

// The order of creation: each new control goes beneath the ones before it, so
// the keyboard order is the tab order. Labels come last and so lie beneath
// every other control: a box that overlaps its caption keeps its border. Labels
// take no focus, so the keyboard order stays, and no control is moved after it
// is made.
std::vector<const ControlRow*> InCreationOrder(std::span<const ControlRow> table) {
    std::vector<const ControlRow*> rows = InTabOrder(table);
    std::stable_partition(rows.begin(), rows.end(),
                          [](const ControlRow* row) { return row->kind != ControlKind::Label; });
    return rows;
}

}  // namespace

HFONT FontCache::Get(const FontSpec& font) {
    auto& slot = fonts_[{font.centiPoints, font.bold}];
    if (!slot) {
        LOGFONTW log{};
        log.lfHeight = -CentiPointsToPixels(font.centiPoints, dpiY_);
        log.lfWeight = font.Weight();
        log.lfCharSet = DEFAULT_CHARSET;
        log.lfOutPrecision = OUT_DEFAULT_PRECIS;
        log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        log.lfQuality = DEFAULT_QUALITY;
        log.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
        kFontFace.copy(log.lfFaceName, LF_FACESIZE - 1);
        slot.reset(CreateFontIndirectW(&log));
    }
    return slot.get();
}

ControlSet::ControlSet(HWND parent, std::span<const ControlRow> table, Dpi dpi) : parent_(parent), fonts_(dpi.y) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (const ControlRow* row : InCreationOrder(table)) {
        const WindowStyle style = StyleOf(*row);
        const RECT r = PixelRect(row->rect, dpi);
        const std::wstring text(row->text);
        HWND control = CreateWindowExW(style.exStyle, style.className, text.c_str(), style.style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row->id)), instance, nullptr);
        if (!control) throw std::runtime_error("cannot create a control");
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(row->font)), FALSE);
        // No limit of our own on text boxes: an operator may paste a long log (0: the largest the box holds).
        if (std::wstring_view(style.className) == L"Edit") SendMessageW(control, EM_LIMITTEXT, 0, 0);
        controls_.emplace_back(row, control);
    }
}

void ControlSet::AddTooltips() {
    if (commonControls_) return;
    commonControls_.emplace(L"comctl32.dll");
    const auto init = commonControls_->Function<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    if (!init || !init(&classes)) return;  // a missing tooltip is no reason to stop
    for (const auto& [row, control] : controls_)
        if (!row->tooltip.empty()) AddTooltip(control, row->tooltip);
}

void ControlSet::AddTooltip(HWND control, std::wstring_view text) {
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent_, nullptr,
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent_, GWLP_HINSTANCE)), nullptr);
        if (!tooltip_) return;
    }
    std::wstring tip(text);
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = tip.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

HWND ControlSet::Find(std::wstring_view name) const {
    for (const auto& [row, control] : controls_)
        if (row->name == name) return control;
    return nullptr;
}

const ControlRow* ControlSet::RowOf(int id) const {
    for (const auto& [row, control] : controls_)
        if (row->id == id) return row;
    return nullptr;
}

bool ControlSet::ColourStatic(HWND control, HDC dc, LRESULT& brush) const {
    const ControlRow* row = RowOf(GetDlgCtrlID(control));
    if (!row || !row->fore || row->kind != ControlKind::Label) return false;
    SetTextColor(dc, ToColorRef(*row->fore));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

}  // namespace kdesk
