#pragma once
// The registry through advapi32's ANSI functions.
#include "platform/registry.h"

namespace kdesk {

class Win32Registry : public Registry {
public:
    std::int32_t OpenKeyEx(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                           std::uint32_t samDesired, RegKey& key) override;
    std::int32_t QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                              std::uint32_t& size) override;
    std::int32_t CloseKey(RegKey key) override;
};

}  // namespace kdesk
