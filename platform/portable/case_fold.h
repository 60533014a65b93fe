#pragma once
// Letter-case folding for file names, as Windows compares them: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic fold to upper case; everything else is
// compared as it is.
#include <string>
#include <string_view>

namespace kdesk {

wchar_t FoldCase(wchar_t c);
std::wstring FoldCase(std::wstring_view text);
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace kdesk
