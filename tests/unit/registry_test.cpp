#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/modRegistry.h"
#include "platform/portable/file_errors.h"
#include "platform/runtime_error.h"
#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

const std::string kKey = "SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
const std::wstring kKeyW = L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
const std::wstring kUntouched = L"as the caller had it";

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

struct ValueCase {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool read;
    std::wstring text;
};

TEST(ReadRegistryValue, ConvertsTheStoredBytesByType) {
    const std::string long1023(1023, 'x');
    const ValueCase cases[] = {
        {"string with its NUL", kRegSz, Bytes(std::string("C:\\Kdesk\0", 9)), true, L"C:\\Kdesk"},
        {"string without NUL", kRegSz, Bytes("C:\\Kdesk"), true, L"C:\\Kdesk"},
        {"only a NUL", kRegSz, {0}, true, L""},
        {"accented ANSI text", kRegSz, Bytes("Caff\xE8\0"), true, L"Caff\u00E8"},
        {"1023 characters and NUL", kRegSz, Bytes(long1023 + '\0'), true, std::wstring(1023, L'x')},
        {"1024 characters, no NUL", kRegSz, Bytes(long1023 + 'x'), true, std::wstring(1024, L'x')},
        {"1024 characters and NUL", kRegSz, Bytes(long1023 + "x" + '\0'), false, kUntouched},
        {"empty data", kRegSz, {}, false, kUntouched},
        {"dword 10", kRegDword, {0x0A, 0, 0, 0}, true, L"&h00000A"},
        {"dword with high byte", kRegDword, {0x78, 0x56, 0x34, 0x12}, true, L"&h12345678"},
        {"dword 0", kRegDword, {0, 0, 0, 0}, true, L"&h000000"},
        {"expandable string", kRegExpandSz, Bytes(std::string("%TEMP%\0", 7)), true, L""},
        {"binary", kRegBinary, {1, 2, 3}, true, L""},
        {"multi-string", kRegMultiSz, Bytes(std::string("a\0b\0\0", 5)), true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormFixture f;
        f.registry.SetValue(kKey, "Probe", c.type, c.data);
        std::wstring value = kUntouched;
        EXPECT_EQ(ReadRegistryValue(f.platform, kHkeyCurrentUser, kKeyW, L"Probe", value), c.read);
        EXPECT_EQ(value, c.text);
        EXPECT_EQ(f.registry.OpenHandles(), 0) << "key left open";
    }
}

TEST(ReadRegistryValue, FailsWithoutTouchingTheOutput) {
    struct Case {
        const char* what;
        std::wstring key;
        std::wstring name;
        bool readOnly;
    };
    const Case cases[] = {
        {"missing key", L"SOFTWARE\\VEL Vuvivazoror\\Other", L"AppPath", false},
        {"missing value", kKeyW, L"Missing", false},
        {"key the user may only read", kKeyW, L"AppPath", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormFixture f;
        f.registry.SetString(kKey, "AppPath", "C:\\Kdesk");
        f.registry.SetReadOnly(kKey, c.readOnly);
        std::wstring value = kUntouched;
        EXPECT_FALSE(ReadRegistryValue(f.platform, kHkeyCurrentUser, c.key, c.name, value));
        EXPECT_EQ(value, kUntouched);
        EXPECT_EQ(f.registry.OpenHandles(), 0);
    }
}

TEST(ReadRegistryValue, NamesMatchWithoutRegardToCase) {
    FormFixture f;
    f.registry.SetString(kKey, "AppPath", "C:\\Kdesk");
    std::wstring value;
    EXPECT_TRUE(ReadRegistryValue(f.platform, kHkeyCurrentUser, L"software\\vel vuvivazoror\\VELKdesk", L"APPPATH",
                                  value));
    EXPECT_EQ(value, L"C:\\Kdesk");
}

TEST(ReadRegistryValue, RejectsMalformedKeyPathsWithoutAskingTheRegistry) {
    const std::wstring bad[] = {L"\\SOFTWARE\\VEL", L"SOFTWARE\\VEL\\", L"SOFTWARE\\\\VEL", L"\\"};
    for (const auto& key : bad) {
        SCOPED_TRACE(key);
        FormFixture f;
        std::wstring value = kUntouched;
        EXPECT_FALSE(IsValidKeyPath(key));
        EXPECT_FALSE(ReadRegistryValue(f.platform, kHkeyCurrentUser, key, L"AppPath", value));
        EXPECT_EQ(value, kUntouched);
        EXPECT_EQ(f.registry.Calls(), 0);
    }
    EXPECT_TRUE(IsValidKeyPath(L""));
    EXPECT_TRUE(IsValidKeyPath(L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK"));
}

TEST(CheckRegistryResult, RaisesErrorFiveForAnyFailureStatus) {
    EXPECT_NO_THROW(CheckRegistryResult(kErrorSuccess));
    for (std::int32_t status : {kErrorFileNotFound, kErrorAccessDenied, kErrorMoreData, -1}) {
        try {
            CheckRegistryResult(status);
            ADD_FAILURE() << "no error for status " << status;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), 5);
        }
    }
}

TEST(FolderReaders, ReturnAnExistingFolderWithoutItsTrailingBackslash) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::string data;
        bool folderExists;
        std::wstring expected;
    };
    const Case cases[] = {
        {"trailing backslash", kRegSz, "D:\\Dati\\", true, L"D:\\Dati"},
        {"no trailing backslash", kRegSz, "D:\\Dati", true, L"D:\\Dati"},
        {"folder absent", kRegSz, "D:\\Dati\\", false, L""},
        {"empty text", kRegSz, "", true, L""},
        {"expandable string", kRegExpandSz, "D:\\Dati", true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormFixture f;
        f.runtime.AddFolder(L"D:\\");
        if (c.folderExists) f.runtime.AddFolder(L"D:\\Dati");
        std::vector<std::uint8_t> data = Bytes(c.data);
        data.push_back(0);
        f.registry.SetValue(kKey, "CustomPathDataDir", c.type, data);
        f.registry.SetValue(kKey, "AppPath", c.type, data);
        EXPECT_EQ(ReadCustomPathDataDir(f.platform), c.expected);
        EXPECT_EQ(ReadAppPath(f.platform), c.expected);
    }
}

// An error raised by the folder test leads to the step that accepts the text.
TEST(FolderReaders, ReturnTheFolderWhenItsTestRaises) {
    struct Case {
        const char* what;
        std::string configured;
        std::wstring expected;
    };
    const Case cases[] = {
        {"drive not ready", "E:\\Cassa\\", L"E:\\Cassa"},
        {"drive that does not exist", "Q:\\Cassa", L"Q:\\Cassa"},
        {"server that does not answer", "\\\\192.0.2.1\\kdesk\\Cassa\\", L"\\\\192.0.2.1\\kdesk\\Cassa"},
        {"share that does not exist", "\\\\cassa1\\nessuna\\Dati", L"\\\\cassa1\\nessuna\\Dati"},
        {"folder missing on a reachable share", "\\\\cassa1\\kdesk\\Dati", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormFixture f;
        f.runtime.AddFolder(L"E:\\Cassa");
        f.runtime.SetVolumeFault(L"E:", kWin32NotReady);
        f.runtime.AddFolder(L"\\\\cassa1\\kdesk");
        f.registry.SetString(kKey, "CustomPathDataDir", c.configured);
        f.registry.SetString(kKey, "AppPath", c.configured);
        EXPECT_EQ(ReadCustomPathDataDir(f.platform), c.expected);
        EXPECT_EQ(ReadAppPath(f.platform), c.expected);
    }
}

struct VerifyCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> values;  // REG_SZ values of the key
    std::wstring dataPath, appPath, driverType;
};

TEST(VerifyAndSetPathFromRegistry, OverridesTheFoldersOnlyWhenTheProductValueExists) {
    const VerifyCase cases[] = {
        {"no product value", {{"AppPath", "E:\\Cassa"}, {"CustomPathDataDir", "D:\\Dati"}, {"DriverType", "X"}},
         L"C:\\Derived", L"C:\\Kdesk", L""},
        {"product value only", {{"VELKdesk", "F:\\Scambio"}}, L"F:\\Scambio", L"C:\\Kdesk", L""},
        {"empty data folder keeps the product value",
         {{"VELKdesk", "F:\\Scambio"}, {"CustomPathDataDir", ""}}, L"F:\\Scambio", L"C:\\Kdesk", L""},
        {"all values, taken as written",
         {{"VELKdesk", "F:\\Scambio"}, {"CustomPathDataDir", "D:\\Dati\\"}, {"AppPath", "E:\\Cassa"},
          {"DriverType", "Ditron"}},
         L"D:\\Dati\\", L"E:\\Cassa", L"Ditron"},
        {"empty application folder", {{"VELKdesk", "F:\\Scambio"}, {"AppPath", ""}}, L"F:\\Scambio", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormFixture f;
        f.vars.gDataPath = L"C:\\Derived";
        f.vars.gAppPath = f.vars.gTxtPath = L"C:\\Kdesk";
        for (const auto& [name, text] : c.values) f.registry.SetString("SOFTWARE\\VEL Vuvivazoror\\VELKdesk", name, text);
        f.form.VerifyAndSetPathFromRegistry();
        EXPECT_EQ(f.vars.gDataPath, c.dataPath);
        EXPECT_EQ(f.vars.gAppPath, c.appPath);
        EXPECT_EQ(f.vars.gDriverType, c.driverType);
        EXPECT_EQ(f.vars.gTxtPath, L"C:\\Kdesk");
    }
}

TEST(VerifyAndSetPathFromRegistry, ApplicationFolderOfAnotherTypeBecomesEmpty) {
    FormFixture f;
    f.vars.gAppPath = L"C:\\Kdesk";
    f.registry.SetString(kKey, "VELKdesk", "F:\\Scambio");
    f.registry.SetValue(kKey, "AppPath", kRegExpandSz, Bytes(std::string("%ProgramFiles%\\Kdesk\0", 21)));
    f.form.VerifyAndSetPathFromRegistry();
    EXPECT_EQ(f.vars.gAppPath, L"");
}

}  // namespace
}  // namespace kdesk::test
