// The attachment list of the started program: the scan of a prepared
// installation and the four commands, through the real controls and dialogs.
#include <gtest/gtest.h>

#include <memory>

#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"

namespace kdesk::e2e {
namespace {

constexpr int kFileNameCombo = 0x47C;  // the open-file dialog's file name (cmb13, or edt1 in old dialogs)

// The ordinary files matching a pattern, in the directory's own order, as folder\name.
std::vector<std::wstring> Matching(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            found.push_back(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

class AttachmentListE2e : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureDefaultDataFolder();
        pos->WriteFile(app + L"\\KDCHKCOM.TXT", "1000\r\n");
        pos->WriteFile(app + L"\\LOGFILE.TXT", "log\r\n");
        pos->WriteFile(app + L"\\readme.md", "no\r\n");
        pos->WriteFile(data + L"\\SR_MATR.001", "99MEY012345\r\n");
        pos->WriteFile(data + L"\\SR_ERR.001", "err\r\n");
        pos->WriteFile(data + L"\\SR_MATR.002", "other port\r\n");
        pos->WriteFile(data + L"\\HIDDEN.001", "hidden\r\n");
        SetFileAttributesW((data + L"\\HIDDEN.001").c_str(), FILE_ATTRIBUTE_HIDDEN);
        pos->MakeFolder(data + L"\\FOLDER.001");
        pos->WriteFile(pos->Scratch() + L"\\elsewhere\\Caff\u00e8 \u21161.log", "x");
        pos->SetString(L"AppPath", app);
        pos->SetString(L"VELKdesk", data);

        program = std::make_unique<RunningProgram>();
        main = program->WaitForMainWindow();
        ASSERT_NE(main, nullptr) << "main window did not appear";
        list = MainControl(main, L"List1");
        scanned = Matching(data, L"*.001");
        const auto texts = Matching(app, L"*.TXT");
        scanned.insert(scanned.end(), texts.begin(), texts.end());
    }

    void TearDown() override {
        SaveScreenshotOfFailedTest();
        if (main) PostMessageW(main, WM_CLOSE, 0, 0);
        if (program) {
            EXPECT_TRUE(program->WaitForExit());
        }
    }

    // Chooses a file in the real open-file dialog; an empty name cancels it.
    void ChooseInDialog(const std::wstring& file) {
        Click(MainControl(main, L"cmdAddFile"));
        HWND dialog = program->WaitForDialog();
        ASSERT_NE(dialog, nullptr) << "open-file dialog did not appear";
        if (file.empty()) {
            PressDialogButton(dialog, IDCANCEL);
        } else {
            HWND name = GetDlgItem(dialog, kFileNameCombo);
            ASSERT_NE(name, nullptr);
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
            PressDialogButton(dialog, IDOK);
        }
        ASSERT_TRUE(WaitUntilGone(dialog));
    }

    // Selects an entry as the operator would and answers the removal question.
    std::wstring SelectAndAnswer(int index, int answer) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        const ControlRow* row = FindControl(MainLayout(), L"List1");
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(row->id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        HWND box = program->WaitForDialog();
        if (!box) return L"<no question>";
        const std::wstring prompt = MessageBoxText(box) + L"|" + WindowText(box);
        PressDialogButton(box, answer);
        WaitUntilGone(box);
        return prompt;
    }

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    const std::wstring app = pos->Scratch() + L"\\Kdesk";
    const std::wstring data = pos->Scratch() + L"\\Scambio";
    std::unique_ptr<RunningProgram> program;
    HWND main = nullptr;
    HWND list = nullptr;
    std::vector<std::wstring> scanned;
};

TEST_F(AttachmentListE2e, StartUpListsThePortFilesThenTheTextFiles) {
    EXPECT_EQ(scanned.size(), 4u);
    EXPECT_EQ(ListEntries(list), scanned);
}

TEST_F(AttachmentListE2e, AddTakesTheDialogsChoiceAndCancelAddsNothing) {
    const std::wstring chosen = pos->Scratch() + L"\\elsewhere\\Caff\u00e8 \u21161.log";
    ASSERT_NO_FATAL_FAILURE(ChooseInDialog(chosen));
    auto expected = scanned;
    expected.push_back(chosen);
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(list) == expected; }));
    EXPECT_EQ(ListEntries(list), expected);

    ASSERT_NO_FATAL_FAILURE(ChooseInDialog(L""));
    Sleep(300);
    EXPECT_EQ(ListEntries(list), expected);
    EXPECT_EQ(program->WaitForDialog(std::chrono::milliseconds(300)), nullptr) << "a message after cancel";

    Click(MainControl(main, L"cmdLoadDati"));
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(list) == scanned; }));
}

TEST_F(AttachmentListE2e, RemovalAsksAndOnlyOkRemovesTheEntry) {
    EXPECT_EQ(SelectAndAnswer(1, IDCANCEL), L"Confermi cancellazione item ?|");
    EXPECT_EQ(ListEntries(list), scanned);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);

    EXPECT_EQ(SelectAndAnswer(1, IDOK), L"Confermi cancellazione item ?|");
    auto expected = scanned;
    expected.erase(expected.begin() + 1);
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(list) == expected; }));
}

TEST_F(AttachmentListE2e, ClearEmptiesMessageCustomerAndListOnly) {
    SendMessageW(MainControl(main, L"txtMessage"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"testo"));
    SendMessageW(MainControl(main, L"txtDatiCliente"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Bar Roma"));
    const std::wstring sendTo = ControlText(MainControl(main, L"txtSendTo"));
    Click(MainControl(main, L"cmdClearText"));
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(list).empty(); }));
    EXPECT_EQ(ControlText(MainControl(main, L"txtMessage")), L"");
    EXPECT_EQ(ControlText(MainControl(main, L"txtDatiCliente")), L"");
    EXPECT_EQ(ControlText(MainControl(main, L"txtSendTo")), sendTo);
    EXPECT_EQ(ControlText(MainControl(main, L"txtSubject")), L"VelAutoMail");

    Click(MainControl(main, L"cmdLoadDati"));
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(list) == scanned; }));
}

}  // namespace
}  // namespace kdesk::e2e
