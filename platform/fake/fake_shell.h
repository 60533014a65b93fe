#pragma once
// Placeholder: the in-memory shell comes next.
#include "platform/shell.h"

namespace kdesk {

class FakeShell : public Shell {
public:
    bool GetVersionEx(OsVersionInfo&) override { return false; }
    bool GetSpecialFolderPath(std::string&, int, bool) override { return false; }
};

}  // namespace kdesk
