#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"

namespace kdesk::e2e {
namespace {

struct ScreenDpi {
    int x = 96, y = 96;
    ScreenDpi() {
        HDC screen = GetDC(nullptr);
        x = GetDeviceCaps(screen, LOGPIXELSX);
        y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
};

RECT ExpectedRect(const TwipsRect& twips, const ScreenDpi& dpi) {
    const int left = TwipsToPixels(twips.left, dpi.x);
    const int top = TwipsToPixels(twips.top, dpi.y);
    return {left, top, left + TwipsToPixels(twips.width, dpi.x), top + TwipsToPixels(twips.height, dpi.y)};
}

// What each kind of control must be: its window class, the style bits it must
// have and those it must not have.
struct KindLook {
    const wchar_t* className;
    LONG required;
    LONG forbidden;
};

KindLook LookOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return {L"Static", SS_NOPREFIX, WS_TABSTOP};
        case ControlKind::TextBox: return {L"Edit", WS_TABSTOP, ES_READONLY | ES_MULTILINE};
        case ControlKind::MultiLineTextBox:
            return {L"Edit", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, ES_READONLY | WS_HSCROLL};
        case ControlKind::ReadOnlyTextBox: return {L"Edit", WS_TABSTOP | ES_READONLY, ES_MULTILINE};
        case ControlKind::ListBox:
            return {L"ListBox", WS_TABSTOP | LBS_NOTIFY, LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL};
        case ControlKind::Button: return {L"Button", WS_TABSTOP | BS_OWNERDRAW, 0};
        case ControlKind::DefaultButton: return {L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
        case ControlKind::Picture: return {L"Static", 0, WS_TABSTOP};
    }
    return {L"", 0, 0};
}

struct FontLine {
    std::wstring face;
    int height = 0;
    int weight = 0;
};
struct MenuLine {
    int depth = 0;
    std::wstring caption;
    UINT id = 0;
    bool operator==(const MenuLine&) const = default;
};
struct Description {
    std::map<int, FontLine> fonts;
    std::vector<MenuLine> menus;
    std::map<int, std::wstring> tooltips;
};

Description Parse(const std::wstring& text) {
    Description description;
    std::wistringstream lines(text);
    std::wstring line;
    while (std::getline(lines, line)) {
        std::vector<std::wstring> fields;
        std::wistringstream split(line);
        for (std::wstring field; std::getline(split, field, L'\t');) fields.push_back(field);
        if (fields.size() == 5 && fields[0] == L"font")
            description.fonts[std::stoi(fields[1])] = {fields[2], std::stoi(fields[3]), std::stoi(fields[4])};
        if (fields.size() == 3 && fields[0] == L"tooltip") description.tooltips[std::stoi(fields[1])] = fields[2];
        if (fields.size() == 4 && fields[0] == L"menu")
            description.menus.push_back({std::stoi(fields[1]), fields[2], static_cast<UINT>(std::stoul(fields[3]))});
    }
    return description;
}

bool IsFilledAtStartUp(const ControlRow& row) { return row.kind == ControlKind::ReadOnlyTextBox || row.kind == ControlKind::ListBox; }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = StartUntilActive(program_);
        ASSERT_NE(main_, nullptr) << "main window did not appear";
    }
    void TearDown() override { SaveScreenshotOfFailedTest(); }
    HWND Control(std::wstring_view name) const { return MainControl(main_, name); }

    std::unique_ptr<RunningProgram> program_;
    HWND main_ = nullptr;
};

TEST_F(MainWindowTest, FrameHasTitleIconAndClientSize) {
    const ScreenDpi dpi;
    EXPECT_EQ(WindowText(main_), L"VelKdesk Support");
    const LONG style = GetWindowLongW(main_, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_NE(RequestDescription(main_).find(L"icons\t1\t1\n"), std::wstring::npos);
    RECT client{};
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kMainClientWidthTwips, dpi.x));
    EXPECT_EQ(client.bottom, TwipsToPixels(kMainClientHeightTwips, dpi.y));
    SaveScreenshot(L"main_window_layout");
}

TEST_F(MainWindowTest, EveryControlMatchesItsLayoutRow) {
    const ScreenDpi dpi;
    const Description description = Parse(RequestDescription(main_));
    for (const ControlRow& row : MainLayout()) {
        SCOPED_TRACE(std::string(row.name.begin(), row.name.end()));
        HWND control = GetDlgItem(main_, row.id);
        ASSERT_NE(control, nullptr);
        const KindLook look = LookOf(row.kind);
        EXPECT_EQ(ClassName(control), look.className);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ(style & look.required, look.required);
        EXPECT_EQ(style & look.forbidden, 0);
        if (row.kind == ControlKind::Label) {
            EXPECT_EQ(style & SS_TYPEMASK, row.centred ? SS_CENTER : SS_LEFT);
        }
        if (row.kind == ControlKind::TextBox || row.kind == ControlKind::ReadOnlyTextBox) {
            EXPECT_EQ((style & ES_CENTER) != 0, row.centred);
        }
        if (!IsFilledAtStartUp(row)) {
            EXPECT_EQ(ControlText(control), row.text);
        }

        const RECT expected = ExpectedRect(row.rect, dpi);
        const RECT actual = ClientRectInParent(control);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);

        const auto font = description.fonts.find(row.id);
        ASSERT_NE(font, description.fonts.end()) << "no font";
        EXPECT_EQ(font->second.face, L"MS Sans Serif");
        EXPECT_EQ(font->second.height, -CentiPointsToPixels(row.font.centiPoints, dpi.y));
        EXPECT_EQ(font->second.weight, row.font.Weight());

        const auto tooltip = description.tooltips.find(row.id);
        EXPECT_EQ(tooltip == description.tooltips.end() ? L"" : tooltip->second, row.tooltip);
    }
    EXPECT_EQ(description.tooltips.size(), 2u);
}

TEST_F(MainWindowTest, StartsWithTheMailboxAndSubjectPrefix) {
    EXPECT_EQ(ControlText(Control(L"txtSubject")), L"VelAutoMail");
    const std::wstring mailbox = ControlText(Control(L"txtSendTo"));
    EXPECT_NE(mailbox.find(L'@'), std::wstring::npos) << "support mailbox: " << std::string(mailbox.begin(), mailbox.end());
}

TEST_F(MainWindowTest, TabWalksTheControlsInKeyboardOrderFromTheDataFolder) {
    const std::vector<std::wstring> expected{
        L"txtAppDataVista", L"txtKdeskPath",  L"cmdMapiManager", L"txtMessage",       L"txtSubject",
        L"txtSendTo",       L"List1",         L"txtMatr",        L"txtVersion",       L"cmdClearText",
        L"txtDriverType",   L"txtComPort",    L"cmdLoadDati",    L"txtDataCreazione", L"txtDatiCliente",
        L"cmdAddFile",      L"txtSendcc"};
    std::map<int, std::wstring> names;
    for (const ControlRow& row : MainLayout()) names[row.id] = std::wstring(row.name);

    EXPECT_EQ(FocusedControl(main_), Control(L"txtAppDataVista"));
    std::vector<std::wstring> walked;
    HWND current = Control(L"txtAppDataVista");
    do {
        walked.push_back(names[GetDlgCtrlID(current)]);
        current = GetNextDlgTabItem(main_, current, FALSE);
    } while (current && current != Control(L"txtAppDataVista") && walked.size() <= expected.size());
    EXPECT_EQ(walked, expected);
}

TEST_F(MainWindowTest, TabLeavesTheMultiLineBoxesWithoutTypingIntoThem) {
    for (const auto& [box, next] : {std::pair{L"txtMessage", L"txtSubject"}, std::pair{L"txtDatiCliente", L"cmdAddFile"}}) {
        HWND control = Control(box);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // focus it by mouse
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(WaitUntil([&] { return FocusedControl(main_) == control; }));
        PressKey(control, VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusedControl(main_) == Control(next); }, 3s)) << "Tab stayed in a box";
        EXPECT_EQ(ControlText(control), L"");
    }
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndCommands) {
    const std::vector<MenuLine> expected{{0, L"&File", 0},
                                         {1, L"&Termina esecuzione", kIdMenuEnd},
                                         {0, L"&?", 0},
                                         {1, L"&Informazioni  sul programma", kIdMenuInfo}};
    EXPECT_EQ(Parse(RequestDescription(main_)).menus, expected);
}

TEST_F(MainWindowTest, ControlsKeepTheirPlaceWhenTheWindowIsResized) {
    const std::vector<std::wstring_view> watched{L"txtAppDataVista", L"List1", L"cmdAddFile", L"txtMessage"};
    std::vector<RECT> before;
    for (auto name : watched) before.push_back(ClientRectInParent(Control(name)));
    for (const SIZE size : {SIZE{1200, 900}, SIZE{300, 200}}) {
        SetWindowPos(main_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        for (size_t i = 0; i < watched.size(); ++i) {
            const RECT now = ClientRectInParent(Control(watched[i]));
            EXPECT_TRUE(EqualRect(&before[i], &now)) << "control " << i << " moved at width " << size.cx;
        }
    }
}

TEST_F(MainWindowTest, EnterAndEscPressNoButtonButEnterBreaksTheMessageLine) {
    HWND focused = FocusedControl(main_);
    ASSERT_NE(focused, nullptr);
    PressKey(focused, VK_RETURN);
    PressKey(focused, VK_ESCAPE);
    EXPECT_EQ(program_->WaitForDialog(1500ms), nullptr) << "a button answered Enter or Esc";

    HWND message = Control(L"txtMessage");
    SendMessageW(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"riga"));
    SendMessageW(message, EM_SETSEL, 4, 4);
    PressKey(message, VK_RETURN);
    for (int i = 0; i < 40 && ControlText(message) == L"riga"; ++i) Sleep(50);
    EXPECT_EQ(ControlText(message), L"riga\r\n");
    EXPECT_EQ(program_->WaitForDialog(500ms), nullptr);
}

TEST_F(MainWindowTest, ReadOnlyBoxIgnoresTyping) {
    HWND port = Control(L"txtComPort");
    const std::wstring before = ControlText(port);
    PostMessageW(port, WM_CHAR, L'9', 1);
    Sleep(300);
    EXPECT_EQ(ControlText(port), before);
}

TEST_F(MainWindowTest, EndCommandClosesTheProgramWithoutAQuestion) {
    SendMessageW(Control(L"txtMessage"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"non inviato"));
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kIdMenuEnd, 0), 0);
    ASSERT_TRUE(program_->WaitForExit()) << "the program is still running";
    EXPECT_EQ(program_->ExitCode(), 0u);
}

}  // namespace
}  // namespace kdesk::e2e
