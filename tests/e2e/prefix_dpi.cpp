#include "tests/e2e/prefix_dpi.h"

namespace kdesk::e2e {

namespace {

constexpr wchar_t kValue[] = L"LogPixels";

struct Place {
    HKEY root;
    const wchar_t* path;
};
// The user's setting, and the machine's that Wine falls back to.
const Place kPlaces[] = {
    {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
    {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
};

std::optional<DWORD> Read(HKEY root, const wchar_t* path) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(root, path, kValue, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return {};
    return value;
}

void Write(HKEY root, const wchar_t* path, std::optional<DWORD> value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
    if (value)
        RegSetValueExW(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof *value);
    else
        RegDeleteValueW(key, kValue);
    RegCloseKey(key);
}

}  // namespace

PrefixDpi::PrefixDpi(DWORD dpi) {
    for (const Place& place : kPlaces) {
        saved_.push_back({place.root, place.path, Read(place.root, place.path)});
        Write(place.root, place.path, dpi);
    }
}

PrefixDpi::~PrefixDpi() {
    for (const Saved& saved : saved_) Write(saved.root, saved.path, saved.value);
}

}  // namespace kdesk::e2e
