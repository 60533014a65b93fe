#include "modules/modRegistry.h"

#include <array>

#include "platform/runtime_error.h"

namespace kdesk {

namespace {

constexpr std::uint32_t kKeyAccessMask = 0x2003F;
constexpr std::uint32_t kValueBufferSize = 1024;
constexpr wchar_t kInstallationKey[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK";

// Closes the key on every way out of the reader, also when opening failed.
class RegistryKeyCloser {
public:
    explicit RegistryKeyCloser(Registry& registry) : registry_(registry) {}
    ~RegistryKeyCloser() { registry_.CloseKey(key_); }
    RegistryKeyCloser(const RegistryKeyCloser&) = delete;
    RegistryKeyCloser& operator=(const RegistryKeyCloser&) = delete;

    RegKey& Key() { return key_; }

private:
    Registry& registry_;
    RegKey key_ = 0;
};

// Keeps the first size-1 bytes when byte number `size` (from 1) is NUL, else the first size.
std::string CutAtStoredSize(const std::array<std::uint8_t, kValueBufferSize>& buffer, std::uint32_t size) {
    if (size == 0 || size > buffer.size()) throw RuntimeError(kErrInvalidProcedureCall);
    const std::size_t kept = buffer[size - 1] == 0 ? size - 1 : size;
    return std::string(reinterpret_cast<const char*>(buffer.data()), kept);
}

// The bytes from last to first as upper-case hex pairs behind "&h". The general
// formatting step without a pattern is taken to leave this text unchanged, so
// the DWORD 10 reads as "&h00000A" (not as the decimal "10").
std::wstring DwordBytesAsHex(const std::string& bytes) {
    static constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"&h";
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
        const auto byte = static_cast<unsigned char>(*it);
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

std::wstring ConvertByType(Runtime& runtime, std::uint32_t type, const std::string& bytes) {
    if (type == kRegSz) return runtime.FromAnsi(bytes);
    if (type == kRegDword) return DwordBytesAsHex(bytes);
    return {};
}

std::wstring ReadVerifiedFolder(Platform& platform, const std::wstring& valueName) {
    std::wstring text;
    if (!ReadRegistryValue(platform, kHkeyCurrentUser, kInstallationKey, valueName, text)) return {};
    if (text.empty()) return {};
    if (text.back() == L'\\') text.pop_back();
    try {
        // Mask 16 lists the folder's own entries, so an existing folder always yields one.
        if (platform.runtime.Dir(text + L"\\", kDirWithFolders).empty()) return {};
    } catch (const RuntimeError&) {
        // The test raised (a drive not ready, a server or share that cannot be
        // reached): execution goes on with the step that accepts the text, so
        // the configured folder is still shown and reported.
    }
    return text;
}

}  // namespace

bool IsValidKeyPath(const std::wstring& keyPath) {
    if (!keyPath.empty() && keyPath.front() == L'\\') return false;
    if (!keyPath.empty() && keyPath.back() == L'\\') return false;
    return keyPath.find(L"\\\\") == std::wstring::npos;
}

void CheckRegistryResult(std::int32_t status) {
    if (status != kErrorSuccess) throw RuntimeError(kErrInvalidProcedureCall);
}

bool ReadRegistryValue(Platform& platform, std::uint32_t root, const std::wstring& keyPath,
                       const std::wstring& valueName, std::wstring& value) {
    if (!IsValidKeyPath(keyPath)) return false;
    RegistryKeyCloser closer(platform.registry);
    try {
        CheckRegistryResult(platform.registry.OpenKeyEx(root, platform.runtime.ToAnsi(keyPath), 0, kKeyAccessMask,
                                                        closer.Key()));
        std::array<std::uint8_t, kValueBufferSize> buffer{};
        std::uint32_t type = 0;
        std::uint32_t size = kValueBufferSize;
        CheckRegistryResult(platform.registry.QueryValueEx(closer.Key(), platform.runtime.ToAnsi(valueName), type,
                                                           buffer.data(), size));
        std::wstring converted = ConvertByType(platform.runtime, type, CutAtStoredSize(buffer, size));
        value = std::move(converted);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

std::wstring ReadCustomPathDataDir(Platform& platform) { return ReadVerifiedFolder(platform, L"CustomPathDataDir"); }

std::wstring ReadAppPath(Platform& platform) { return ReadVerifiedFolder(platform, L"AppPath"); }

std::optional<std::wstring> ReadUploadUrl(Platform& platform) {
    std::wstring url;
    if (!ReadRegistryValue(platform, kHkeyCurrentUser, kInstallationKey, L"UploadUrl", url)) return std::nullopt;
    return url;
}

}  // namespace kdesk
