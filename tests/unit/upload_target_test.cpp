#include "platform/portable/upload_target.h"

#include <gtest/gtest.h>

namespace kdesk {
namespace {

constexpr RandomBytes kRandom{0x00, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD,
                              0xEF, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x10};
const std::wstring kHex = L"00012345" L"6789abcd" L"effedcba" L"98765410";

TEST(UploadFolderUrl, RegistryValueOverridesTheBuildsEvenWhenEmpty) {
    EXPECT_EQ(UploadFolderUrl(std::nullopt, L"https://build/"), L"https://build/");
    EXPECT_EQ(UploadFolderUrl(L"https://registry/in", L"https://build/"), L"https://registry/in");
    EXPECT_EQ(UploadFolderUrl(L"", L"https://build/"), L"");
    EXPECT_EQ(UploadFolderUrl(std::nullopt, L""), L"");
}

TEST(UploadUrl, NamesTheFileUnderTheFolderWithExactlyOneSlash) {
    const struct {
        const wchar_t* folder;
        const wchar_t* stem;
        std::wstring url;
    } cases[] = {
        {L"https://h/in", L"VelAutoMail_123_20261208_101500", L"https://h/in/VelAutoMail_123_20261208_101500_" + kHex + L".eml"},
        {L"https://h/in/", L"a.b-c_d", L"https://h/in/a.b-c_d_" + kHex + L".eml"},
        {L"https://h/in//", L"x", L"https://h/in/x_" + kHex + L".eml"},
        // Blanks, slashes, query and fragment marks, percent signs and letters outside ASCII never reach the URL.
        {L"https://h:8443/in", L"Caff\u00e8 /?#%&+ (2)", L"https://h:8443/in/Caff__________2__" + kHex + L".eml"},
    };
    for (const auto& c : cases) EXPECT_EQ(UploadUrl(c.folder, UploadFileName(c.stem, kRandom)), c.url) << c.stem;
}

TEST(UploadFileName, OnlyTheProgramsOwnNamesHaveItsShape) {
    const std::pair<std::wstring, bool> cases[] = {
        {UploadFileName(L"VelAutoMail_1_20261208_101500", kRandom), true},
        {UploadFileName(L"Caff\u00e8 (2)", kRandom), true},
        {L"x_" + kHex + L".eml", true},
        {L"_" + kHex + L".eml", false},
        {L"x_" + kHex + L".eml.part", false},
        {L"x_" + kHex.substr(1) + L".eml", false},
        {L"x-" + kHex + L".eml", false},
        {L"x_" + kHex.substr(1) + L"G.eml", false},
        {L"a b_" + kHex + L".eml", false},
        {L"lettera.eml", false},
    };
    for (const auto& [name, own] : cases) EXPECT_EQ(IsUploadFileName(name), own) << name.size();
}

TEST(MessageIdFor, IsRandomOnTheSupportMailboxDomain) {
    EXPECT_EQ(MessageIdFor(kRandom, "assistenza@vuvivazoror.example"),
              "<000123456789abcdeffedcba98765410@vuvivazoror.example>");
    EXPECT_EQ(MessageIdFor(RandomBytes{}, "nobody"), "<00000000000000000000000000000000@localhost>");
}

}  // namespace
}  // namespace kdesk
