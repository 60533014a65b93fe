#include <string>

#include "forms/main/frmMain.h"
#include "modules/ModGetVersion.h"
#include "modules/ModMapi.h"
#include "modules/modRegistry.h"

namespace kdesk {

namespace {

constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kVistaMajorVersion = 6;

bool IsExistingFolder(Runtime& runtime, const std::wstring& path) {
    try {
        const auto attributes = runtime.GetAttr(path);
        return attributes && (*attributes & kAttrDirectory) != 0;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace

// Vista or later. The manifest names Windows 10 as supported, so Windows 10
// and 11 report 10.0 to the program (without a manifest they reported 6.2):
// they have the common application-data folder as Vista has.
bool FrmMain::IsOS_Vista() {
    OsVersionInfo info;
    info.osVersionInfoSize = kOsVersionInfoASize;
    platform_.shell.GetVersionEx(info);
    return info.platformId == kPlatformNt && info.majorVersion >= kVistaMajorVersion;
}

std::wstring FrmMain::Read_CSIDL_COMMON_APPDATA() {
    std::string path;
    bool obtained = false;
    try {
        obtained = platform_.shell.GetSpecialFolderPath(path, kCsidlCommonAppData, true);
    } catch (const RuntimeError&) {
        obtained = false;
    }
    if (!obtained || path.empty()) {
        platform_.runtime.MsgBox(L"Path non disponibile", MsgButtons::Ok);
        return {};
    }
    return platform_.runtime.FromAnsi(path);
}

void FrmMain::Form_Load() {
    Runtime& runtime = platform_.runtime;
    if (IsOS_Vista()) {
        const std::wstring commonAppData = Read_CSIDL_COMMON_APPDATA();
        vars_.gDataPath = commonAppData.empty() ? runtime.Facts().ownFolder : commonAppData + L"\\VELKDESK";
        if (!IsExistingFolder(runtime, vars_.gDataPath)) {
            runtime.MsgBox(vars_.gDataPath + L" : DIR NON ESISTENTE", MsgButtons::Ok);
            runtime.EndProgram();
            return;
        }
    } else {
        vars_.gDataPath = runtime.Facts().ownFolder;
    }

    std::wstring customDataDir = ReadCustomPathDataDir(platform_);
    if (!customDataDir.empty()) {
        if (customDataDir.back() == L'\\') customDataDir.pop_back();
        vars_.gDataPath = customDataDir;
    }

    vars_.gAppPath = ReadAppPath(platform_);
    vars_.gTxtPath = vars_.gAppPath;
    VerifyAndSetPathFromRegistry();

    vars_.gComPort = ReadComPortFromFile();
    controls_.txtComPort.SetText(std::to_wstring(vars_.gComPort));
    controls_.txtAppDataVista.SetText(vars_.gDataPath);
    controls_.txtKdeskPath.SetText(vars_.gAppPath);
    controls_.txtMatr.SetText(ReadMatricolaFromFile());
    controls_.txtVersion.SetText(GetFileVersionString(platform_, vars_.gAppPath + L"\\kdmain.EXE"));
    controls_.txtDriverType.SetText(vars_.gDriverType);
    controls_.txtDataCreazione.SetText(GetFileDateLastModified(platform_, vars_.gAppPath + L"\\kdmain.exe"));
    FillAttachmentList(platform_, vars_, controls_.List1);
}

}  // namespace kdesk
