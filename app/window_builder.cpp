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

HINSTANCE InstanceOf(HWND window) { return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)); }

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

// Each new control goes beneath the ones before it: the creation order is the
// z-order and the keyboard order. No control is moved after it is made.
ControlSet::ControlSet(HWND parent, std::span<const ControlRow> table, Dpi dpi, std::span<const CaptionRow> captions)
    : parent_(parent), fonts_(dpi.y) {
    const HINSTANCE instance = InstanceOf(parent);
    for (const ControlRow* row : InCreationOrder(table, captions)) {
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
    for (const CaptionRow& caption : captions)
        if (HWND label = Find(caption.label), control = Find(caption.control); label && control)
            captions_.emplace_back(label, control);
}

void ControlSet::Relayout(Dpi dpi) {
    FontCache fonts(dpi.y);
    for (const auto& [row, control] : controls_) {
        const RECT r = PixelRect(row->rect, dpi);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(row->font)), TRUE);
    }
    fonts_ = std::move(fonts);  // the old fonts go once no control uses them
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
                                   InstanceOf(parent_), nullptr);
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

HWND ControlSet::NamedBy(HWND label) const {
    const auto found = std::ranges::find(captions_, label, &std::pair<HWND, HWND>::first);
    return found == captions_.end() ? nullptr : found->second;
}

// A caption lies above the box it names and may overlap its border: it paints
// its background itself, leaving out the box, and its text without background.
bool ControlSet::ColourStatic(HWND control, HDC dc, LRESULT& brush) const {
    const ControlRow* row = RowOf(GetDlgCtrlID(control));
    if (!row || row->kind != ControlKind::Label) return false;
    RECT client{};
    GetClientRect(control, &client);
    if (HWND box = NamedBy(control)) {
        RECT boxRect{};
        GetWindowRect(box, &boxRect);
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&boxRect), 2);
        RECT overlap{};
        if (IntersectRect(&overlap, &client, &boxRect))
            ExcludeClipRect(dc, overlap.left, overlap.top, overlap.right, overlap.bottom);
    }
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, row->fore ? ToColorRef(*row->fore) : GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    brush = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}

}  // namespace kdesk
