// The Windows path forms: the extended-length form and the volume root.
#include <gtest/gtest.h>

#include "platform/portable/long_path.h"
#include "platform/portable/volume_root.h"

namespace kdesk {
namespace {

// A path of exactly `length` characters: the prefix, then "x" folders.
std::wstring PathOf(const std::wstring& prefix, std::size_t length) {
    std::wstring path = prefix;
    while (path.size() < length) path += path.size() % 50 == 0 ? L'\\' : L'x';
    path.back() = L'y';
    return path;
}

TEST(ExtendedLengthPath, LongDriveAndUncPathsTakeTheExtendedForm) {
    const std::wstring drive259 = PathOf(L"C:\\Dati\\", 259);
    const std::wstring drive260 = PathOf(L"C:\\Dati\\", 260);
    const std::wstring unc260 = PathOf(L"\\\\server\\share\\Dati\\", 260);
    const std::wstring slashed = PathOf(L"d:/Dati/", 300);
    std::wstring slashedAsBackslashed = slashed;
    slashedAsBackslashed[2] = slashedAsBackslashed[7] = L'\\';
    const std::wstring extended = L"\\\\?\\" + drive260;
    const std::wstring device = PathOf(L"\\\\.\\pipe\\", 300);
    const std::wstring relative = PathOf(L"Dati\\", 300);
    const std::wstring rooted = PathOf(L"\\Dati\\", 300);

    struct Case {
        const char* what;
        std::wstring path, expected;
    };
    const Case cases[] = {
        {"short drive path", L"C:\\Dati\\SR_MATR.001", L"C:\\Dati\\SR_MATR.001"},
        {"short UNC path", L"\\\\server\\share\\LOG.TXT", L"\\\\server\\share\\LOG.TXT"},
        {"drive path of 259", drive259, drive259},
        {"drive path of 260", drive260, L"\\\\?\\" + drive260},
        {"UNC path of 260", unc260, L"\\\\?\\UNC\\" + unc260.substr(2)},
        {"forward slashes", slashed, L"\\\\?\\" + slashedAsBackslashed},
        {"already extended", extended, extended},
        {"device path", device, device},
        {"relative path", relative, relative},
        {"path from the current drive's root", rooted, rooted},
        {"empty", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ExtendedLengthPath(c.path), c.expected);
    }
}

TEST(VolumeRoot, DriveOrShareAPathLiesOn) {
    struct Case {
        std::wstring path, root;
    };
    const Case cases[] = {
        {L"C:\\Dati\\SR_MATR.001", L"C:\\"},
        {L"q:\\", L"q:\\"},
        {L"E:Dati", L"E:\\"},
        {L"D:/Dati/x", L"D:\\"},
        {L"\\\\server\\share\\Dati\\*", L"\\\\server\\share\\"},
        {L"\\\\192.0.2.1\\kdesk", L"\\\\192.0.2.1\\kdesk\\"},
        {L"//server/share/x", L"\\\\server\\share\\"},
        {L"\\\\?\\C:\\Dati\\x", L"\\\\?\\C:\\"},
        {L"\\\\?\\UNC\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\"},
        {L"\\\\server", L""},
        {L"\\\\server\\", L""},
        {L"\\\\.\\pipe\\x", L""},
        {L"\\Dati\\x", L""},
        {L"Dati\\x", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        EXPECT_EQ(VolumeRoot(c.path), c.root);
    }
}

}  // namespace
}  // namespace kdesk
