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
    // A folder that is missing, cannot be searched or holds no ordinary file
    // yields no match either, so the patterned search answers that question too
    // (a separate search of the whole folder costs a full directory read).
    std::wstring name;
    SkipOnError([&] { name = runtime.Dir(folder + L"\\" + pattern, kDirOrdinaryFiles); });
    while (!name.empty()) {
        SkipOnError([&] { list.AddItem(std::wstring(folder).append(L"\\").append(name)); });
        // A search that fails to move on cannot be resumed: the scan ends there.
        if (!SkipOnError([&] { name = runtime.DirNext(); })) break;
    }
}

}  // namespace kdesk
