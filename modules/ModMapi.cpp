#include "modules/ModMapi.h"

#include "modules/ModMapi_steps.h"

namespace kdesk {

void FillAttachmentList(Platform& platform, const ModVariables& vars, ListBox& list) {
    SkipOnError([&] { list.BeginUpdate(); });
    SkipOnError([&] { list.Clear(); });
    AddFolderFilesToList(platform, list, vars.gDataPath, L"*.00" + std::to_wstring(vars.gComPort));
    AddFolderFilesToList(platform, list, vars.gTxtPath, L"*.TXT");
    SkipOnError([&] { list.EndUpdate(); });
}

void AddFolderFilesToList(Platform& platform, ListBox& list, const std::wstring& folder,
                          const std::wstring& pattern) {
    Runtime& runtime = platform.runtime;
    if (folder.empty()) return;
    // A folder that cannot be searched (missing, drive not ready) counts as empty.
    bool hasFiles = false;
    SkipOnError([&] { hasFiles = !runtime.Dir(folder + L"\\", kDirOrdinaryFiles).empty(); });
    if (!hasFiles) return;

    std::wstring name;
    SkipOnError([&] { name = runtime.Dir(folder + L"\\" + pattern, kDirOrdinaryFiles); });
    while (!name.empty()) {
        SkipOnError([&] { list.AddItem(folder + L"\\" + name); });
        // A search that fails to move on cannot be resumed: the scan ends there.
        if (!SkipOnError([&] { name = runtime.DirNext(); })) break;
    }
}

}  // namespace kdesk
