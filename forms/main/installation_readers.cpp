#include <string>

#include "forms/main/frmMain.h"
#include "modules/modRegistry.h"

namespace kdesk {

namespace {

constexpr wchar_t kVerifyKey[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKdesk";

}  // namespace

void FrmMain::VerifyAndSetPathFromRegistry() {
    std::wstring text;
    if (!ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"VELKdesk", text)) return;
    vars_.gDataPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"CustomPathDataDir", text) && !text.empty())
        vars_.gDataPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"AppPath", text)) vars_.gAppPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"DriverType", text)) vars_.gDriverType = text;
}

std::int16_t FrmMain::ReadComPortFromFile() { return 0; }
std::wstring FrmMain::ReadMatricolaFromFile() { return {}; }

}  // namespace kdesk
