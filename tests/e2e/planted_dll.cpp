// A DLL that the e2e tests put beside a copy of the program under the names of
// Windows' own DLLs. Once loaded, it leaves "<its own path>.loaded" beside itself.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(instance, path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    path.resize(length);
    path += L".loaded";
    const HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
