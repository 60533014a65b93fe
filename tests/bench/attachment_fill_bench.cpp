// Benchmark (not a test): times the bare directory enumeration of a folder of
// many matching files and FillAttachmentList over the same folder into a real,
// hidden list box, and prints both and their ratio.
// Usage: attachment_fill_bench [FOLDER [COUNT]]; the folder is filled with COUNT
// files named *.001 when it holds fewer.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "app/win32_controls.h"
#include "modules/ModMapi.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_version_info.h"
#include "tests/bench/bench_measures.h"

namespace {

using kdesk::bench::BestTime;
using kdesk::bench::kRounds;



int CountMatching(const std::wstring& pattern) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            ++count;
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return count;
}

void FillFolder(const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    if (CountMatching(folder + L"\\*.001") >= count) return;
    std::printf("creating %d files in %ls ...\n", count, folder.c_str());
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\SR_%07d.001", i);
        HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
}

std::wstring DefaultFolder() {
    wchar_t path[MAX_PATH];
    const DWORD size = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, size);
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\bench_attachments";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring folder = argc > 1 ? argv[1] : DefaultFolder();
    const int count = argc > 2 ? _wtoi(argv[2]) : 100000;
    FillFolder(folder, count);

    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                0, 0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!list) return 1;
    kdesk::Win32ListBox listBox(list);
    kdesk::Win32Runtime runtime;
    kdesk::Win32Registry registry;
    kdesk::Win32Shell shell;
    kdesk::Win32VersionInfo versionInfo;
    kdesk::Platform platform{runtime, registry, shell, versionInfo};
    kdesk::ModVariables vars;
    vars.gDataPath = folder;
    vars.gComPort = 1;

    int enumerated = 0;
    const double enumeration = BestTime([&] { enumerated = CountMatching(folder + L"\\*.001"); });
    const double fill = BestTime([&] { kdesk::FillAttachmentList(platform, vars, listBox); });

    const int listed = listBox.ListCount();
    std::printf("files:       %d enumerated, %d listed\n", enumerated, listed);
    std::printf("enumeration: %.1f ms (FindFirstFileW/FindNextFileW, best of %d)\n", enumeration, kRounds);
    std::printf("fill:        %.1f ms (FillAttachmentList into a hidden list box, best of %d)\n", fill, kRounds);
    std::printf("ratio:       %.2f (goal: at most 1.50)\n", enumeration > 0 ? fill / enumeration : 0.0);
    DestroyWindow(list);
    return listed == enumerated ? 0 : 2;
}
