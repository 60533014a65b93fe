#pragma once
// Prepares a point-of-sale installation inside the test's Wine prefix, from the
// Win32 test program itself: the Windows version Wine reports, the registry
// values under HKCU\SOFTWARE\VEL Vuvivazoror\VELKDESK (any type), folders and
// files. Everything is put back as it was when the object goes, so that tests
// sharing one prefix do not see each other's installations.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kdesk::e2e {

// HKCU\Software\Wine "Version" ("winxp", "vista", "win10", ...) for programs
// started from now on; the previous value (or its absence) comes back afterwards.
class WineVersion {
public:
    explicit WineVersion(const std::wstring& version);
    ~WineVersion();
    WineVersion(const WineVersion&) = delete;
    WineVersion& operator=(const WineVersion&) = delete;

private:
    std::optional<std::wstring> previous_;
};

// The key both spellings of the installation's key name.
inline constexpr wchar_t kInstallationKey[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK";

class Installation {
public:
    Installation();  // starts without any installation key
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // Registry values of the installation key.
    void SetString(const std::wstring& name, const std::wstring& text);  // REG_SZ with its NUL
    void SetDword(const std::wstring& name, std::uint32_t number);
    void SetValue(const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data);
    void DeleteValue(const std::wstring& name);

    // Folders and files; missing parents are made too. All are removed afterwards.
    void MakeFolder(const std::wstring& path);
    void WriteFile(const std::wstring& path, const std::string& bytes);
    // Keeps the file open without sharing, as the point-of-sale program might.
    void LockFile(const std::wstring& path);
    // Moves an existing folder out of the way until the installation goes.
    void HideFolder(const std::wstring& path);

    // A fresh empty folder of this installation's own, without trailing backslash.
    const std::wstring& Scratch() const { return scratch_; }
    // The prefix's common application-data folder (C:\ProgramData).
    static std::wstring CommonAppData();

private:
    std::wstring scratch_;
    std::vector<std::wstring> madeFolders_;
    std::vector<std::wstring> madeFiles_;
    std::vector<HANDLE> locks_;
    std::vector<std::wstring> hidden_;
};

}  // namespace kdesk::e2e
