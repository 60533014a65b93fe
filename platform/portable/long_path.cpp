#include "platform/portable/long_path.h"

#include <algorithm>

namespace kdesk {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

bool IsUncPath(const std::wstring& path) {
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

bool IsDevicePath(const std::wstring& path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
           IsSeparator(path[3]);
}

std::wstring WithBackslashes(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < kLongPathLength || IsDevicePath(path)) return path;
    if (IsDrivePath(path)) return L"\\\\?\\" + WithBackslashes(path);
    if (IsUncPath(path)) return L"\\\\?\\UNC\\" + WithBackslashes(path.substr(2));
    return path;
}

}  // namespace kdesk
