#pragma once
// What the registry contract cases need around the Registry under test: a fresh
// key under HKEY_CURRENT_USER with values of any type, removed afterwards, and a
// way to leave it readable only. The fake and the Win32 runs each provide one.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace kdesk::contract {

class RegistrySetup {
public:
    virtual ~RegistrySetup() = default;

    virtual Registry& registry() = 0;
    // The case's key under HKEY_CURRENT_USER, without leading or trailing backslash.
    virtual const std::string& KeyPath() const = 0;
    virtual void PutValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) = 0;
    // Lets the user only read the key; false when the platform does not enforce it.
    virtual bool MakeReadOnly() = 0;
};

std::unique_ptr<RegistrySetup> MakeRegistrySetup();

}  // namespace kdesk::contract
