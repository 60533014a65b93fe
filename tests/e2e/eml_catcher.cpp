// A stand-in for the mail program Windows opens .eml files with: it copies the
// file it is given into the folder that KDESK_EML_CATCH names, and ends.
#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t folder[MAX_PATH] = {};
    const DWORD size = GetEnvironmentVariableW(L"KDESK_EML_CATCH", folder, MAX_PATH);
    if (!argv || argc < 2 || size == 0 || size >= MAX_PATH) return 1;
    const std::wstring source = argv[1];
    const std::wstring target = std::wstring(folder) + L"\\" + source.substr(source.find_last_of(L'\\') + 1);
    const bool copied = CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
    LocalFree(argv);
    return copied ? 0 : 2;
}
