#include <gtest/gtest.h>

#include "modules/ModGetVersion.h"
#include "tests/unit/form_fixture.h"
#include "tests/version/pe_image_builder.h"

namespace kdesk {
namespace {

using test::BuildPeImage;
using test::BuildVersionBlock;
using test::EightKeys;
using test::SimpleResource;
using test::VersionResource;

TEST(VersionText, FromProductVersion) {
    const struct {
        const wchar_t* productVersion;
        const wchar_t* text;
    } cases[] = {
        {L"3.10.0205", L"3.10.2.5"},
        {L"1.05.0012", L"1.5.0.12"},
        {L"1.0.0", L"1.0.0.0"},
        {L"5.1.2600.2180", L"5.1.26.0"},
        {L"2.5", L""},
        {L"", L""},
        {L"7", L""},
        {L"1.2.", L"1.2.0.0"},
        {L"..", L"0.0.0.0"},
        {L"1..2", L"1.0.2.0"},
        {L" 3 . 1 0 . 0 2 0 5", L"3.10.0.205"},  // blanks count as characters of part 3, not as digits
        {L"\t4\t.5.67", L"4.5.67.0"},
        {L"-1.+2.-305", L"-1.2.-3.5"},
        {L"- 7.+ 0.- 0", L"-7.0.0.0"},
        {L"-.+.-", L"0.0.0.0"},
        {L"+-5.--5.5-5", L"0.0.5.5"},
        {L"0-5.3-1.12-4", L"0.3.12.-4"},
        {L"1a.b2.3c4", L"1.0.3.4"},
        {L"v1.2.3", L"0.2.3.0"},
        {L"1,5.2.3", L"1.2.3.0"},
        {L"99999999999999999999999.18446744073709551616.123456789012345678901234567890",
         L"99999999999999999999999.18446744073709551616.12.3456789012345678901234567890"},
        {L"-99999999999999999999.0.0", L"-99999999999999999999.0.0.0"},
        {L"0000.0001.0000", L"0.1.0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionTextFromProductVersion(c.productVersion), c.text) << "ProductVersion \"" << c.productVersion << '"';
}

TEST(VersionText, StringTableKeyIsEightUpperCaseHexDigits) {
    EXPECT_EQ(StringTableKey(0x0410, 0x04E4), L"041004E4");
    EXPECT_EQ(StringTableKey(0x0410, 1200), L"041004B0");
    EXPECT_EQ(StringTableKey(0, 0), L"00000000");
    EXPECT_EQ(StringTableKey(0xFFFF, 0xabcd), L"FFFFABCD");
}

struct VersionModuleTest : ::testing::Test {
    test::FormFixture f;
    const std::wstring path = L"C:\\VelKdesk\\kdmain.exe";

    void AddExecutable(const VersionResource& resource, bool pe32Plus = false) {
        f.versionInfo.AddFile(path, BuildPeImage(BuildVersionBlock(resource), pe32Plus));
    }
    std::int32_t Read(VersionStrings& strings) { return ReadVersionStrings(f.platform, path, strings); }
};

TEST_F(VersionModuleTest, ReadsTheEightStringsOfTheFirstTranslation) {
    for (bool pe32Plus : {false, true}) {
        AddExecutable(SimpleResource(0x0410, 1200, EightKeys(L"3.10.0205")), pe32Plus);
        VersionStrings s;
        ASSERT_EQ(Read(s), 1);
        EXPECT_EQ(s.CompanyName, L"V.E.L. Vuvivazoror snc");
        EXPECT_EQ(s.InternalName, L"kdmain");
        EXPECT_EQ(s.OriginalFileName, L"kdmain.exe");
        EXPECT_EQ(s.ProductVersion, L"3.10.0205");
        EXPECT_EQ(GetFileVersionString(f.platform, L"c:\\VELKDESK\\KDMAIN.EXE"), L"3.10.2.5");
    }
}

TEST_F(VersionModuleTest, StringTableFollowsTheTranslationEntry) {
    AddExecutable(SimpleResource(0x0410, 0x04E4, EightKeys(L"1.05.0012")));
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"1.5.0.12");

    // Only the first entry counts, even when a later one names an existing table.
    VersionResource two = SimpleResource(0x0409, 1252, EightKeys(L"1.0.0"));
    two.translation = test::TranslationBytes({{0x0410, 1200}, {0x0409, 1252}});
    AddExecutable(two);
    VersionStrings s;
    EXPECT_EQ(Read(s), 2);

    // A table shorter than an entry reads as zeros past its end.
    VersionResource half = SimpleResource(0x0410, 0, EightKeys(L"2.0.0"));
    half.translation = std::vector<std::uint8_t>{0x10, 0x04};
    AddExecutable(half);
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"2.0.0.0");
}

TEST_F(VersionModuleTest, TranslationTableLargerThanItsWorkAreaUsesTheFirstEntry) {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> entries(100, {0x0409, 1252});
    entries[0] = {0x0410, 1200};
    VersionResource resource = SimpleResource(0x0410, 1200, EightKeys(L"4.2.0001"));
    resource.translation = test::TranslationBytes(entries);
    AddExecutable(resource);
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"4.2.0.1");
}

TEST_F(VersionModuleTest, MissingKeyFailsAndKeepsTheFieldsReadBeforeIt) {
    auto values = EightKeys(L"1.0.0");
    std::erase_if(values, [](const auto& v) { return v.first == L"LegalCopyright"; });
    AddExecutable(SimpleResource(0x0410, 1200, values));
    VersionStrings s;
    EXPECT_EQ(Read(s), 2);
    EXPECT_EQ(s.InternalName, L"kdmain");
    EXPECT_EQ(s.LegalCopyright, L"");
    EXPECT_EQ(s.ProductVersion, L"");
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"");
}

TEST_F(VersionModuleTest, KeysMatchWhateverTheirLetterCase) {
    auto values = EightKeys(L"1.2.3");
    for (auto& [name, text] : values)
        if (name == L"OriginalFileName") name = L"OriginalFilename";
    AddExecutable(SimpleResource(0x0410, 1200, values));
    VersionStrings s;
    EXPECT_EQ(Read(s), 1);
    EXPECT_EQ(s.OriginalFileName, L"kdmain.exe");
}

TEST_F(VersionModuleTest, LongValuesAreCutAtTheirBufferSize) {
    auto values = EightKeys(L"1.2.3");
    values[1].second = std::wstring(300, L'x');
    values[2].second = std::wstring(254, L'y');
    AddExecutable(SimpleResource(0x0410, 1200, values));
    VersionStrings s;
    ASSERT_EQ(Read(s), 1);
    EXPECT_EQ(s.FileDescription, std::wstring(254, L'x'));
    EXPECT_EQ(s.FileVersion, std::wstring(254, L'y'));
}

TEST_F(VersionModuleTest, FilesWithoutAUsableResourceGiveEmptyText) {
    VersionStrings s;
    EXPECT_EQ(Read(s), 2);  // no such file
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"");

    f.versionInfo.AddFile(path, {'M', 'Z', 0, 0});
    EXPECT_EQ(Read(s), 2);

    VersionResource noTranslation = SimpleResource(0x0410, 1200, EightKeys(L"1.0.0"));
    noTranslation.translation.reset();
    AddExecutable(noTranslation);
    EXPECT_EQ(Read(s), 2);
    EXPECT_EQ(s.CompanyName, L"");
    EXPECT_EQ(GetFileVersionString(f.platform, path), L"");
    EXPECT_TRUE(f.runtime.Messages().empty());
}

TEST_F(VersionModuleTest, DateOfAFileIsItsLocalLastWriteTimeFormatted) {
    const LocalDateTime midnight{2023, 3, 4, 0, 0, 0};
    f.versionInfo.AddFile(path, {}, midnight);
    EXPECT_EQ(GetFileDateLastModified(f.platform, L"C:\\VELKDESK\\KDMAIN.EXE"), f.runtime.FormatDateTime(midnight));
    EXPECT_EQ(GetFileDateLastModified(f.platform, L"C:\\VelKdesk\\missing.exe"), L"");
    EXPECT_TRUE(f.runtime.Messages().empty());
}

}  // namespace
}  // namespace kdesk
