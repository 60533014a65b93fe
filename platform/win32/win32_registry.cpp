#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace kdesk {

namespace {

// Root handle values such as 0x80000001 are sign-extended on 64-bit Windows.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

HKEY KeyHandle(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::int32_t Win32Registry::OpenKeyEx(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                                      std::uint32_t samDesired, RegKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootKey(root), subKey.c_str(), options, samDesired, &opened);
    key = reinterpret_cast<RegKey>(opened);
    return status;
}

std::int32_t Win32Registry::QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t& type,
                                         std::uint8_t* data, std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD bytes = size;
    const LONG status = RegQueryValueExA(KeyHandle(key), valueName.c_str(), nullptr, &valueType, data, &bytes);
    type = valueType;
    size = bytes;
    return status;
}

std::int32_t Win32Registry::CloseKey(RegKey key) { return RegCloseKey(KeyHandle(key)); }

}  // namespace kdesk
