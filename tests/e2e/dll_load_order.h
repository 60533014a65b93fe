// Wine's DLL load order for KdeskSupport.exe started meanwhile, in the prefix's
// per-program settings (Wine reads WINEDLLOVERRIDES only from the Unix
// environment, which a program started from this one does not take from ours).
#pragma once

#include <string>
#include <vector>

namespace kdesk::e2e {

class ProgramDllOverride {
public:
    // DLL names without ".dll"; order as in WINEDLLOVERRIDES ("native,builtin", "disabled").
    ProgramDllOverride(std::vector<std::wstring> dlls, const std::wstring& order);
    ~ProgramDllOverride();
    ProgramDllOverride(const ProgramDllOverride&) = delete;
    ProgramDllOverride& operator=(const ProgramDllOverride&) = delete;

private:
    std::vector<std::wstring> dlls_;
};

}  // namespace kdesk::e2e
