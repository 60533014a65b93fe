#pragma once
// OS version (GetVersionExA) and shell special folders (SHGetSpecialFolderPathA).
#include <windows.h>

#include "platform/shell.h"

namespace kdesk {

class Win32Shell : public Shell {
public:
    bool GetVersionEx(OsVersionInfo& info) override;
    bool GetSpecialFolderPath(std::string& path, int csidl, bool create) override;

    // The window that owns any dialog the shell shows (the main window once it exists).
    void SetOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

}  // namespace kdesk
