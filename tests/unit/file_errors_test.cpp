// Which Win32 errors make a directory search raise. Wine produces only the
// not-found route (its UNC paths reach no network), so every code of the
// table is held here.
#include "platform/portable/file_errors.h"

#include <gtest/gtest.h>

namespace kdesk {
namespace {

TEST(SearchErrorFromWin32, RaisesOnlyForAVolumeThatCannotBeReached) {
    struct Case {
        const char* what;
        std::uint32_t win32Error;
        std::int32_t number;  // 0: no error, the search finds no entry
    };
    const Case cases[] = {
        {"not ready", 21, kErrDiskNotReady},
        {"no media in drive", 1112, kErrDiskNotReady},
        {"invalid drive", 15, kErrBadFileName},
        {"remote computer not listening", 51, kErrBadFileName},
        {"network path not found", 53, kErrBadFileName},
        {"network busy", 54, kErrBadFileName},
        {"network device gone", 55, kErrBadFileName},
        {"bad network response", 58, kErrBadFileName},
        {"unexpected network error", 59, kErrBadFileName},
        {"network name deleted", 64, kErrBadFileName},
        {"network name not found", 67, kErrBadFileName},
        {"semaphore timeout", 121, kErrBadFileName},
        {"remembered connection unavailable", 1201, kErrBadFileName},
        {"no network or bad path", 1203, kErrBadFileName},
        {"no network", 1222, kErrBadFileName},
        {"network unreachable", 1231, kErrBadFileName},
        {"host unreachable", 1232, kErrBadFileName},
        {"not connected", 2250, kErrBadFileName},
        {"file not found", 2, 0},
        {"path not found", 3, 0},
        {"access denied", 5, 0},
        {"invalid name", 123, 0},
        {"not a folder", 267, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto raised = SearchErrorFromWin32(c.win32Error);
        EXPECT_EQ(raised ? raised->Number() : 0, c.number);
    }
}

TEST(UnreachableVolumeError, NotReadyOrElseBadFileName) {
    EXPECT_EQ(UnreachableVolumeError(21).Number(), kErrDiskNotReady);
    EXPECT_EQ(UnreachableVolumeError(3).Number(), kErrBadFileName) << "no such drive";
    EXPECT_EQ(UnreachableVolumeError(66).Number(), kErrBadFileName) << "Wine's answer for a UNC root";
    EXPECT_EQ(UnreachableVolumeError(67).Description(), L"Nome o numero di file non valido");
}

}  // namespace
}  // namespace kdesk
