#pragma once
// The volume a Windows path lies on.
#include <string>

namespace kdesk {

// The root of the volume of a path: "C:\" for "C:\Dati\x" (and for the
// drive-relative "C:Dati"), "\\server\share\" for "\\server\share\Dati", the
// same behind "\\?\" and "\\?\UNC\"; "/" counts as "\". Empty text for a path
// that names no drive or share (relative, rooted on the current drive, or a
// server without a share).
std::wstring VolumeRoot(const std::wstring& path);

}  // namespace kdesk
