#include "platform/portable/case_fold.h"

#include <algorithm>

namespace kdesk {

namespace {

bool InRange(wchar_t c, wchar_t first, wchar_t last) { return c >= first && c <= last; }

// Latin Extended-A pairs an upper-case letter with the lower-case one after it;
// the pairs start on even code points except in two runs that start on odd ones.
wchar_t FoldLatinExtendedA(wchar_t c) {
    const bool oddStartsPair = InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E);
    const bool isLower = oddStartsPair ? (c % 2 == 0) : (c % 2 == 1);
    if (c == 0x138 || c == 0x149 || c == 0x17F) return c;  // no upper-case partner
    return isLower ? static_cast<wchar_t>(c - 1) : c;
}

}  // namespace

wchar_t FoldCase(wchar_t c) {
    if (InRange(c, L'a', L'z')) return static_cast<wchar_t>(c - 0x20);
    if (c < 0x80) return c;
    if (InRange(c, 0xE0, 0xFE) && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (InRange(c, 0x100, 0x17F)) return FoldLatinExtendedA(c);
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (InRange(c, 0x3B1, 0x3CB)) return static_cast<wchar_t>(c - 0x20);
    if (InRange(c, 0x430, 0x44F)) return static_cast<wchar_t>(c - 0x20);
    if (InRange(c, 0x450, 0x45F)) return static_cast<wchar_t>(c - 0x50);
    return c;
}

std::wstring FoldCase(std::wstring_view text) {
    std::wstring folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](wchar_t c) { return FoldCase(c); });
    return folded;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace kdesk
