#include "platform/win32/mail_client.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "platform/portable/pe_machine.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr wchar_t kMailClients[] = L"Software\\Clients\\Mail";

#if defined(__x86_64__) || defined(_M_X64)
constexpr std::uint16_t kOwnMachine = pe::kMachineAmd64;
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr std::uint16_t kOwnMachine = pe::kMachineArm64;
#else
constexpr std::uint16_t kOwnMachine = pe::kMachineI386;
#endif

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
    std::optional<std::wstring> Text(const wchar_t* name) const {
        DWORD type = 0;
        DWORD size = 0;
        if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
        if ((type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t)) return {};
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
            return {};
        text.resize(text.find(L'\0'));
        if (type == REG_EXPAND_SZ) text = Expanded(text);
        if (text.empty()) return {};
        return text;
    }

private:
    static std::wstring Expanded(const std::wstring& text) {
        const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (size == 0) return text;
        std::wstring expanded(size, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
        expanded.resize(written > 0 ? written - 1 : 0);
        return expanded;
    }

    HKEY key_ = nullptr;
};

// The registered client's DLL: DLLPathEx before DLLPath, under the root that
// chose the client, then under the machine's key.
std::optional<std::wstring> RegisteredClientDll() {
    for (HKEY chooser : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const auto client = RegistryKey(chooser, kMailClients).Text(nullptr);
        if (!client) continue;
        const std::wstring key = std::wstring(kMailClients) + L"\\" + *client;
        for (HKEY root : {chooser, HKEY_LOCAL_MACHINE}) {
            const RegistryKey registration(root, key);
            if (auto dll = registration.Text(L"DLLPathEx")) return dll;
            if (auto dll = registration.Text(L"DLLPath")) return dll;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> MachineOf(const std::wstring& path) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) return std::nullopt;
    std::array<std::uint8_t, 4096> head{};
    DWORD read = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) return std::nullopt;
    return pe::ImageMachine(std::span(head.data(), read));
}

}  // namespace

bool UsableMailClientRegistered() {
    const auto dll = RegisteredClientDll();
    return dll && MachineOf(*dll) == kOwnMachine;
}

}  // namespace kdesk
