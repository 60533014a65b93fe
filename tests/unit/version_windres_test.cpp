#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "modules/ModGetVersion.h"
#include "tests/unit/form_fixture.h"

// Small PE32 and PE32+ files linked from the windres test resources, read by
// the portable reader on any platform.
namespace kdesk {
namespace {

std::vector<std::uint8_t> Seed(const std::string& name) {
    std::ifstream in(std::string(KDESK_VERSION_SEEDS) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(VersionWindres, LinkedResourcesReadAsTheyWereWritten) {
    const struct {
        const char* file;
        std::int32_t result;
        const wchar_t* versionText;
        const wchar_t* companyName;
    } cases[] = {
        {"italian_pe32.exe", 1, L"3.10.2.5", L"V.E.L. Vuvivazoror snc"},
        {"italian_pe64.exe", 1, L"3.10.2.5", L"V.E.L. Vuvivazoror snc"},
        {"italian_ansi_pe32.exe", 1, L"1.5.0.12", L"Ditron"},
        {"missing_copyright_pe64.exe", 2, L"", L"V.E.L."},
        {"several_translations_pe32.exe", 2, L"", L""},
        {"long_values_pe64.exe", 1, L"2.0.0.1", L"V.E.L."},
    };
    for (const auto& c : cases) {
        test::FormFixture f;
        const std::vector<std::uint8_t> bytes = Seed(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        f.versionInfo.AddFile(L"C:\\app\\kdmain.exe", bytes);
        VersionStrings s;
        EXPECT_EQ(ReadVersionStrings(f.platform, L"C:\\app\\kdmain.exe", s), c.result) << c.file;
        EXPECT_EQ(s.CompanyName, c.companyName) << c.file;
        EXPECT_EQ(GetFileVersionString(f.platform, L"C:\\APP\\KDMAIN.EXE"), c.versionText) << c.file;
    }
}

}  // namespace
}  // namespace kdesk
