#include "platform/portable/volume_root.h"

#include "platform/portable/case_fold.h"

namespace kdesk {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool HasDrive(const std::wstring& path, std::size_t at) {
    return path.size() >= at + 2 && IsAsciiLetter(path[at]) && path[at + 1] == L':';
}

// The next path component from `at`, and where the one after it starts.
std::wstring ComponentAt(const std::wstring& path, std::size_t& at) {
    std::size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::wstring component = path.substr(at, end - at);
    at = end < path.size() ? end + 1 : end;
    return component;
}

std::wstring UncRoot(const std::wstring& prefix, const std::wstring& path, std::size_t at) {
    const std::wstring server = ComponentAt(path, at);
    const std::wstring share = ComponentAt(path, at);
    if (server.empty() || share.empty()) return {};
    return prefix + server + L"\\" + share + L"\\";
}

}  // namespace

std::wstring VolumeRoot(const std::wstring& path) {
    const bool twoSeparators = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool extended = twoSeparators && path.size() >= 4 && path[2] == L'?' && IsSeparator(path[3]);
    if (extended) {
        if (HasDrive(path, 4)) return L"\\\\?\\" + path.substr(4, 2) + L"\\";
        const bool unc = path.size() >= 8 && EqualIgnoringCase(path.substr(4, 3), L"UNC") && IsSeparator(path[7]);
        return unc ? UncRoot(L"\\\\?\\UNC\\", path, 8) : std::wstring{};
    }
    if (HasDrive(path, 0)) return path.substr(0, 2) + L"\\";
    if (twoSeparators && path.size() > 2 && path[2] != L'.' && path[2] != L'?') return UncRoot(L"\\\\", path, 2);
    return {};
}

}  // namespace kdesk
