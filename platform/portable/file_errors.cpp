#include "platform/portable/file_errors.h"

namespace kdesk {

RuntimeError FileErrorFromWin32(std::uint32_t win32Error) {
    switch (win32Error) {
        case kWin32FileNotFound:
            return {kErrFileNotFound, L"File not found"};
        case kWin32PathNotFound:
        case kWin32InvalidDrive:
        case kWin32BadNetPath:
        case kWin32BadNetName:
            return {kErrPathNotFound, L"Path not found"};
        case kWin32AccessDenied:
        case kWin32SharingViolation:
        case kWin32LockViolation:
            return {kErrPermissionDenied, L"Permission denied"};
        case kWin32NotReady:
            return {kErrDiskNotReady, L"Disk not ready"};
        case kWin32InvalidName:
        case kWin32FileNameTooLong:
            return {kErrBadFileName, L"Bad file name or number"};
        default:
            return {kErrDeviceIo, L"Device I/O error"};
    }
}

}  // namespace kdesk
