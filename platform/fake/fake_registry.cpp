#include "platform/fake/fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kdesk {

namespace {

// KEY_READ: what a user granted only read access may open the key for.
constexpr std::uint32_t kKeyRead = 0x20019;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool IsKnownRoot(std::uint32_t root) { return root >= 0x80000000 && root <= 0x80000006; }

}  // namespace

std::string FakeRegistry::KeyId(std::uint32_t root, const std::string& keyPath) {
    return std::to_string(root) + "\\" + Upper(keyPath);
}

FakeRegistry::StoredKey& FakeRegistry::KeyAt(const std::string& keyPath, std::uint32_t root) {
    for (auto cut = keyPath.find('\\'); cut != std::string::npos; cut = keyPath.find('\\', cut + 1))
        keys_[KeyId(root, keyPath.substr(0, cut))];
    return keys_[KeyId(root, keyPath)];
}

void FakeRegistry::AddKey(const std::string& keyPath, std::uint32_t root) { KeyAt(keyPath, root); }

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> data, std::uint32_t root) {
    KeyAt(keyPath, root).values[Upper(name)] = {type, std::move(data)};
}

void FakeRegistry::SetString(const std::string& keyPath, const std::string& name, const std::string& text,
                             bool withTerminator) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    if (withTerminator) data.push_back(0);
    SetValue(keyPath, name, kRegSz, std::move(data));
}

void FakeRegistry::SetDword(const std::string& keyPath, const std::string& name, std::uint32_t number) {
    std::vector<std::uint8_t> data(4);
    for (int i = 0; i < 4; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(number >> (8 * i));
    SetValue(keyPath, name, kRegDword, std::move(data));
}

void FakeRegistry::DeleteValue(const std::string& keyPath, const std::string& name) {
    KeyAt(keyPath).values.erase(Upper(name));
}

void FakeRegistry::SetReadOnly(const std::string& keyPath, bool readOnly) { KeyAt(keyPath).readOnly = readOnly; }

std::int32_t FakeRegistry::OpenKeyEx(std::uint32_t root, const std::string& subKey, std::uint32_t,
                                     std::uint32_t samDesired, RegKey& key) {
    ++calls_;
    if (!IsKnownRoot(root)) return kErrorInvalidHandle;
    const auto found = keys_.find(KeyId(root, subKey));
    if (!subKey.empty() && found == keys_.end()) return kErrorFileNotFound;
    if (found != keys_.end() && found->second.readOnly && (samDesired & ~kKeyRead) != 0)
        return kErrorAccessDenied;
    key = nextHandle_++;
    handles_[key] = KeyId(root, subKey);
    return kErrorSuccess;
}

std::int32_t FakeRegistry::QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t& type,
                                        std::uint8_t* data, std::uint32_t& size) {
    ++calls_;
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return kErrorInvalidHandle;
    const StoredKey& stored = keys_[handle->second];
    const auto value = stored.values.find(Upper(valueName));
    if (value == stored.values.end()) return kErrorFileNotFound;
    type = value->second.type;
    const auto needed = static_cast<std::uint32_t>(value->second.data.size());
    if (data != nullptr && size < needed) {
        size = needed;
        return kErrorMoreData;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value->second.data.data(), needed);
    size = needed;
    return kErrorSuccess;
}

std::int32_t FakeRegistry::CloseKey(RegKey key) {
    ++calls_;
    return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace kdesk
