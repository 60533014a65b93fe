#pragma once
// An in-memory registry with the Win32 behaviour the reader relies on: key and
// value names compared without regard to case, typed values with raw bytes,
// ERROR_MORE_DATA for data larger than the buffer, and keys the user may only
// read (opening them for more than reading fails with ERROR_ACCESS_DENIED).
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace kdesk {

class FakeRegistry : public Registry {
public:
    // Registry
    std::int32_t OpenKeyEx(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                           std::uint32_t samDesired, RegKey& key) override;
    std::int32_t QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                              std::uint32_t& size) override;
    std::int32_t CloseKey(RegKey key) override;

    // Keys are created with their parents; the root is HKEY_CURRENT_USER unless given.
    void AddKey(const std::string& keyPath, std::uint32_t root = kHkeyCurrentUser);
    void SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> data, std::uint32_t root = kHkeyCurrentUser);
    // A REG_SZ value, stored with its terminating NUL unless told otherwise.
    void SetString(const std::string& keyPath, const std::string& name, const std::string& text,
                   bool withTerminator = true);
    void SetDword(const std::string& keyPath, const std::string& name, std::uint32_t number);
    void DeleteValue(const std::string& keyPath, const std::string& name);
    void SetReadOnly(const std::string& keyPath, bool readOnly = true);

    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int Calls() const { return calls_; }  // every Registry member call so far

private:
    struct StoredValue {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    struct StoredKey {
        std::map<std::string, StoredValue> values;  // by upper-case name
        bool readOnly = false;
    };
    static std::string KeyId(std::uint32_t root, const std::string& keyPath);
    StoredKey& KeyAt(const std::string& keyPath, std::uint32_t root = kHkeyCurrentUser);

    std::map<std::string, StoredKey> keys_;  // by root and upper-case path
    std::map<RegKey, std::string> handles_;
    RegKey nextHandle_ = 0x1000;
    int calls_ = 0;
};

}  // namespace kdesk
