#include <gtest/gtest.h>

#include <algorithm>

#include "platform/portable/pe_version_reader.h"
#include "tests/version/pe_image_builder.h"

namespace kdesk::pe {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ItalianBlock() {
    auto values = test::EightKeys(L"3.10.0205");
    values.push_back({L"Comments", L""});
    return test::BuildVersionBlock(test::SimpleResource(0x0410, 1200, values));
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(PeVersionReader, FindsTheBlockInPe32AndPe32Plus) {
    const Bytes block = ItalianBlock();
    for (bool pe32Plus : {false, true}) {
        auto found = FindVersionBlock(test::BuildPeImage(block, pe32Plus));
        ASSERT_TRUE(found) << "PE32+: " << pe32Plus;
        EXPECT_EQ(*found, block);
    }
}

TEST(PeVersionReader, PicksTheLanguageAsTheResourceLoaderDoes) {
    auto block = [](std::uint16_t language) {
        return test::BuildVersionBlock(test::SimpleResource(language, 1200, test::EightKeys(L"1.0.0")));
    };
    const struct {
        std::vector<std::uint16_t> languages;
        std::uint16_t user;
        std::uint16_t picked;
    } cases[] = {
        {{0x0401, 0x0409, 0x0410}, 0x0410, 0x0410},  // the user's own
        {{0x0401, 0x0409, 0x0410}, 0x0407, 0x0409},  // else English
        {{0x0401, 0x0000, 0x0410}, 0x0410, 0x0000},  // neutral first of all
        {{0x0401, 0x0810, 0x0410}, 0x0810, 0x0810},
        {{0x0401, 0x0010}, 0x0810, 0x0010},          // the user's primary language, neutral
        {{0x0401, 0x0410}, 0x0810, 0x0410},          // the user's primary language, default
        {{0x0401, 0x0407}, 0x0410, 0x0401},          // else the first
    };
    for (const auto& c : cases) {
        std::vector<test::LanguageBlock> blocks;
        for (std::uint16_t language : c.languages) blocks.push_back({language, block(language)});
        EXPECT_EQ(FindVersionBlock(test::BuildPeImage(blocks), c.user), block(c.picked))
            << std::hex << "user " << c.user << " expected " << c.picked;
    }
}

TEST(PeVersionReader, QueriesFollowVersionDllPathRules) {
    const Bytes block = ItalianBlock();
    EXPECT_EQ(QueryBinaryValue(block, L"\\VarFileInfo\\Translation"), (Bytes{0x10, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(QueryBinaryValue(block, L"\\varfileinfo\\TRANSLATION"), (Bytes{0x10, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(QueryStringValue(block, L"\\\\StringFileInfo\\\\041004b0\\ProductVersion\\"), L"3.10.0205");
    EXPECT_EQ(QueryStringValue(block, L"StringFileInfo\\041004B0\\CompanyName"), L"V.E.L. Vuvivazoror snc");
    EXPECT_EQ(QueryStringValue(block, L"\\StringFileInfo\\041004B0\\Comments"), L"");
    EXPECT_EQ(QueryBinaryValue(block, L"\\")->size(), 52u);  // the fixed file info

    for (const wchar_t* missing : {L"\\StringFileInfo\\041004B0\\Product", L"\\StringFileInfo\\041004B0\\ProductVersionX",
                                   L"\\StringFileInfo\\040904B0\\ProductVersion", L"\\VarFileInfo\\Translation\\x"})
        EXPECT_FALSE(QueryStringValue(block, missing)) << missing;
}

TEST(PeVersionReader, ValueOfLengthZeroIsEmptyText) {
    Bytes block = ItalianBlock();
    // Find "Comments" and zero its wValueLength.
    const char16_t key[] = u"Comments";
    auto at = std::search(block.begin(), block.end(), reinterpret_cast<const std::uint8_t*>(key),
                          reinterpret_cast<const std::uint8_t*>(key) + 16);
    ASSERT_NE(at, block.end());
    *(at - 4) = 0;
    *(at - 3) = 0;
    EXPECT_EQ(QueryStringValue(block, L"\\StringFileInfo\\041004B0\\Comments"), L"");
}

TEST(PeVersionReader, MalformedImagesAreReadOnlyAsFarAsTheyHold) {
    const Bytes block = ItalianBlock();
    const Bytes image = test::BuildPeImage(block);
    constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kDirectories = kOptional + 96, kSection = kOptional + 224;
    constexpr std::size_t kRsrc = 0x200;
    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool stillFound;
    } cases[] = {
        {"PE header beyond the file", 0x3C, 0xFFFFFFF0, false},
        {"no PE signature", kPe, 0x00004551, false},
        {"unknown optional header", kOptional, 0x0107, false},
        {"too few data directories", kDirectories - 4, 2, false},
        {"no resource directory", kDirectories + 16, 0, false},
        {"resources outside every section", kDirectories + 16, 0x9000, false},
        {"section data beyond the file", kSection + 20, 0xFFFFFF00, false},
        {"section size past the file", kSection + 16, 0xFFFFFFFF, true},
        {"entry counts past the section", kRsrc + 12, 0xFFFF0000, true},
        {"type entry is not a directory", kRsrc + 20, 24, false},
        {"name directory outside", kRsrc + 20, 0xFFFFFFFF, false},
        {"language entry is a directory", kRsrc + 48 + 20, 0x80000000, false},
        {"data RVA outside", kRsrc + 72, 0x7FFFFFFF, false},
        {"data size beyond the section", kRsrc + 76, 0x7FFFFFFF, false},
        {"empty data", kRsrc + 76, 0, false},
    };
    for (const auto& c : cases) {
        Bytes bad = image;
        PutU32(bad, c.at, c.value);
        auto found = FindVersionBlock(bad);
        if (c.stillFound) {
            EXPECT_EQ(found, block) << c.what;
        } else {
            EXPECT_FALSE(found) << c.what;
        }
    }
}

TEST(PeVersionReader, TruncatedInputNeverReadsPastItsEnd) {
    const Bytes block = ItalianBlock();
    const Bytes image = test::BuildPeImage(block, true);
    for (std::size_t size = 0; size < image.size(); ++size) {
        auto found = FindVersionBlock(std::span(image).first(size));
        EXPECT_FALSE(found) << "image cut at " << size;
    }
    for (std::size_t size = 0; size <= block.size(); ++size) {
        // wLength still claims the whole block: the reader must bound it by the buffer.
        const Bytes cut(block.begin(), block.begin() + size);
        auto version = QueryStringValue(cut, L"\\StringFileInfo\\041004B0\\ProductVersion");
        if (version) {
            EXPECT_EQ(std::wstring(L"3.10.0205").rfind(*version, 0), 0u) << "block cut at " << size;
        }
    }
}

TEST(PeVersionReader, CorruptTreesEndEveryScan) {
    const Bytes good = ItalianBlock();
    const std::uint8_t patterns[] = {0x00, 0x01, 0x02, 0x03, 0x7F, 0x80, 0xFF};
    std::size_t answered = 0;
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (std::uint8_t pattern : patterns) {
            Bytes bad = good;
            bad[at] = pattern;
            answered += QueryStringValue(bad, L"\\StringFileInfo\\041004B0\\ProductVersion").has_value();
            answered += QueryBinaryValue(bad, L"\\VarFileInfo\\Translation").has_value();
        }
    }
    EXPECT_GT(answered, 0u);

    Bytes keyWithoutNul(64, 'A');
    keyWithoutNul[0] = 64;
    keyWithoutNul[1] = 0;
    EXPECT_FALSE(QueryStringValue(keyWithoutNul, L"\\AAAA"));
    EXPECT_EQ(QueryBinaryValue(keyWithoutNul, L""), Bytes{});
}

}  // namespace
}  // namespace kdesk::pe
