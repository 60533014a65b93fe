#include "platform/win32/system_library.h"

#include <string>

namespace kdesk {
namespace {

// The full path in the system folder, for systems whose loader lacks
// LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without its loader update).
HMODULE LoadByFullPath(const wchar_t* fileName) {
    std::wstring path(MAX_PATH, L'\0');
    UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (length >= path.size()) {
        path.resize(length);
        length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    }
    if (length == 0 || length >= path.size()) return nullptr;
    path.resize(length);
    path += L'\\';
    path += fileName;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    if (HMODULE module = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // The flag is refused with this error where the loader does not know it.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    return LoadByFullPath(fileName);
}

}  // namespace kdesk
