// Prepares a Wine prefix for uploads from a shell script (scripts/run.sh):
//   kdesk_upload_prefix trust CA.der      trusts the CA in HKLM's Root store
//   kdesk_upload_prefix url URL           sets the installation's UploadUrl
//   kdesk_upload_prefix proxy HOST:PORT   names a proxy in the user's Internet settings
//   kdesk_upload_prefix proxy none        removes it
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/upload_prefix.h"

namespace {

constexpr wchar_t kInstallationKey[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK";

bool SetUploadUrl(const std::wstring& url) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kInstallationKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(key, L"UploadUrl", 0, REG_SZ, reinterpret_cast<const BYTE*>(url.c_str()),
                                          static_cast<DWORD>((url.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool Run(const std::wstring& command, const std::wstring& argument) {
    using namespace kdesk::e2e;
    if (command == L"trust") return TrustRootCertificate(argument);
    if (command == L"url") return SetUploadUrl(argument);
    if (command == L"proxy" && argument == L"none") return WriteProxySettings(std::nullopt);
    if (command == L"proxy") return WriteProxySettings(ProxySettingsNaming(std::string(argument.begin(), argument.end())));
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: kdesk_upload_prefix trust CA.der | url URL | proxy HOST:PORT|none\n", stderr);
        return 2;
    }
    if (Run(argv[1], argv[2])) return 0;
    std::fprintf(stderr, "kdesk_upload_prefix %ls failed\n", argv[1]);
    return 1;
}
