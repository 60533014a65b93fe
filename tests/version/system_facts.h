#pragma once
// Facts read from Windows itself: a file's bytes, the user's language.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kdesk::test {

// The whole file, or nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::wstring& path);

std::uint16_t UserLanguage();

}  // namespace kdesk::test
