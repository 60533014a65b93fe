#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

const std::string kInstallKey = "SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
const std::wstring kOwnFolder = L"C:\\Strumenti";
const std::wstring kVistaData = L"C:\\ProgramData\\VELKDESK";

constexpr std::uint32_t kWin9x = 1, kNt = 2;

struct StartUp : FormFixture {
    StartUp() {
        runtime.SetOwnFolder(kOwnFolder);
        runtime.AddFolder(kOwnFolder);
        shell.SetCommonAppData("C:\\ProgramData");
    }
    void Vista() { shell.SetVersion(kNt, 6, 0); }
    void WindowsXp() { shell.SetVersion(kNt, 5, 1); }
};

TEST(IsOS_Vista, CountsNtSixAndLater) {
    struct Case {
        std::uint32_t platformId, major;
        bool vista;
    };
    const Case cases[] = {
        {kNt, 6, true},      {kNt, 5, false},     {kNt, 4, false},    {kNt, 3, false},
        {kNt, 10, true},     {kWin9x, 4, false},  {kWin9x, 6, false}, {0, 6, false},
        {3, 6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "platform " << c.platformId << " major " << c.major);
        StartUp f;
        f.shell.SetVersion(c.platformId, c.major);
        EXPECT_EQ(f.form.IsOS_Vista(), c.vista);
        EXPECT_EQ(f.shell.LastVersionRecordSize(), 148u);
    }
}

TEST(IsOS_Vista, AQueryThatFillsNothingIsNotVista) {
    StartUp f;
    f.shell.FailVersion();
    EXPECT_FALSE(f.form.IsOS_Vista());
}

TEST(Read_CSIDL_COMMON_APPDATA, ReturnsTheFolderAskingToCreateIt) {
    StartUp f;
    EXPECT_EQ(f.form.Read_CSIDL_COMMON_APPDATA(), L"C:\\ProgramData");
    EXPECT_TRUE(f.shell.LastCreateFlag());
    EXPECT_TRUE(f.runtime.Messages().empty());
}

TEST(Read_CSIDL_COMMON_APPDATA, ReportsAFolderItCannotHave) {
    const std::function<void(FakeShell&)> failures[] = {
        [](FakeShell& s) { s.SetCommonAppData(std::nullopt); },
        [](FakeShell& s) { s.SetCommonAppData(""); },
        [](FakeShell& s) { s.BreakSpecialFolders(); },
    };
    for (const auto& fail : failures) {
        StartUp f;
        fail(f.shell);
        EXPECT_EQ(f.form.Read_CSIDL_COMMON_APPDATA(), L"");
        ASSERT_EQ(f.runtime.Messages().size(), 1u);
        EXPECT_EQ(f.runtime.Messages()[0].prompt, L"Path non disponibile");
        EXPECT_EQ(f.runtime.Messages()[0].buttons, MsgButtons::Ok);
        EXPECT_FALSE(f.runtime.Messages()[0].title.has_value());
    }
}

TEST(FormLoad, VistaUsesTheCommonDataFolderAndEmptyRegistryFolders) {
    StartUp f;
    f.Vista();
    f.runtime.AddFolder(kVistaData);
    f.form.Form_Load();
    EXPECT_FALSE(f.runtime.Ended());
    EXPECT_TRUE(f.runtime.Messages().empty());
    EXPECT_EQ(f.vars.gDataPath, kVistaData);
    EXPECT_EQ(f.vars.gAppPath, L"");
    EXPECT_EQ(f.vars.gTxtPath, L"");
    EXPECT_EQ(f.txtAppDataVista.Text(), kVistaData);
    EXPECT_EQ(f.txtKdeskPath.Text(), L"");
    EXPECT_EQ(f.txtComPort.Text(), L"0");
}

TEST(FormLoad, EndsAtOnceWhenTheVistaDataFolderIsMissing) {
    struct Case {
        const char* what;
        std::function<void(StartUp&)> prepare;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {"folder missing", [](StartUp&) {}, {kVistaData + L" : DIR NON ESISTENTE"}},
        {"path is a file", [](StartUp& f) { f.runtime.AddFile(kVistaData, "x"); },
         {kVistaData + L" : DIR NON ESISTENTE"}},
        {"no common folder, own folder missing",
         [](StartUp& f) {
             f.shell.SetCommonAppData(std::nullopt);
             f.runtime.RemovePath(kOwnFolder);
         },
         {L"Path non disponibile", kOwnFolder + L" : DIR NON ESISTENTE"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartUp f;
        f.Vista();
        c.prepare(f);
        f.registry.SetString(kInstallKey, "AppPath", "C:\\Strumenti");
        f.form.Form_Load();
        ASSERT_EQ(f.runtime.Messages().size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(f.runtime.Messages()[i].prompt, c.messages[i]);
            EXPECT_EQ(f.runtime.Messages()[i].buttons, MsgButtons::Ok);
            EXPECT_FALSE(f.runtime.Messages()[i].title.has_value());
        }
        EXPECT_TRUE(f.runtime.Ended());
        EXPECT_EQ(f.registry.Calls(), 0) << "a later stage ran";
        EXPECT_EQ(f.txtComPort.Text(), L"");
        EXPECT_EQ(f.txtAppDataVista.Text(), L"");
    }
}

TEST(FormLoad, DerivesTheDataFolderFromTheSystemThenTheRegistry) {
    struct Case {
        const char* what;
        std::uint32_t platformId, major;
        bool customDataDir;
        std::wstring dataPath;
    };
    const Case cases[] = {
        {"XP: own folder", kNt, 5, false, kOwnFolder},
        {"Windows 10 and 11 report NT 10 to the manifested program", kNt, 10, false, kVistaData},
        {"Windows 98", kWin9x, 4, false, kOwnFolder},
        {"Vista", kNt, 6, false, kVistaData},
        {"XP with CustomPathDataDir", kNt, 5, true, L"D:\\Dati"},
        {"Vista with CustomPathDataDir", kNt, 6, true, L"D:\\Dati"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartUp f;
        f.shell.SetVersion(c.platformId, c.major);
        f.runtime.AddFolder(kVistaData);
        f.runtime.AddFolder(L"D:\\Dati");
        if (c.customDataDir) f.registry.SetString(kInstallKey, "CustomPathDataDir", "D:\\Dati\\");
        f.form.Form_Load();
        EXPECT_EQ(f.vars.gDataPath, c.dataPath);
        EXPECT_EQ(f.txtAppDataVista.Text(), c.dataPath);
        EXPECT_FALSE(f.runtime.Ended());
    }
}

TEST(FormLoad, XpMakesNoFolderTestEvenWhenTheOwnFolderIsBare) {
    StartUp f;
    f.WindowsXp();
    f.runtime.RemovePath(kOwnFolder);
    f.form.Form_Load();
    EXPECT_FALSE(f.runtime.Ended());
    EXPECT_TRUE(f.runtime.Messages().empty());
    EXPECT_EQ(f.vars.gDataPath, kOwnFolder);
}

// Both key spellings name one key, so the override differs from the stage-4 folder
// by the unverified text: a trailing backslash kept, or a folder that is absent.
TEST(FormLoad, PortCheckFileStaysInTheFolderReadBeforeTheRegistryOverride) {
    struct Case {
        const char* what;
        std::string appPath;
        std::wstring txtPath;
        std::int16_t port;
    };
    const Case cases[] = {
        {"trailing backslash kept by the override", "C:\\Kdesk\\", L"C:\\Kdesk", 2},
        {"absent folder", "C:\\Cassa", L"", 0},
        {"folder on a drive that cannot be reached", "Q:\\Cassa", L"Q:\\Cassa", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartUp f;
        f.WindowsXp();
        f.runtime.AddFile(L"C:\\Kdesk\\KDCHKCOM.TXT", "0100\r\n");
        f.runtime.AddFile(L"F:\\Scambio\\SR_MATR.00" + std::to_wstring(c.port), "0012345\r\n");
        f.registry.SetString(kInstallKey, "AppPath", c.appPath);
        f.registry.SetString("SOFTWARE\\VEL Vuvivazoror\\VELKdesk", "VELKdesk", "F:\\Scambio");
        f.registry.SetString("SOFTWARE\\VEL Vuvivazoror\\VELKdesk", "DriverType", "DITRON");
        f.form.Form_Load();
        const std::wstring appPath(c.appPath.begin(), c.appPath.end());
        EXPECT_EQ(f.vars.gTxtPath, c.txtPath);
        EXPECT_EQ(f.vars.gAppPath, appPath);
        EXPECT_EQ(f.txtKdeskPath.Text(), appPath);
        EXPECT_EQ(f.txtAppDataVista.Text(), L"F:\\Scambio");
        EXPECT_EQ(f.vars.gComPort, c.port);
        EXPECT_EQ(f.txtComPort.Text(), std::to_wstring(c.port));
        EXPECT_EQ(f.txtMatr.Text(), L"0012345");
        EXPECT_EQ(f.txtDriverType.Text(), L"DITRON");
        EXPECT_TRUE(f.runtime.Messages().empty());
    }
}

TEST(FormLoad, WithoutPortCheckFileReadsSerialNumberFileZero) {
    StartUp f;
    f.Vista();
    f.runtime.AddFolder(kVistaData);
    f.runtime.AddFile(kVistaData + L"\\SR_MATR.000", "99MATR0001\r\n");
    f.form.Form_Load();
    EXPECT_EQ(f.txtComPort.Text(), L"0");
    EXPECT_EQ(f.txtMatr.Text(), L"99MATR0001");
}

TEST(FormLoad, LockedPortCheckFileIsReportedAndStartUpGoesOn) {
    StartUp f;
    f.WindowsXp();
    f.runtime.AddFolder(L"C:\\Kdesk");
    f.runtime.AddFile(L"C:\\Kdesk\\KDCHKCOM.TXT", "0100\r\n");
    f.runtime.LockFile(L"C:\\Kdesk\\KDCHKCOM.TXT");
    f.runtime.AddFile(kOwnFolder + L"\\SR_MATR.000", "77\r\n");
    f.registry.SetString(kInstallKey, "AppPath", "C:\\Kdesk");
    f.form.Form_Load();
    ASSERT_EQ(f.runtime.Messages().size(), 1u);
    const std::wstring& prompt = f.runtime.Messages()[0].prompt;
    EXPECT_EQ(prompt.rfind(L"ReadComPortFromFile: ", 0), 0u) << prompt;
    EXPECT_TRUE(prompt.ends_with(L" - 70")) << prompt;
    EXPECT_FALSE(f.runtime.Messages()[0].title.has_value());
    EXPECT_FALSE(f.runtime.Ended());
    EXPECT_EQ(f.txtComPort.Text(), L"0");
    EXPECT_EQ(f.txtMatr.Text(), L"77");
    EXPECT_EQ(f.txtKdeskPath.Text(), L"C:\\Kdesk");
}

}  // namespace
}  // namespace kdesk::test
