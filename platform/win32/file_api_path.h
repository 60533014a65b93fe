#pragma once
// The form in which a path is handed to the Win32 file functions.
#include <string>

namespace kdesk {

// A path that is 260 characters or more once made full (GetFullPathNameW
// resolves ".", "..", "/" and doubled backslashes, as the file functions
// would) in its extended-length "\\?\" form, which has no such limit; any
// other path as given.
std::wstring ForFileApi(const std::wstring& path);

}  // namespace kdesk
