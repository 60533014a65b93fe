#pragma once
// A registry key opened for reading, closed when the object goes, with its text
// values as the program needs them.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kdesk {

class RegistryKey {
public:
    RegistryKey(HKEY root, const std::wstring& path) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A REG_SZ or REG_EXPAND_SZ value (expanded); nullopt when missing or empty.
    std::optional<std::wstring> Text(const wchar_t* name) const;
    // A REG_MULTI_SZ value's strings; empty when missing.
    std::vector<std::wstring> Texts(const wchar_t* name) const;
    // A text value, or a REG_DWORD value in decimal; nullopt when missing.
    std::optional<std::wstring> TextOrNumber(const wchar_t* name) const;

private:
    HKEY key_ = nullptr;
};

}  // namespace kdesk
