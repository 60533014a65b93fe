#include "platform/fake/fake_registry.h"
#include "tests/contract/registry_contract.h"

namespace kdesk::contract {

namespace {

class FakeRegistrySetup : public RegistrySetup {
public:
    FakeRegistrySetup() { registry_.AddKey(key_); }

    Registry& registry() override { return registry_; }
    const std::string& KeyPath() const override { return key_; }
    void PutValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        registry_.SetValue(key_, name, type, data);
    }
    bool MakeReadOnly() override {
        registry_.SetReadOnly(key_);
        return true;
    }

private:
    FakeRegistry registry_;
    std::string key_ = "Software\\KdeskSupport Contract\\Registry";
};

}  // namespace

std::unique_ptr<RegistrySetup> MakeRegistrySetup() { return std::make_unique<FakeRegistrySetup>(); }

}  // namespace kdesk::contract
