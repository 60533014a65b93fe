#pragma once
// Placeholder: the Win32 registry comes next.
#include "platform/registry.h"

namespace kdesk {

class Win32Registry : public Registry {
public:
    std::int32_t OpenKeyEx(std::uint32_t, const std::string&, std::uint32_t, std::uint32_t, RegKey&) override {
        return kErrorFileNotFound;
    }
    std::int32_t QueryValueEx(RegKey, const std::string&, std::uint32_t&, std::uint8_t*, std::uint32_t&) override {
        return kErrorInvalidHandle;
    }
    std::int32_t CloseKey(RegKey) override { return kErrorInvalidHandle; }
};

}  // namespace kdesk
