#pragma once
// Run-time errors of file operations, from the Win32 error codes behind them.
// The fake file system raises the same numbers and texts.
#include <cstdint>

#include "platform/runtime_error.h"

namespace kdesk {

// Win32 error codes the mapping tells apart.
inline constexpr std::uint32_t kWin32FileNotFound = 2;
inline constexpr std::uint32_t kWin32PathNotFound = 3;
inline constexpr std::uint32_t kWin32AccessDenied = 5;
inline constexpr std::uint32_t kWin32InvalidDrive = 15;
inline constexpr std::uint32_t kWin32NotReady = 21;
inline constexpr std::uint32_t kWin32SharingViolation = 32;
inline constexpr std::uint32_t kWin32LockViolation = 33;
inline constexpr std::uint32_t kWin32BadNetPath = 53;
inline constexpr std::uint32_t kWin32BadNetName = 67;
inline constexpr std::uint32_t kWin32InvalidName = 123;
inline constexpr std::uint32_t kWin32FileNameTooLong = 206;

RuntimeError FileErrorFromWin32(std::uint32_t win32Error);

}  // namespace kdesk
