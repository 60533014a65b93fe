#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

const std::wstring kAppFolder = L"C:\\Kdesk";
const std::wstring kDataFolder = L"C:\\ProgramData\\VELKDESK";

struct Readers : FormFixture {
    Readers() {
        runtime.AddFolder(kAppFolder);
        runtime.AddFolder(kDataFolder);
        vars.gTxtPath = kAppFolder;
        vars.gDataPath = kDataFolder;
    }
};

TEST(ReadComPortFromFile, NamesThePortByTheFirstItemsNumericValue) {
    struct Case {
        std::string contents;
        std::int16_t port;
    };
    const Case cases[] = {
        {"1000\r\n", 1},     {"0100\r\n", 2},  {"100", 2},          {"0010\r\n", 3},     {"0001\r\n", 4},
        {"1\r\n", 4},        {"0001,extra", 4}, {"   0010\r\n", 3},  {"1000.0\r\n", 1},   {"0100\r\n1000\r\n", 2},
        {"0000\r\n", 0},     {"2\r\n", 0},      {"ABC\r\n", 0},      {"", 0},             {"\r\n", 0},
        {"10 00\r\n", 0},    {"1000x\r\n", 0},  {"\"0100\"\r\n", 2}, {"-1000\r\n", 0},    {"1e3\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "contents [" << c.contents << "]");
        Readers f;
        f.runtime.AddFile(kAppFolder + L"\\KDCHKCOM.TXT", c.contents);
        EXPECT_EQ(f.form.ReadComPortFromFile(), c.port);
        EXPECT_TRUE(f.runtime.Messages().empty());
    }
}

TEST(ReadComPortFromFile, FindsOnlyAnOrdinaryFile) {
    struct Case {
        const char* what;
        std::function<void(Readers&)> prepare;
    };
    const Case cases[] = {
        {"missing", [](Readers&) {}},
        {"hidden", [](Readers& f) { f.runtime.AddFile(kAppFolder + L"\\KDCHKCOM.TXT", "1000", kAttrHidden); }},
        {"system", [](Readers& f) { f.runtime.AddFile(kAppFolder + L"\\KDCHKCOM.TXT", "1000", kAttrSystem); }},
        {"a folder", [](Readers& f) { f.runtime.AddFolder(kAppFolder + L"\\KDCHKCOM.TXT"); }},
        {"no application folder", [](Readers& f) { f.vars.gTxtPath.clear(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Readers f;
        c.prepare(f);
        EXPECT_EQ(f.form.ReadComPortFromFile(), 0);
        EXPECT_TRUE(f.runtime.Messages().empty());
    }
}

TEST(ReadComPortFromFile, ReportsAFileThatCannotBeOpened) {
    Readers f;
    f.runtime.AddFile(kAppFolder + L"\\kdchkcom.txt", "1000\r\n");
    f.runtime.LockFile(kAppFolder + L"\\KDCHKCOM.TXT");
    EXPECT_EQ(f.form.ReadComPortFromFile(), 0);
    ASSERT_EQ(f.runtime.Messages().size(), 1u);
    const ShownMessage& shown = f.runtime.Messages()[0];
    EXPECT_EQ(shown.prompt, L"ReadComPortFromFile: Autorizzazione negata - 70");
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    EXPECT_FALSE(shown.title.has_value());
}

TEST(ReadMatricolaFromFile, ReturnsTheFirstItemExactlyAsWritten) {
    struct Case {
        std::string contents;
        std::wstring serial;
    };
    const Case cases[] = {
        {"0012345678\r\n", L"0012345678"},
        {"\"99 MATR, 01\"\r\n", L"99 MATR, 01"},
        {"AB123\r\nCD456\r\n", L"AB123"},
        {"  4711,extra\r\n", L"4711"},
        {"12.50", L"12.50"},
        {"Matr\xE8", L"Matr\u00E8"},
        {"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "contents [" << c.contents << "]");
        Readers f;
        f.vars.gComPort = 3;
        f.runtime.AddFile(kDataFolder + L"\\SR_MATR.003", c.contents);
        EXPECT_EQ(f.form.ReadMatricolaFromFile(), c.serial);
    }
}

TEST(ReadMatricolaFromFile, ChoosesTheFileByPortAndPassesFailuresOver) {
    struct Case {
        const char* what;
        std::function<void(Readers&)> prepare;
        std::wstring serial;
    };
    const Case cases[] = {
        {"port 0 reads SR_MATR.000", [](Readers& f) { f.runtime.AddFile(kDataFolder + L"\\SR_MATR.000", "A0"); },
         L"A0"},
        {"other port's file ignored", [](Readers& f) { f.runtime.AddFile(kDataFolder + L"\\SR_MATR.001", "A1"); },
         L""},
        {"locked file",
         [](Readers& f) {
             f.runtime.AddFile(kDataFolder + L"\\SR_MATR.000", "A0");
             f.runtime.LockFile(kDataFolder + L"\\SR_MATR.000");
         },
         L""},
        {"missing folder", [](Readers& f) { f.vars.gDataPath = L"Q:\\Nowhere"; }, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Readers f;
        c.prepare(f);
        EXPECT_EQ(f.form.ReadMatricolaFromFile(), c.serial);
        EXPECT_TRUE(f.runtime.Messages().empty());
    }
}

}  // namespace
}  // namespace kdesk::test
