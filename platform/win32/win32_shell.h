#pragma once
// Placeholder: the Win32 shell services come next.
#include "platform/shell.h"

namespace kdesk {

class Win32Shell : public Shell {
public:
    bool GetVersionEx(OsVersionInfo&) override { return false; }
    bool GetSpecialFolderPath(std::string&, int, bool) override { return false; }
};

}  // namespace kdesk
