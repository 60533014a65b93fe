#include "platform/win32/file_api_path.h"

#include <windows.h>

#include "platform/portable/long_path.h"

namespace kdesk {

std::wstring ForFileApi(const std::wstring& path) {
    // The extended form is taken as it is: the system does not normalise it either.
    if (path.empty() || path.starts_with(L"\\\\?\\")) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    if (full.size() < kLongPathLength) return path;
    return ExtendedLengthPath(full);
}

}  // namespace kdesk
