#include "platform/win32/mail/mapi/mail_client.h"

#include <windows.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/portable/pe_machine.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr wchar_t kMailClients[] = L"Software\\Clients\\Mail";
// msi.h's INSTALLMODE_EXISTING: the component's path only when it is installed,
// never an installation.
constexpr DWORD kInstallModeExisting = static_cast<DWORD>(-1);

#if defined(__x86_64__) || defined(_M_X64)
constexpr std::uint16_t kOwnMachine = pe::kMachineAmd64;
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr std::uint16_t kOwnMachine = pe::kMachineArm64;
#else
constexpr std::uint16_t kOwnMachine = pe::kMachineI386;
#endif

// The machine's own architecture; the program's where Windows cannot tell
// (IsWow64Process2 came with Windows 10 1709).
std::uint16_t NativeMachine() {
    using IsWow64Process2 = BOOL WINAPI(HANDLE, USHORT*, USHORT*);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): GetProcAddress returns a generic pointer
    auto* query = reinterpret_cast<IsWow64Process2*>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    USHORT process = 0;
    USHORT native = 0;
    if (!query || !query(GetCurrentProcess(), &process, &native)) return kOwnMachine;
    return native;
}

// The locale qualifiers the client names (MSIApplicationLCID, MSIOfficeLCID:
// a key under Software and the values holding the locale), then the user's.
std::vector<std::wstring> LocaleQualifiers(const RegistryKey& client) {
    std::vector<std::wstring> qualifiers;
    for (const wchar_t* name : {L"MSIApplicationLCID", L"MSIOfficeLCID"}) {
        const std::vector<std::wstring> where = client.Texts(name);
        for (std::size_t i = 1; i < where.size(); ++i)
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
                if (auto lcid = RegistryKey(root, L"Software\\" + where[0]).TextOrNumber(where[i].c_str()))
                    qualifiers.push_back(*lcid);
    }
    qualifiers.push_back(std::to_wstring(GetUserDefaultUILanguage()));
    return qualifiers;
}

// The DLL of the client's Windows Installer component, when it is installed.
std::optional<std::wstring> InstalledComponentDll(const RegistryKey& client) {
    const auto component = client.Text(L"MSIComponentID");
    if (!component) return std::nullopt;
    const SystemLibrary msi(L"msi.dll");
    using Provide = UINT WINAPI(LPCWSTR, LPCWSTR, DWORD, LPWSTR, LPDWORD);
    auto* provide = msi.Function<Provide>("MsiProvideQualifiedComponentW");
    if (!provide) return std::nullopt;
    for (const std::wstring& qualifier : LocaleQualifiers(client)) {
        std::array<wchar_t, 1024> path{};
        auto size = static_cast<DWORD>(path.size());
        if (provide(component->c_str(), qualifier.c_str(), kInstallModeExisting, path.data(), &size) == ERROR_SUCCESS)
            return std::wstring(path.data());
    }
    return std::nullopt;
}

struct ClientDll {
    bool registered = false;         // a client is named
    std::optional<std::wstring> dll;  // its DLL as registered
    bool mayHaveDll = false;          // an installer component that could not be asked
};

ClientDll RegisteredClient() {
    for (HKEY chooser : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const auto name = RegistryKey(chooser, kMailClients).Text(nullptr);
        if (!name) continue;
        ClientDll client{true, std::nullopt, false};
        const std::wstring key = std::wstring(kMailClients) + L"\\" + *name;
        for (HKEY root : {chooser, HKEY_LOCAL_MACHINE}) {
            const RegistryKey registration(root, key);
            client.mayHaveDll = client.mayHaveDll || registration.Text(L"MSIComponentID").has_value();
            if ((client.dll = InstalledComponentDll(registration))) return client;
            if ((client.dll = registration.Text(L"DLLPathEx"))) return client;
            if ((client.dll = registration.Text(L"DLLPath"))) return client;
        }
        return client;
    }
    return {};
}

// A bare DLL name as the stub loads it: from the system folder.
std::optional<std::wstring> InSystemFolder(const std::wstring& name) {
    std::array<wchar_t, MAX_PATH> system{};
    const UINT length = GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size()));
    if (length == 0 || length >= system.size()) return std::nullopt;
    std::array<wchar_t, 1024> found{};
    const DWORD size = SearchPathW(system.data(), name.c_str(), nullptr, static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (size == 0 || size >= found.size()) return std::nullopt;
    return std::wstring(found.data());
}

enum class Verdict { Usable, Unusable, Unknown };

// Whether an ARM64 DLL is ARM64X: its load configuration points to CHPE
// metadata. One whose configuration cannot be read is taken as plain ARM64.
bool IsArm64x(HANDLE file, std::span<const std::uint8_t> head) {
    const auto offset = pe::LoadConfigOffset(head);
    if (!offset) return false;
    std::array<std::uint8_t, pe::kLoadConfigBytesRead> config{};
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(*offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, config.data(), static_cast<DWORD>(config.size()), &read, nullptr))
        return false;
    return pe::NamesChpeMetadata(std::span(config.data(), read));
}

Verdict MachineVerdict(const std::wstring& path) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Verdict::Unusable : Verdict::Unknown;
    }
    std::array<std::uint8_t, 4096> head{};
    DWORD read = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) return Verdict::Unknown;
    const std::span headBytes(head.data(), read);
    const auto machine = pe::ImageMachine(headBytes);
    if (!machine) return Verdict::Unusable;
    const bool arm64x = *machine == pe::kMachineArm64 && IsArm64x(file.Get(), headBytes);
    return pe::LoadsInto(*machine, arm64x, kOwnMachine, NativeMachine()) ? Verdict::Usable : Verdict::Unusable;
}

Verdict ClientVerdict() {
    const ClientDll client = RegisteredClient();
    if (!client.registered) return Verdict::Unusable;
    if (!client.dll) return client.mayHaveDll ? Verdict::Unknown : Verdict::Unusable;
    if (client.dll->find_first_of(L"\\/") != std::wstring::npos) return MachineVerdict(*client.dll);
    const auto found = InSystemFolder(*client.dll);
    return found ? MachineVerdict(*found) : Verdict::Unknown;
}

}  // namespace

bool UsableMailClientRegistered() { return ClientVerdict() != Verdict::Unusable; }

}  // namespace kdesk
