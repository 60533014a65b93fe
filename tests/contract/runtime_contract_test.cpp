// The same cases run natively against the fake runtime and under Wine against
// the Win32 runtime, so the fake cannot drift from what Windows does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <iostream>
#include <vector>

#include "build_facts.h"
#include "platform/portable/local_date_time.h"
#include "platform/runtime_error.h"
#include "tests/contract/runtime_contract.h"

namespace kdesk::contract {
namespace {

using Names = std::vector<std::wstring>;

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

Names ListAll(Runtime& runtime, const std::wstring& pattern, std::uint32_t mask) {
    Names names;
    for (std::wstring name = runtime.Dir(pattern, mask); !name.empty() && names.size() < 1000;
         name = runtime.DirNext())
        names.push_back(name);
    return names;
}

std::wstring UpperAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

std::string ReadAll(InputFile& file) {
    std::string bytes;
    char buffer[7];
    while (const std::size_t got = file.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
    return bytes;
}

class RuntimeContract : public ::testing::Test {
protected:
    std::unique_ptr<RuntimeSetup> setup = MakeRuntimeSetup();
    Runtime& runtime = setup->runtime();
    const std::wstring root = setup->Root();

    std::wstring In(const std::wstring& name) const { return root + L"\\" + name; }
};

TEST_F(RuntimeContract, MaskDecidesWhichEntriesAreListed) {
    setup->MakeFile(In(L"a.txt"), "a");
    setup->MakeFile(In(L"ro.txt"), "r", kAttrReadOnly | kAttrArchive);
    setup->MakeFile(In(L"h.txt"), "h", kAttrHidden | kAttrArchive);
    setup->MakeFile(In(L"s.txt"), "s", kAttrSystem | kAttrArchive);
    setup->MakeFile(In(L"other.log"), "o");
    setup->MakeFolder(In(L"dir.txt"));
    setup->MakeFolder(In(L"hdir.txt"), kAttrHidden);

    struct Case {
        std::uint32_t mask;
        Names expected;
    };
    const Case cases[] = {
        {kDirOrdinaryFiles, {L"a.txt", L"ro.txt"}},
        {kDirWithFolders, {L"a.txt", L"dir.txt", L"ro.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(Sorted(ListAll(runtime, In(L"*.txt"), c.mask)), c.expected);
    }
}

TEST_F(RuntimeContract, PatternsMatchWithoutRegardToLetterCase) {
    for (const wchar_t* name : {L"LOGFILE.TXT", L"notes.txt", L"Mixed.TxT", L"sr_err.001", L"SR_MATR.002",
                                L"README", L"\x041E\x0442\x0447\x0451\x0442.txt"})
        setup->MakeFile(In(name), "x");

    struct Case {
        std::wstring pattern;
        Names expected;
    };
    const Names allText = {L"LOGFILE.TXT", L"Mixed.TxT", L"notes.txt", L"\x041E\x0442\x0447\x0451\x0442.txt"};
    const Case cases[] = {
        {In(L"*.TXT"), allText},
        {In(L"*.txt"), allText},
        {UpperAscii(root) + L"\\*.Txt", allText},
        {In(L"*.001"), {L"sr_err.001"}},
        {In(L"LogFile.Txt"), {L"LOGFILE.TXT"}},
        {In(L"\x041E\x0422\x0427\x0401\x0422.TXT"), {L"\x041E\x0442\x0447\x0451\x0442.txt"}},
        {In(L"SR_matr.00?"), {L"SR_MATR.002"}},
        {In(L"*.*"), Sorted({L"LOGFILE.TXT", L"notes.txt", L"Mixed.TxT", L"sr_err.001", L"SR_MATR.002", L"README",
                             L"\x041E\x0442\x0447\x0451\x0442.txt"})},
        {In(L"*.0"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.pattern));
        EXPECT_EQ(Sorted(ListAll(runtime, c.pattern, kDirOrdinaryFiles)), c.expected);
    }
}

TEST_F(RuntimeContract, MissingFolderFindsNothing) {
    EXPECT_EQ(runtime.Dir(In(L"nope\\*.txt"), kDirOrdinaryFiles), L"");
    EXPECT_EQ(runtime.Dir(In(L"nope\\"), kDirWithFolders), L"");
    EXPECT_EQ(runtime.DirNext(), L"");
    setup->MakeFile(In(L"file"), "x");
    EXPECT_EQ(runtime.Dir(In(L"file\\"), kDirWithFolders), L"") << "a file is no folder";
}

// As the classic runtime: 71 for a drive that is not ready, 52 for a drive,
// server or share that cannot be reached, whatever the pattern.
TEST_F(RuntimeContract, SearchOnAVolumeThatCannotBeReachedRaises) {
    struct Case {
        const char* what;
        Unreachable volume;
        std::int32_t number;
    };
    const Case cases[] = {
        {"drive that does not exist", Unreachable::MissingDrive, kErrBadFileName},
        {"server that does not exist", Unreachable::MissingServer, kErrBadFileName},
        {"share that does not exist", Unreachable::MissingShare, kErrBadFileName},
        {"drive without media", Unreachable::DriveNotReady, kErrDiskNotReady},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto folder = setup->FolderOn(c.volume);
        if (!folder) {
            std::cout << "[ NOTE     ] not produced on this platform: " << c.what << "\n";
            continue;
        }
        for (const std::wstring& pattern : {*folder + L"\\", *folder + L"\\*.TXT", *folder + L"\\KDCHKCOM.TXT"}) {
            SCOPED_TRACE(testing::PrintToString(pattern));
            try {
                runtime.Dir(pattern, kDirWithFolders);
                ADD_FAILURE() << "no error raised";
            } catch (const RuntimeError& e) {
                EXPECT_EQ(e.Number(), c.number);
            }
        }
        EXPECT_FALSE(runtime.GetAttr(*folder).has_value());
    }
}

// As Windows reads them: a data folder configured with a trailing backslash
// gives "...\Dati\\SR_MATR.001". Past 259 characters too, where the Win32
// runtime hands the system the extended-length form, which does not collapse
// them itself.
TEST_F(RuntimeContract, DoubledBackslashInsideAPathCountsAsOne) {
    std::wstring deep = root;
    for (int level = 0; level < 4; ++level) {
        deep += L"\\" + std::wstring(60, static_cast<wchar_t>(L'a' + level));
        setup->MakeFolder(deep);
    }
    setup->MakeFolder(In(L"Dati"));
    for (const std::wstring& folder : {In(L"Dati"), deep}) {
        setup->MakeFile(folder + L"\\SR_MATR.001", "0012345");
        SCOPED_TRACE(folder.size());
        const std::wstring doubled = folder + L"\\\\SR_MATR.001";
        EXPECT_EQ(ListAll(runtime, folder + L"\\\\*.001", kDirOrdinaryFiles), Names{L"SR_MATR.001"});
        EXPECT_EQ(ListAll(runtime, folder + L"\\\\", kDirOrdinaryFiles), Names{L"SR_MATR.001"});
        ASSERT_TRUE(runtime.GetAttr(doubled).has_value());
        EXPECT_EQ(ReadAll(*runtime.OpenForInput(doubled)), "0012345");
        EXPECT_EQ(ReadAll(*runtime.OpenForInput(folder + L"\\SR_MATR.001")), "0012345");
    }
    EXPECT_GE(deep.size() + std::wstring(L"\\SR_MATR.001").size(), 260u);
}

TEST_F(RuntimeContract, TrailingBackslashListsTheFolderOwnEntries) {
    setup->MakeFolder(In(L"sub"));
    setup->MakeFolder(In(L"sub\\inner"));
    setup->MakeFile(In(L"sub\\x.dat"), "x");
    setup->MakeFolder(In(L"empty"));

    const Names withFolders = ListAll(runtime, In(L"sub\\"), kDirWithFolders);
    ASSERT_GE(withFolders.size(), 2u);
    EXPECT_EQ(withFolders[0], L".");
    EXPECT_EQ(withFolders[1], L"..");
    EXPECT_EQ(Sorted({withFolders.begin() + 2, withFolders.end()}), (Names{L"inner", L"x.dat"}));

    EXPECT_EQ(ListAll(runtime, In(L"sub\\"), kDirOrdinaryFiles), Names{L"x.dat"});
    EXPECT_EQ(ListAll(runtime, In(L"empty\\"), kDirWithFolders), (Names{L".", L".."}));
    EXPECT_EQ(ListAll(runtime, In(L"empty\\"), kDirOrdinaryFiles), Names{});
}

TEST_F(RuntimeContract, NewSearchReplacesTheCurrentOne) {
    setup->MakeFile(In(L"a.txt"), "a");
    setup->MakeFile(In(L"b.txt"), "b");
    setup->MakeFile(In(L"c.log"), "c");

    const std::wstring first = runtime.Dir(In(L"*.txt"), kDirOrdinaryFiles);
    EXPECT_EQ(runtime.Dir(In(L"*.log"), kDirOrdinaryFiles), L"c.log");
    EXPECT_EQ(runtime.DirNext(), L"");
    EXPECT_EQ(runtime.DirNext(), L"") << "an ended search stays ended";
    EXPECT_EQ(runtime.Dir(In(L"*.txt"), kDirOrdinaryFiles), first) << "a search starts from the beginning";
}

TEST_F(RuntimeContract, AttributesOfFilesFoldersAndMissingPaths) {
    setup->MakeFolder(In(L"folder"));
    setup->MakeFile(In(L"plain.txt"), "p");
    setup->MakeFile(In(L"ro.txt"), "r", kAttrReadOnly | kAttrArchive);
    setup->MakeFile(In(L"hidden.txt"), "h", kAttrHidden | kAttrArchive);

    struct Case {
        std::wstring path;
        std::optional<std::uint32_t> expectedBits;  // nullopt: no attributes at all
        std::uint32_t checkedBits;
    };
    const std::uint32_t kChecked = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory;
    const Case cases[] = {
        {In(L"folder"), kAttrDirectory, kChecked},
        {In(L"folder\\"), kAttrDirectory, kChecked},
        {UpperAscii(In(L"folder")), kAttrDirectory, kChecked},
        {In(L"plain.txt"), 0u, kChecked},
        {In(L"ro.txt"), kAttrReadOnly, kChecked},
        {In(L"hidden.txt"), kAttrHidden, kChecked},
        {root, kAttrDirectory, kAttrDirectory},
        {In(L"missing.txt"), std::nullopt, 0},
        {In(L"missing\\plain.txt"), std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        const auto attributes = runtime.GetAttr(c.path);
        ASSERT_EQ(attributes.has_value(), c.expectedBits.has_value());
        if (attributes) {
            EXPECT_EQ(*attributes & c.checkedBits, *c.expectedBits);
        }
    }
}

TEST_F(RuntimeContract, OpenForInputReadsTheBytesOrRaisesTheFileError) {
    const std::string bytes = "0100,x\r\nCaff\xE8\r\n";
    setup->MakeFile(In(L"data.txt"), bytes, kAttrReadOnly | kAttrArchive);
    setup->MakeFile(In(L"locked.txt"), "l");
    setup->Lock(In(L"locked.txt"));
    setup->MakeFolder(In(L"folder"));

    auto file = runtime.OpenForInput(UpperAscii(In(L"data.txt")));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(*file), bytes);
    EXPECT_EQ(file->Read(nullptr, 0), 0u);

    struct Case {
        std::wstring path;
        std::int32_t number;
    };
    const Case cases[] = {
        {In(L"missing.txt"), kErrFileNotFound},
        {In(L"nope\\missing.txt"), kErrPathNotFound},
        {In(L"locked.txt"), kErrPermissionDenied},
        {In(L"folder"), kErrPermissionDenied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        try {
            runtime.OpenForInput(c.path);
            ADD_FAILURE() << "no error raised";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), c.number);
            EXPECT_FALSE(e.Description().empty());
        }
    }
}

TEST_F(RuntimeContract, NamesOutsideTheAnsiCodePageStayIntact) {
    const std::wstring name = L"Caff\x00E8 \x2116" L"1.txt";  // "Caffè №1.txt"
    setup->MakeFile(In(name), "matricola");

    EXPECT_EQ(ListAll(runtime, In(L"*.txt"), kDirOrdinaryFiles), Names{name});
    ASSERT_TRUE(runtime.GetAttr(In(name)).has_value());
    EXPECT_EQ(ReadAll(*runtime.OpenForInput(In(name))), "matricola");
}

TEST_F(RuntimeContract, AnsiConversionUsesTheWesternCodePage) {
    struct Case {
        std::wstring text;
        std::string bytes;
    };
    const Case both[] = {
        {L"", ""},
        {L"\x00E8", "\xE8"},
        {L"\x20AC 10", "\x80 10"},
        {L"Caff\x00E8", "Caff\xE8"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : both) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(runtime.ToAnsi(c.text), c.bytes);
        EXPECT_EQ(runtime.FromAnsi(c.bytes), c.text);
    }
    EXPECT_EQ(runtime.ToAnsi(L"\x2116" L"1"), "?1") << "no ANSI form: a question mark";
    EXPECT_EQ(runtime.ToAnsi(L"\x0100"), "?") << "no best-fit look-alike";

    std::string everyByte;
    for (int b = 1; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
    EXPECT_EQ(runtime.ToAnsi(runtime.FromAnsi(everyByte)), everyByte);
}

TEST_F(RuntimeContract, ProgramFactsNameTheProgramAndItsFolder) {
    const ProgramFacts facts = runtime.Facts();
    EXPECT_EQ(facts.title, L"VelKdesk Support");
    EXPECT_EQ(facts.description, L"Programma di supporto e di analisi per VelKdesk");
    EXPECT_EQ(facts.major, 0);
    EXPECT_EQ(facts.minor, 0);
    EXPECT_EQ(facts.revision, 1);
    ASSERT_FALSE(facts.ownFolder.empty());
    EXPECT_NE(facts.ownFolder.back(), L'\\');
    const auto attributes = runtime.GetAttr(facts.ownFolder);
    ASSERT_TRUE(attributes.has_value());
    EXPECT_TRUE(*attributes & kAttrDirectory);
}

TEST_F(RuntimeContract, DateAloneAtMidnightDateAndTimeOtherwise) {
    const std::wstring date = runtime.FormatDateTime({2024, 3, 5, 0, 0, 0});
    const std::wstring dateTime = runtime.FormatDateTime({2024, 3, 5, 14, 7, 9});
    EXPECT_NE(date.find(L"2024"), std::wstring::npos) << testing::PrintToString(date);
    ASSERT_GT(dateTime.size(), date.size() + 1);
    EXPECT_EQ(dateTime.substr(0, date.size() + 1), date + L" ");
    EXPECT_NE(dateTime.find(L"09"), std::wstring::npos) << testing::PrintToString(dateTime);

    EXPECT_EQ(runtime.FormatDateTime({2023, 2, 29, 10, 0, 0}), L"") << "no such day";
    EXPECT_EQ(runtime.FormatDateTime({}), L"");
    EXPECT_TRUE(IsValidLocalDateTime(runtime.Now()));
}

}  // namespace
}  // namespace kdesk::contract
