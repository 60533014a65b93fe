#include "platform/win32/win32_version_info.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/file_api_path.h"
#include "platform/win32/system_library.h"

// <windows.h> maps these names to their W functions; here they are the service's methods.
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo

namespace kdesk {
namespace {

// version.dll, loaded from the system folder the first time a version is read:
// as a static import it would be searched for beside the program first.
struct VersionLibrary {
    SystemLibrary library{L"version.dll"};
    decltype(&GetFileVersionInfoSizeW) size =
        library.Function<decltype(GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    decltype(&GetFileVersionInfoW) read = library.Function<decltype(GetFileVersionInfoW)>("GetFileVersionInfoW");
    decltype(&VerQueryValueW) query = library.Function<decltype(VerQueryValueW)>("VerQueryValueW");
};

const VersionLibrary& Version() {
    static const VersionLibrary library;
    return library;
}

// The value a sub-block path addresses, checked to lie inside the block: the
// bytes from the value to the block's end, and its length as version.dll gives it.
struct QueriedValue {
    const std::uint8_t* data = nullptr;
    std::size_t available = 0;
    UINT length = 0;
};

std::optional<QueriedValue> Query(const std::vector<std::uint8_t>& block, const std::wstring& subBlock) {
    if (block.empty()) return std::nullopt;
    const auto query = Version().query;
    void* pointer = nullptr;
    UINT length = 0;
    if (!query || !query(block.data(), subBlock.c_str(), &pointer, &length) || !pointer) return std::nullopt;
    const auto* data = static_cast<const std::uint8_t*>(pointer);
    if (data < block.data() || data > block.data() + block.size()) return std::nullopt;
    return QueriedValue{data, static_cast<std::size_t>(block.data() + block.size() - data), length};
}

}  // namespace

std::uint32_t Win32VersionInfo::GetFileVersionInfoSize(const std::wstring& path) {
    const auto size = Version().size;
    DWORD handle = 0;
    return size ? size(path.c_str(), &handle) : 0;
}

bool Win32VersionInfo::GetFileVersionInfo(const std::wstring& path, std::vector<std::uint8_t>& block) {
    const auto read = Version().read;
    if (block.empty() || !read) return false;
    return read(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) != FALSE;
}

std::optional<std::vector<std::uint8_t>> Win32VersionInfo::QueryTranslation(const std::vector<std::uint8_t>& block) {
    auto value = Query(block, L"\\VarFileInfo\\Translation");
    if (!value) return std::nullopt;
    const std::size_t size = std::min<std::size_t>(value->length, value->available);
    return std::vector<std::uint8_t>(value->data, value->data + size);
}

// Read up to the NUL but never past the block, whatever the value holds.
std::optional<std::wstring> Win32VersionInfo::QueryString(const std::vector<std::uint8_t>& block,
                                                          const std::wstring& subBlock) {
    auto value = Query(block, subBlock);
    if (!value) return std::nullopt;
    std::wstring text;
    if (value->length == 0) return text;
    for (std::size_t at = 0; at + 2 <= value->available; at += 2) {
        const auto unit = static_cast<wchar_t>(value->data[at] | (value->data[at + 1] << 8));
        if (unit == L'\0') break;
        text.push_back(unit);
    }
    return text;
}

std::optional<LocalDateTime> Win32VersionInfo::FileLastModified(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ForFileApi(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) return std::nullopt;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return std::nullopt;
    return LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

}  // namespace kdesk
