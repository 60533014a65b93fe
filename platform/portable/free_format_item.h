#pragma once
// Reads the first free-format item of a text file, as ANSI bytes:
//  - blanks (spaces and tabs) at the start are skipped;
//  - an item that starts with a double quote ends at the closing quote (or at the
//    end of the file), comes back without the quotes and may hold commas and line
//    breaks;
//  - any other item ends at the first comma or at the end of the first line (CR
//    or LF) and loses its trailing blanks.
// The file is read in small pieces and never past the item (give or take one
// piece): an item is cut at kMaxFreeFormatItem bytes, so a huge one-line file
// costs at most that much memory and reading.
// Returns nullopt when the file is empty. A read failure raises RuntimeError.
#include <cstddef>
#include <optional>
#include <string>

#include "platform/runtime.h"

namespace kdesk {

inline constexpr std::size_t kMaxFreeFormatItem = std::size_t{64} * 1024;

std::optional<std::string> ReadFirstItem(InputFile& file);

}  // namespace kdesk
