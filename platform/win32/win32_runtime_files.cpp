// Directory search, attribute query and file input of the Win32 runtime. Paths
// of 260 characters or more reach the system in their extended-length form.
#include <algorithm>

#include "platform/portable/dir_filter.h"
#include "platform/portable/file_errors.h"
#include "platform/portable/volume_root.h"
#include "platform/win32/file_api_path.h"
#include "platform/win32/win32_runtime.h"

namespace kdesk {

namespace {

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(UniqueFileHandle file) : file_(std::move(file)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file_.Get(), buffer, wanted, &got, nullptr)) throw FileErrorFromWin32(GetLastError());
        return got;
    }

private:
    UniqueFileHandle file_;
};

// A search that finds nothing raises when the volume itself cannot be reached;
// a folder or file that is not there is no error. Not found on a volume whose
// root cannot be read either means a drive, server or share that is not there.
void RaiseIfVolumeUnreachable(const std::wstring& query, DWORD error) {
    if (auto raised = SearchErrorFromWin32(error)) throw *raised;
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return;
    const std::wstring root = VolumeRoot(query);
    if (root.empty() || GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    throw UnreachableVolumeError(GetLastError());
}

}  // namespace

std::wstring Win32Runtime::Dir(const std::wstring& pattern, std::uint32_t mask) {
    search_.Reset();
    searchMask_ = mask;
    if (pattern.empty()) return {};
    std::wstring query = pattern;
    if (query.back() == L'\\' || query.back() == L'/') query += L'*';  // the folder's own entries
    WIN32_FIND_DATAW data;
    const std::wstring apiQuery = ForFileApi(query);
    const HANDLE first = FindFirstFileW(apiQuery.c_str(), &data);
    if (first == INVALID_HANDLE_VALUE) {
        RaiseIfVolumeUnreachable(query, GetLastError());
        return {};
    }
    search_ = UniqueFindHandle(first);
    if (IsListedByMask(data.dwFileAttributes, searchMask_)) return data.cFileName;
    return NextListed(data);
}

std::wstring Win32Runtime::DirNext() {
    WIN32_FIND_DATAW data;
    return NextListed(data);
}

std::wstring Win32Runtime::NextListed(WIN32_FIND_DATAW& data) {
    while (search_.Valid() && FindNextFileW(search_.Get(), &data)) {
        if (IsListedByMask(data.dwFileAttributes, searchMask_)) return data.cFileName;
    }
    search_.Reset();
    return {};
}

std::optional<std::uint32_t> Win32Runtime::GetAttr(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::unique_ptr<InputFile> Win32Runtime::OpenForInput(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) throw FileErrorFromWin32(GetLastError());
    return std::make_unique<Win32InputFile>(std::move(file));
}

}  // namespace kdesk
