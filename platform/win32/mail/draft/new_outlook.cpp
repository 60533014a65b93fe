#include "platform/win32/mail/draft/new_outlook.h"

#include <windows.h>

#include <optional>

#include "platform/win32/registry_key.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

constexpr wchar_t kAppPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\olk.exe";

std::optional<std::wstring> InstalledNewOutlook() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        auto path = RegistryKey(root, kAppPath).Text(nullptr);
        if (!path) continue;
        if (path->size() >= 2 && path->front() == L'"' && path->back() == L'"') *path = path->substr(1, path->size() - 2);
        const DWORD attributes = GetFileAttributesW(path->c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    }
    return std::nullopt;
}

}  // namespace

bool OpenInNewOutlook(const std::wstring& draft) {
    const auto outlook = InstalledNewOutlook();
    if (!outlook) return false;
    std::wstring commandLine = L"\"" + *outlook + L"\" \"" + draft + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(outlook->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    const UniqueFileHandle process(started.hProcess);
    const UniqueFileHandle thread(started.hThread);
    return true;
}

}  // namespace kdesk
