#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/about/about_layout.h"
#include "tests/e2e/driver.h"

namespace kdesk::e2e {
namespace {

int Dpi(int index) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = StartUntilActive(program_);
        ASSERT_NE(main_, nullptr) << "main window did not appear";
    }
    void TearDown() override {
        SaveScreenshotOfFailedTest();
    }

    HWND Open() {
        PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kIdMenuInfo, 0), 0);
        HWND box = program_->WaitForDialog();
        if (box) {
            for (int i = 0; i < 100 && FocusedControl(box) != Item(box, L"cmdOK"); ++i) Sleep(50);
        }
        return box;
    }
    static HWND Item(HWND box, std::wstring_view name) {
        const ControlRow* row = FindControl(AboutLayout(), name);
        return row ? GetDlgItem(box, row->id) : nullptr;
    }
    bool WaitUntilClosed(HWND box) {
        for (int i = 0; i < 100; ++i) {
            if (!IsWindow(box)) return true;
            Sleep(50);
        }
        return false;
    }
    void ExpectLines(HWND box) {
        EXPECT_EQ(ControlText(Item(box, L"lblVersion")), L"Versione 0.0.0.1");
        EXPECT_EQ(ControlText(Item(box, L"lblTitle")), L"VelKdesk Support per sistemi Windows 32 e 64 bit");
        EXPECT_EQ(ControlText(Item(box, L"lblDescription")), L"Programma di supporto e di analisi per VelKdesk");
        EXPECT_EQ(ControlText(Item(box, L"lblProdotto")), L"");
        EXPECT_EQ(ControlText(Item(box, L"cmdOK")), L"&OK");
    }

    std::unique_ptr<RunningProgram> program_;
    HWND main_ = nullptr;
};

TEST_F(AboutBoxTest, IsAFixedModalDialogCentredOverTheMainWindow) {
    HWND box = Open();
    ASSERT_NE(box, nullptr) << "the About box did not open";
    EXPECT_EQ(WindowText(box), L"Informazioni su VelKdesk Support");
    EXPECT_EQ(GetWindow(box, GW_OWNER), main_);
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window still takes input";

    const LONG style = GetWindowLongW(box, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kAboutClientWidthTwips, Dpi(LOGPIXELSX)));
    EXPECT_EQ(client.bottom, TwipsToPixels(kAboutClientHeightTwips, Dpi(LOGPIXELSY)));

    RECT boxRect{}, mainRect{};
    GetWindowRect(box, &boxRect);
    GetWindowRect(main_, &mainRect);
    EXPECT_NEAR(boxRect.left + boxRect.right, mainRect.left + mainRect.right, 2);
    EXPECT_NEAR(boxRect.top + boxRect.bottom, mainRect.top + mainRect.bottom, 2);

    const LONG okStyle = GetWindowLongW(Item(box, L"cmdOK"), GWL_STYLE);
    EXPECT_EQ(okStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (const ControlRow& row : AboutLayout()) {
        const RECT actual = ClientRectInParent(Item(box, row.name));
        EXPECT_EQ(actual.left, TwipsToPixels(row.rect.left, Dpi(LOGPIXELSX))) << std::string(row.name.begin(), row.name.end());
        EXPECT_EQ(actual.bottom - actual.top, TwipsToPixels(row.rect.height, Dpi(LOGPIXELSY)));
    }
    ExpectLines(box);
    SaveScreenshot(L"about_box");
}

// Every way of closing unloads the box; each opening fills the same lines again.
TEST_F(AboutBoxTest, ClosesWithOkEnterEscAndTheCloseBoxAndReopensAlike) {
    struct Closing {
        const char* how;
        void (*close)(HWND box, HWND ok);
    };
    const Closing closings[] = {
        {"&OK", [](HWND, HWND ok) { Click(ok); }},
        {"Enter", [](HWND, HWND ok) { PressKey(ok, VK_RETURN); }},
        {"Esc", [](HWND, HWND ok) { PressKey(ok, VK_ESCAPE); }},
        {"close box", [](HWND box, HWND) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.how);
        HWND box = Open();
        ASSERT_NE(box, nullptr) << "the About box did not open";
        ExpectLines(box);
        closing.close(box, Item(box, L"cmdOK"));
        ASSERT_TRUE(WaitUntilClosed(box)) << "the About box is still open";
        for (int i = 0; i < 40 && !IsWindowEnabled(main_); ++i) Sleep(50);
        EXPECT_TRUE(IsWindowEnabled(main_));
    }
    EXPECT_EQ(program_->ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
}

}  // namespace
}  // namespace kdesk::e2e
