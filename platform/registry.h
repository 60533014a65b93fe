#pragma once
// The registry as the reader needs it: open, query, close, with Win32 status
// codes, the value's type and its raw bytes. Names and data are ANSI bytes.
#include <cstdint>
#include <string>

namespace kdesk {

using RegKey = std::uintptr_t;  // opaque key handle

inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;

class Registry {
public:
    virtual ~Registry() = default;
    virtual std::int32_t OpenKeyEx(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                                   std::uint32_t samDesired, RegKey& key) = 0;
    // size: in, the buffer's size in bytes; out, the bytes stored (or needed).
    virtual std::int32_t QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t& type,
                                      std::uint8_t* data, std::uint32_t& size) = 0;
    virtual std::int32_t CloseKey(RegKey key) = 0;
};

}  // namespace kdesk
