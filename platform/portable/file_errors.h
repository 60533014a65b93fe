#pragma once
// Run-time errors of file operations, from the Win32 error codes behind them.
// The fake file system raises the same numbers and texts.
#include <cstdint>
#include <optional>

#include "platform/runtime_error.h"

namespace kdesk {

// Win32 error codes the mappings tell apart.
inline constexpr std::uint32_t kWin32FileNotFound = 2;
inline constexpr std::uint32_t kWin32PathNotFound = 3;
inline constexpr std::uint32_t kWin32AccessDenied = 5;
inline constexpr std::uint32_t kWin32InvalidDrive = 15;
inline constexpr std::uint32_t kWin32NotReady = 21;
inline constexpr std::uint32_t kWin32SharingViolation = 32;
inline constexpr std::uint32_t kWin32LockViolation = 33;
inline constexpr std::uint32_t kWin32RemoteNotListening = 51;
inline constexpr std::uint32_t kWin32BadNetPath = 53;
inline constexpr std::uint32_t kWin32NetworkBusy = 54;
inline constexpr std::uint32_t kWin32DeviceGone = 55;
inline constexpr std::uint32_t kWin32BadNetResponse = 58;
inline constexpr std::uint32_t kWin32UnexpectedNetError = 59;
inline constexpr std::uint32_t kWin32NetNameDeleted = 64;
inline constexpr std::uint32_t kWin32BadNetName = 67;
inline constexpr std::uint32_t kWin32SemaphoreTimeout = 121;
inline constexpr std::uint32_t kWin32InvalidName = 123;
inline constexpr std::uint32_t kWin32FileNameTooLong = 206;
inline constexpr std::uint32_t kWin32NoMediaInDrive = 1112;
inline constexpr std::uint32_t kWin32ConnectionUnavailable = 1201;
inline constexpr std::uint32_t kWin32NoNetOrBadPath = 1203;
inline constexpr std::uint32_t kWin32NoNetwork = 1222;
inline constexpr std::uint32_t kWin32NetworkUnreachable = 1231;
inline constexpr std::uint32_t kWin32HostUnreachable = 1232;
inline constexpr std::uint32_t kWin32NotConnected = 2250;

// The error of opening or reading a file.
RuntimeError FileErrorFromWin32(std::uint32_t win32Error);

// The error a directory search raises, as the classic runtime did, when the
// volume it searches cannot be reached: 71 for a drive that is not ready, 52
// for a drive, server or share that cannot be reached. nullopt for every other
// Win32 error, which only means that the search finds no entry.
std::optional<RuntimeError> SearchErrorFromWin32(std::uint32_t win32Error);

// The error for a volume whose root cannot be read at all: 71 when the drive
// is not ready, else 52.
RuntimeError UnreachableVolumeError(std::uint32_t rootWin32Error);

}  // namespace kdesk
