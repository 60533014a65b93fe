#pragma once
// File-name matching with the wildcard rules of the Windows directory search:
// letter case does not matter; "*" matches any run of characters and "?" any one
// character, with the DOS refinements Windows applies to a search pattern:
//  - "*.*" matches every name, also names without a dot;
//  - "*" right before a dot stops at the name's last dot ("*.txt" matches
//    "a.b.txt" but not "a.txt.bak");
//  - "?" also matches nothing at the end of the name or before a dot
//    ("??.001" matches "a.001");
//  - a dot before "*" or "?", or at the end of the pattern, also matches the end
//    of the name ("*." matches names without an extension, "a.*" matches "a").
// 8.3 short names are not considered.
#include <string_view>

namespace kdesk {

bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name);
bool HasWildcard(std::wstring_view text);

}  // namespace kdesk
