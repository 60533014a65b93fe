#pragma once
// Windows-1252 (the Western ANSI code page) without best-fit mapping: a
// character the code page cannot hold becomes '?'. The five byte values the code
// page leaves undefined map to the C1 control characters of the same value, as
// Windows maps them.
#include <string>
#include <string_view>

namespace kdesk {

std::string ToCp1252(std::wstring_view text);
std::wstring FromCp1252(std::string_view bytes);

}  // namespace kdesk
