// The second yardstick of the start-up benchmark: the system work KdeskSupport
// must do before its window is shown, in the same order, and then one plain
// window of the main window's size. It reads the OS version, the common
// application-data folder through shell32, the installation's registry key,
// the port-check and serial-number files, the version resource (version.dll
// loaded from the system folder, as the program loads it) and the date of
// kdmain.exe, and lists the two attachment folders. It builds no control,
// font, menu or icon: the gap to the program is the program's own work.
// Built a second time with KDESK_WITH_MAIN_CONTROLS (required_work_controls),
// it also gives the plain window the main window's controls, made by the
// program's own code before the work, as the program makes them: what is left
// of the gap is the program's work beyond its controls (menu, icons, filling
// the controls in, its own layers).
// Built by the same toolchain and flags as KdeskSupport.exe.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "forms/main/main_layout.h"

#ifdef KDESK_WITH_MAIN_CONTROLS
#include "app/window_builder.h"
#endif

namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr char kInstallationKey[] = "SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
constexpr DWORD kKeyAccess = 0x2003F;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

// One value of the installation's key, opened and closed for each read as the program does.
std::wstring RegistryText(const char* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInstallationKey, 0, kKeyAccess, &key) != ERROR_SUCCESS) return {};
    char buffer[1024] = {};
    DWORD size = sizeof buffer, type = 0;
    const LONG status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ || size == 0) return {};
    return Wide(std::string(buffer, buffer[size - 1] == '\0' ? size - 1 : size));
}

// The number of entries a search finds.
int CountMatches(const std::wstring& pattern) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 1;
    while (FindNextFileW(search, &data)) ++count;
    FindClose(search);
    return count;
}

std::wstring TrimmedFolder(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[512];
    DWORD got = 0;
    std::string text;
    if (ReadFile(file, buffer, sizeof buffer, &got, nullptr)) text.assign(buffer, got);
    CloseHandle(file);
    return text;
}

int PortOf(const std::string& text) {
    switch (std::atoi(text.c_str())) {
        case 1000: return 1;
        case 100: return 2;
        case 10: return 3;
        case 1: return 4;
        default: return 0;
    }
}

// kdmain.exe's product version through version.dll, loaded as the program loads it.
std::wstring ProductVersion(const std::wstring& path) {
    static HMODULE library = LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return {};
    const auto size = reinterpret_cast<decltype(&GetFileVersionInfoSizeW)>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoSizeW")));
    const auto read = reinterpret_cast<decltype(&GetFileVersionInfoW)>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoW")));
    const auto query = reinterpret_cast<decltype(&VerQueryValueW)>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerQueryValueW")));
    DWORD handle = 0;
    const DWORD bytes = size ? size(path.c_str(), &handle) : 0;
    if (!bytes || !read || !query) return {};
    std::string block(bytes, '\0');
    if (!read(path.c_str(), 0, bytes, block.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    if (!query(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) return {};
    const auto* translation = static_cast<const WORD*>(value);
    wchar_t key[64];
    std::swprintf(key, 64, L"\\StringFileInfo\\%04X%04X\\", translation[0], translation[1]);
    std::wstring product;
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                                L"LegalCopyright", L"OriginalFileName", L"ProductName", L"ProductVersion"}) {
        if (!query(block.data(), (std::wstring(key) + name).c_str(), &value, &length)) return {};
        product = static_cast<const wchar_t*>(value);
    }
    return product;
}

std::wstring FileDate(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME utc{}, local{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return {};
    wchar_t date[80] = {}, time[80] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 80);
    return std::wstring(date) + L" " + time;
}

// The start-up's system calls on the installation, in the program's order.
// Returns a figure that depends on all of them, so none is left out.
std::size_t RequiredWork(HWND owner) {
    OSVERSIONINFOA os{};
    os.dwOSVersionInfoSize = sizeof os;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&os);
#pragma GCC diagnostic pop
    char common[MAX_PATH + 1] = {};
    SHGetSpecialFolderPathA(owner, common, CSIDL_COMMON_APPDATA, TRUE);
    std::wstring dataPath = Wide(common) + L"\\VELKDESK";
    GetFileAttributesW(dataPath.c_str());

    const std::wstring customDataDir = TrimmedFolder(RegistryText("CustomPathDataDir"));
    if (!customDataDir.empty() && CountMatches(customDataDir + L"\\*")) dataPath = customDataDir;
    std::wstring appPath = TrimmedFolder(RegistryText("AppPath"));
    if (!appPath.empty() && !CountMatches(appPath + L"\\*")) appPath.clear();
    const std::wstring registered = RegistryText("VELKdesk");
    if (!registered.empty()) dataPath = registered;
    if (const std::wstring custom = RegistryText("CustomPathDataDir"); !custom.empty()) dataPath = custom;
    if (const std::wstring app = RegistryText("AppPath"); !app.empty()) appPath = app;
    const std::wstring driverType = RegistryText("DriverType");

    const std::wstring portFile = appPath + L"\\KDCHKCOM.TXT";
    const int port = CountMatches(portFile) ? PortOf(ReadSmallFile(portFile)) : 0;
    const std::string serial = ReadSmallFile(dataPath + L"\\SR_MATR.00" + std::to_wstring(port));
    const std::wstring version = ProductVersion(appPath + L"\\kdmain.EXE");
    const std::wstring date = FileDate(appPath + L"\\kdmain.exe");
    const int attachments =
        CountMatches(dataPath + L"\\*.00" + std::to_wstring(port)) + CountMatches(appPath + L"\\*.TXT");
    return driverType.size() + serial.size() + version.size() + date.size() + static_cast<std::size_t>(attachments);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    SetDllDirectoryW(L"");
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"KdeskRequiredWorkWindow";
    if (!RegisterClassW(&windowClass)) return 1;
    int dpiX = 96, dpiY = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    // The main window's outer size: its client area and a menu bar's height.
    RECT frame{0, 0, kdesk::TwipsToPixels(kdesk::kMainClientWidthTwips, dpiX),
               kdesk::TwipsToPixels(kdesk::kMainClientHeightTwips, dpiY)};
    AdjustWindowRectEx(&frame, kStyle, TRUE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Required work", kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
#ifdef KDESK_WITH_MAIN_CONTROLS
    const kdesk::ControlSet controls(window, kdesk::MainLayout(), kdesk::Dpi{dpiX, dpiY}, kdesk::MainCaptions());
#endif
    if (RequiredWork(window) == 0) return 2;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
