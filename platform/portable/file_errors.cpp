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

}  // namespace kdesk
