#include <windows.h>
#include <sddl.h>

#include <stdexcept>

#include "platform/win32/win32_registry.h"
#include "tests/contract/registry_contract.h"

namespace kdesk::contract {

namespace {

constexpr char kParentKey[] = "Software\\KdeskSupport Contract";

class OwnedKey {
public:
    explicit OwnedKey(HKEY key) : key_(key) {}
    ~OwnedKey() {
        if (key_) RegCloseKey(key_);
    }
    OwnedKey(OwnedKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_;
};

class OwnedSecurityDescriptor {
public:
    explicit OwnedSecurityDescriptor(const char* sddl) {
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor_, nullptr);
    }
    ~OwnedSecurityDescriptor() { LocalFree(descriptor_); }
    OwnedSecurityDescriptor(const OwnedSecurityDescriptor&) = delete;
    OwnedSecurityDescriptor& operator=(const OwnedSecurityDescriptor&) = delete;
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

OwnedKey CreateFreshKey(const std::string& path) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create the contract key");
    return OwnedKey(key);
}

// Values are written with RegSetValueExA under a key of this process's own.
class Win32RegistrySetup : public RegistrySetup {
public:
    Win32RegistrySetup() : path_(std::string(kParentKey) + "\\Registry " + std::to_string(GetCurrentProcessId())),
                           key_(CreateFreshKey(path_)) {}
    ~Win32RegistrySetup() override {
        if (readOnly_) {
            // The handle kept from creation still has WRITE_DAC: give full access back.
            OwnedSecurityDescriptor full("D:(A;;KA;;;WD)");
            RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, full.get());
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kParentKey);  // only when no other run uses it
    }

    Registry& registry() override { return registry_; }
    const std::string& KeyPath() const override { return path_; }
    // RegSetValueExA counts a NUL that follows a string's bytes in memory as
    // part of it: a byte that is not NUL after the data keeps the size as given.
    void PutValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        std::vector<std::uint8_t> followed(data);
        followed.push_back('#');
        if (RegSetValueExA(key_.get(), name.c_str(), 0, type, data.empty() ? nullptr : followed.data(),
                           static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
            throw std::runtime_error("cannot write the contract value " + name);
    }
    bool MakeReadOnly() override {
        OwnedSecurityDescriptor readOnly("D:P(A;;KR;;;WD)");
        if (!readOnly.get() ||
            RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, readOnly.get()) != ERROR_SUCCESS)
            return false;
        readOnly_ = true;
        HKEY probe = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &probe) != ERROR_SUCCESS) return true;
        RegCloseKey(probe);
        return false;
    }

private:
    std::string path_;
    OwnedKey key_;
    Win32Registry registry_;
    bool readOnly_ = false;
};

}  // namespace

std::unique_ptr<RegistrySetup> MakeRegistrySetup() { return std::make_unique<Win32RegistrySetup>(); }

}  // namespace kdesk::contract
