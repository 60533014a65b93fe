// The start-up on prepared Wine prefixes: the Windows version decides the data
// folder, the registry and the two small files fill the read-only fields.
// Wine 8 reports NT 5.1 for "winxp", 6.0 for "vista" and, to a program without
// manifest, 6.2 for "win10": such a system counts as Vista-class.
#include <gtest/gtest.h>

#include <memory>

#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"

namespace kdesk::e2e {
namespace {

struct Fields {
    std::wstring comPort, dataFolder, appFolder, serial, driverType;
    bool operator==(const Fields&) const = default;
};

void PrintTo(const Fields& f, std::ostream* out) {
    auto narrow = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
    *out << "{port " << narrow(f.comPort) << ", data " << narrow(f.dataFolder) << ", app " << narrow(f.appFolder)
         << ", serial " << narrow(f.serial) << ", driver " << narrow(f.driverType) << "}";
}

std::wstring FieldText(HWND main, std::wstring_view name) {
    HWND control = MainControl(main, name);
    return control ? ControlText(control) : L"<no such control>";
}

Fields ReadFields(HWND main) {
    return {FieldText(main, L"txtComPort"), FieldText(main, L"txtAppDataVista"), FieldText(main, L"txtKdeskPath"),
            FieldText(main, L"txtMatr"), FieldText(main, L"txtDriverType")};
}

std::wstring VistaDataFolder() { return Installation::CommonAppData() + L"\\VELKDESK"; }

class StartUp : public ::testing::Test {
protected:
    void TearDown() override {
        SaveScreenshotOfFailedTest();
    }

    // Starts the program and returns the fields of its main window, closing it afterwards.
    Fields StartAndReadFields() {
        RunningProgram program;
        HWND main = program.WaitForMainWindow();
        if (!main) {
            ADD_FAILURE() << "main window did not appear";
            return {};
        }
        Fields fields = ReadFields(main);
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit());
        return fields;
    }

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    const std::wstring app = pos->Scratch() + L"\\Kdesk";
    const std::wstring data = pos->Scratch() + L"\\Scambio";
};

TEST_F(StartUp, WindowsXpUsesTheProgramsOwnFolderForData) {
    WineVersion xp(L"winxp");
    pos->WriteFile(app + L"\\KDCHKCOM.TXT", "0010\r\n");
    pos->WriteFile(BinFolder() + L"\\SR_MATR.003", "0042\r\n");
    pos->SetString(L"AppPath", app + L"\\");
    EXPECT_EQ(StartAndReadFields(), (Fields{L"3", BinFolder(), app, L"0042", L""}));
}

TEST_F(StartUp, VistaTakesFoldersAndDriverFromTheProductValue) {
    WineVersion vista(L"vista");
    pos->MakeFolder(VistaDataFolder());
    pos->WriteFile(app + L"\\KDCHKCOM.TXT", "1000\r\n");
    pos->WriteFile(data + L"\\SR_MATR.001", "\"MATR, 7\"\r\nsecond line\r\n");
    pos->SetString(L"AppPath", app);
    pos->SetString(L"VELKdesk", data);
    pos->SetString(L"DriverType", L"DITRON");
    EXPECT_EQ(StartAndReadFields(), (Fields{L"1", data, app, L"MATR, 7", L"DITRON"}));
}

TEST_F(StartUp, Windows10CountsAsVistaClassAndTakesTheCustomDataFolder) {
    WineVersion win10(L"win10");
    pos->MakeFolder(VistaDataFolder());
    pos->WriteFile(app + L"\\KDCHKCOM.TXT", "0001,extra\r\n");
    pos->WriteFile(data + L"\\SR_MATR.004", "  00077,x\r\n");
    pos->SetString(L"AppPath", app);
    pos->SetString(L"CustomPathDataDir", data + L"\\");
    EXPECT_EQ(StartAndReadFields(), (Fields{L"4", data, app, L"00077", L""}));
}

TEST_F(StartUp, UnusualRegistryDataIsReadWithoutHarm) {
    WineVersion win10(L"win10");
    pos->MakeFolder(VistaDataFolder());
    pos->SetDword(L"VELKdesk", 10);
    pos->SetValue(L"AppPath", REG_BINARY, {0x43, 0x3A, 0x5C, 0x00});
    pos->SetValue(L"CustomPathDataDir", REG_EXPAND_SZ, {0x25, 0x54, 0x45, 0x4D, 0x50, 0x25, 0x00});
    pos->SetString(L"DriverType", std::wstring(1500, L'D'));
    EXPECT_EQ(StartAndReadFields(), (Fields{L"0", L"&h00000A", L"", L"", L""}));
}

TEST_F(StartUp, LockedPortCheckFileIsReportedAndTheWindowStillOpens) {
    WineVersion win10(L"win10");
    pos->MakeFolder(VistaDataFolder());
    pos->WriteFile(app + L"\\KDCHKCOM.TXT", "0100\r\n");
    pos->LockFile(app + L"\\KDCHKCOM.TXT");
    pos->SetString(L"AppPath", app);

    RunningProgram program;
    HWND box = program.WaitForDialog();
    ASSERT_NE(box, nullptr) << "no message about the port-check file";
    const std::wstring prompt = MessageBoxText(box);
    EXPECT_EQ(prompt, L"ReadComPortFromFile: Autorizzazione negata - 70");
    EXPECT_EQ(WindowText(box), L"VelKdesk Support");
    PressDialogButton(box, IDOK);

    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "main window did not appear after the message";
    EXPECT_EQ(ReadFields(main), (Fields{L"0", VistaDataFolder(), app, L"", L""}));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(StartUp, VistaWithoutDataFolderEndsWithoutShowingTheWindow) {
    WineVersion vista(L"vista");
    pos->HideFolder(VistaDataFolder());

    RunningProgram program;
    HWND box = program.WaitForDialog();
    ASSERT_NE(box, nullptr) << "no folder-missing message";
    EXPECT_EQ(MessageBoxText(box), VistaDataFolder() + L" : DIR NON ESISTENTE");
    EXPECT_EQ(WindowText(box), L"VelKdesk Support");
    SaveScreenshot(L"start_up_missing_data_folder");
    EXPECT_EQ(program.WaitForMainWindow(std::chrono::milliseconds(500)), nullptr);
    PressDialogButton(box, IDOK);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
}  // namespace kdesk::e2e
