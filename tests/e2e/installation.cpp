#include "tests/e2e/installation.h"

#include <shlobj.h>

#include <stdexcept>

namespace kdesk::e2e {

namespace {

constexpr wchar_t kWineKey[] = L"Software\\Wine";
constexpr wchar_t kVendorKey[] = L"SOFTWARE\\VEL Vuvivazoror";
constexpr wchar_t kHiddenSuffix[] = L".kdesk-hidden";

class OpenKey {
public:
    OpenKey(HKEY root, const wchar_t* path) {
        if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot open a registry key for the installation");
    }
    ~OpenKey() { RegCloseKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::optional<std::wstring> ReadWineVersion() {
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kWineKey, L"Version", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

void WriteWineVersion(const std::optional<std::wstring>& version) {
    OpenKey key(HKEY_CURRENT_USER, kWineKey);
    if (!version) {
        RegDeleteValueW(key.get(), L"Version");
        return;
    }
    RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version->c_str()),
                   static_cast<DWORD>((version->size() + 1) * sizeof(wchar_t)));
}

void RemoveInstallationKeys() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kInstallationKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kVendorKey);  // only when nothing else is left in it
}

std::wstring ParentOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

WineVersion::WineVersion(const std::wstring& version) : previous_(ReadWineVersion()) { WriteWineVersion(version); }

WineVersion::~WineVersion() { WriteWineVersion(previous_); }

Installation::Installation() {
    RemoveInstallationKeys();
    scratch_ = L"C:\\kdesk-e2e-" + std::to_wstring(GetCurrentProcessId());
    MakeFolder(scratch_);
}

Installation::~Installation() {
    for (HANDLE lock : locks_) CloseHandle(lock);
    for (auto it = madeFiles_.rbegin(); it != madeFiles_.rend(); ++it) {
        SetFileAttributesW(it->c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(it->c_str());
    }
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) RemoveDirectoryW(it->c_str());
    for (const auto& path : hidden_) MoveFileW((path + kHiddenSuffix).c_str(), path.c_str());
    RemoveInstallationKeys();
}

void Installation::SetString(const std::wstring& name, const std::wstring& text) {
    OpenKey key(HKEY_CURRENT_USER, kInstallationKey);
    RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void Installation::SetDword(const std::wstring& name, std::uint32_t number) {
    OpenKey key(HKEY_CURRENT_USER, kInstallationKey);
    const DWORD data = number;
    RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Installation::SetValue(const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data) {
    OpenKey key(HKEY_CURRENT_USER, kInstallationKey);
    RegSetValueExW(key.get(), name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                   static_cast<DWORD>(data.size()));
}

void Installation::DeleteValue(const std::wstring& name) {
    OpenKey key(HKEY_CURRENT_USER, kInstallationKey);
    RegDeleteValueW(key.get(), name.c_str());
}

void Installation::MakeFolder(const std::wstring& path) {
    if (path.empty() || Exists(path)) return;
    MakeFolder(ParentOf(path));
    if (!CreateDirectoryW(path.c_str(), nullptr)) throw std::runtime_error("cannot make a folder");
    madeFolders_.push_back(path);
}

void Installation::WriteFile(const std::wstring& path, const std::string& bytes) {
    MakeFolder(ParentOf(path));
    const bool existed = Exists(path);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a file");
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a file");
    if (!existed) madeFiles_.push_back(path);
}

void Installation::LockFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot lock a file");
    locks_.push_back(file);
}

void Installation::HideFolder(const std::wstring& path) {
    if (!Exists(path)) return;
    if (!MoveFileW(path.c_str(), (path + kHiddenSuffix).c_str())) throw std::runtime_error("cannot hide a folder");
    hidden_.push_back(path);
}

std::wstring Installation::CommonAppData() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    return folder;
}

}  // namespace kdesk::e2e
