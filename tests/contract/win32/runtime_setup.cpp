#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/file_api_path.h"
#include "platform/win32/win32_runtime.h"
#include "tests/contract/runtime_contract.h"

namespace kdesk::contract {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(GetLastError()));
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) Fail("GetTempPathW");
    std::wstring folder(buffer, length);
    if (folder.back() == L'\\') folder.pop_back();
    return folder;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW(ForFileApi(path + L"\\*").c_str(), &data));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &data)) {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = path;
        child.append(L"\\").append(name);
        SetFileAttributesW(ForFileApi(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else
            DeleteFileW(ForFileApi(child).c_str());
    }
    search.Reset();
    SetFileAttributesW(ForFileApi(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(ForFileApi(path).c_str());
}

// A removable or CD drive without media, when this machine has one.
std::optional<std::wstring> DriveWithoutMedia() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (!(drives & (1u << (letter - L'A')))) continue;
        const UINT type = GetDriveTypeW(root.c_str());
        if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) continue;
        if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_NOT_READY)
            return root + L"Dati";
    }
    return std::nullopt;
}

std::wstring FolderOnAMissingDrive() {
    const DWORD drives = GetLogicalDrives();
    wchar_t letter = L'Z';
    while (letter > L'D' && (drives & (1u << (letter - L'A')))) --letter;
    return std::wstring(1, letter) + L":\\Kdesk";
}

// A real folder under the temp folder, removed with everything in it at the end.
class Win32RuntimeSetup : public RuntimeSetup {
public:
    Win32RuntimeSetup() {
        static int made = 0;
        root_ = TempFolder() + L"\\kdesk-contract-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++made);
        RemoveTree(root_);
        if (!CreateDirectoryW(root_.c_str(), nullptr)) Fail("CreateDirectoryW");
    }
    ~Win32RuntimeSetup() override {
        runtime_.reset();  // ends a search still open on the folder
        locks_.clear();
        RemoveTree(root_);
    }
    Win32RuntimeSetup(const Win32RuntimeSetup&) = delete;
    Win32RuntimeSetup& operator=(const Win32RuntimeSetup&) = delete;

    Runtime& runtime() override { return *runtime_; }
    const std::wstring& Root() const override { return root_; }

    void MakeFolder(const std::wstring& path, std::uint32_t extraAttributes) override {
        const std::wstring apiPath = ForFileApi(path);
        if (!CreateDirectoryW(apiPath.c_str(), nullptr)) Fail("CreateDirectoryW");
        if (extraAttributes && !SetFileAttributesW(apiPath.c_str(), FILE_ATTRIBUTE_DIRECTORY | extraAttributes))
            Fail("SetFileAttributesW");
    }

    void MakeFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override {
        const std::wstring apiPath = ForFileApi(path);
        {
            UniqueFileHandle file(
                CreateFileW(apiPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.Valid()) Fail("CreateFileW");
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
                Fail("WriteFile");
        }
        if (!SetFileAttributesW(apiPath.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
            Fail("SetFileAttributesW");
    }

    void Lock(const std::wstring& path) override {
        UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) Fail("CreateFileW");
        locks_.push_back(std::move(file));
    }

    // Under Wine a UNC path reaches no network: the server and the share are
    // both missing there. The .invalid name never resolves (RFC 6761).
    std::optional<std::wstring> FolderOn(Unreachable volume) override {
        switch (volume) {
            case Unreachable::MissingDrive:
                return FolderOnAMissingDrive();
            case Unreachable::MissingServer:
                return L"\\\\kdesk-no-such-host.invalid\\kdesk\\Dati";
            case Unreachable::MissingShare:
                return L"\\\\localhost\\kdesk-no-such-share\\Dati";
            case Unreachable::DriveNotReady:
                return DriveWithoutMedia();
        }
        return std::nullopt;
    }

private:
    std::unique_ptr<Win32Runtime> runtime_ = std::make_unique<Win32Runtime>();
    std::wstring root_;
    std::vector<UniqueFileHandle> locks_;
};

}  // namespace

std::unique_ptr<RuntimeSetup> MakeRuntimeSetup() { return std::make_unique<Win32RuntimeSetup>(); }

}  // namespace kdesk::contract
