#include "platform/portable/file_errors.h"

namespace kdesk {

RuntimeError FileErrorFromWin32(std::uint32_t win32Error) {
    switch (win32Error) {
        case kWin32FileNotFound:
            return RuntimeError(kErrFileNotFound);
        case kWin32PathNotFound:
        case kWin32InvalidDrive:
        case kWin32BadNetPath:
        case kWin32BadNetName:
            return RuntimeError(kErrPathNotFound);
        case kWin32AccessDenied:
        case kWin32SharingViolation:
        case kWin32LockViolation:
            return RuntimeError(kErrPermissionDenied);
        case kWin32NotReady:
            return RuntimeError(kErrDiskNotReady);
        case kWin32InvalidName:
        case kWin32FileNameTooLong:
            return RuntimeError(kErrBadFileName);
        default:
            return RuntimeError(kErrDeviceIo);
    }
}

namespace {

bool IsNotReady(std::uint32_t win32Error) {
    return win32Error == kWin32NotReady || win32Error == kWin32NoMediaInDrive;
}

bool IsUnreachable(std::uint32_t win32Error) {
    switch (win32Error) {
        case kWin32InvalidDrive:
        case kWin32RemoteNotListening:
        case kWin32BadNetPath:
        case kWin32NetworkBusy:
        case kWin32DeviceGone:
        case kWin32BadNetResponse:
        case kWin32UnexpectedNetError:
        case kWin32NetNameDeleted:
        case kWin32BadNetName:
        case kWin32SemaphoreTimeout:
        case kWin32ConnectionUnavailable:
        case kWin32NoNetOrBadPath:
        case kWin32NoNetwork:
        case kWin32NetworkUnreachable:
        case kWin32HostUnreachable:
        case kWin32NotConnected:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<RuntimeError> SearchErrorFromWin32(std::uint32_t win32Error) {
    if (IsNotReady(win32Error)) return RuntimeError(kErrDiskNotReady);
    if (IsUnreachable(win32Error)) return RuntimeError(kErrBadFileName);
    return std::nullopt;
}

RuntimeError UnreachableVolumeError(std::uint32_t rootWin32Error) {
    return RuntimeError(IsNotReady(rootWin32Error) ? kErrDiskNotReady : kErrBadFileName);
}

}  // namespace kdesk
