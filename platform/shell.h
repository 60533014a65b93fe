#pragma once
// Operating-system version and shell special folders.
#include <array>
#include <cstdint>
#include <string>

namespace kdesk {

// The platform's OSVERSIONINFOA record.
struct OsVersionInfo {
    std::uint32_t osVersionInfoSize = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::array<char, 128> csdVersion{};
};

inline constexpr std::uint32_t kOsVersionInfoASize = 148;
inline constexpr int kCsidlCommonAppData = 0x23;

class Shell {
public:
    virtual ~Shell() = default;
    // Fills the record as GetVersionExA does; returns its result.
    virtual bool GetVersionEx(OsVersionInfo& info) = 0;
    // The special folder's path in ANSI bytes (up to the first NUL) as
    // SHGetSpecialFolderPathA with the main window as owner. Raises RuntimeError
    // when the call cannot be made at all.
    virtual bool GetSpecialFolderPath(std::string& path, int csidl, bool create) = 0;
};

}  // namespace kdesk
