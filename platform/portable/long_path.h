#pragma once
// The extended-length form of a Windows path, which the file functions take
// beyond their limit of 259 characters.
#include <cstddef>
#include <string>

namespace kdesk {

// Paths of this many characters or more need the extended-length form.
inline constexpr std::size_t kLongPathLength = 260;

// A path of 260 characters or more becomes "\\?\C:\..." (drive) or
// "\\?\UNC\server\share\..." (UNC), with "/" read as "\". Shorter paths, paths
// already in a "\\?\" or "\\.\" form and relative paths stay as they are. The
// extended form switches off the system's path normalisation ("..", doubled
// backslashes), so the path given must be full and normalised already.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace kdesk
