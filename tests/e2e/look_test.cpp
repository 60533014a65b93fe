#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"

namespace kdesk::e2e {
namespace {

// The colours of the screen within a rectangle of the client area of `window`.
std::vector<COLORREF> ScreenPixels(HWND window, const RECT& area) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(screen, origin.x + x, origin.y + y));
    ReleaseDC(nullptr, screen);
    return pixels;
}

class LookTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = StartUntilActive(program_);
        ASSERT_NE(main_, nullptr) << "main window did not appear";
        Sleep(300);  // painted
    }
    void TearDown() override { SaveScreenshotOfFailedTest(); }
    HWND Control(std::wstring_view name) const { return MainControl(main_, name); }

    std::unique_ptr<RunningProgram> program_;
    HWND main_ = nullptr;
};

TEST_F(LookTest, EveryCaptionLiesJustBeforeTheControlItNames) {
    for (const CaptionRow& caption : MainCaptions()) {
        SCOPED_TRACE(std::string(caption.label.begin(), caption.label.end()));
        EXPECT_EQ(GetWindow(Control(caption.control), GW_HWNDPREV), Control(caption.label));
    }
}

// A caption that overlaps its box paints nothing over the box's border: the
// screen there is the same with the caption hidden.
TEST_F(LookTest, CaptionsLeaveTheBordersOfTheBoxesTheyOverlapWhole) {
    int overlaps = 0;
    SaveScreenshot(L"captions_over_boxes");
    for (const CaptionRow& caption : MainCaptions()) {
        SCOPED_TRACE(std::string(caption.label.begin(), caption.label.end()));
        const RECT label = ClientRectInParent(Control(caption.label));
        const RECT box = ClientRectInParent(Control(caption.control));
        RECT overlap{};
        if (!IntersectRect(&overlap, &label, &box)) continue;
        ++overlaps;
        const std::vector<COLORREF> shown = ScreenPixels(main_, overlap);
        ShowWindow(Control(caption.label), SW_HIDE);
        Sleep(300);
        const std::vector<COLORREF> hidden = ScreenPixels(main_, overlap);
        ShowWindow(Control(caption.label), SW_SHOW);
        Sleep(300);
        EXPECT_EQ(shown, hidden);
    }
    EXPECT_EQ(overlaps, 5) << "Allegati, Dati Cliente, Data creaz. and the two folder captions";
}

TEST_F(LookTest, ControlsAreCommonControlsSixAndTheButtonsKeepTheirColours) {
    const auto comctl = DescriptionLines(RequestDescription(main_), L"comctl");
    ASSERT_EQ(comctl.size(), 1u);
    std::wstring file = comctl[0].empty() ? L"" : comctl[0][0];
    std::ranges::transform(file, file.begin(), towlower);
    EXPECT_NE(file.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::wstring::npos)
        << std::string(file.begin(), file.end());
    for (const ControlRow& row : MainLayout()) {
        if (!row.back) continue;
        SCOPED_TRACE(std::string(row.name.begin(), row.name.end()));
        const RECT button = ClientRectInParent(Control(row.name));
        const RECT face{button.left + 4, button.top + 4, button.left + 6, button.top + 6};
        for (const COLORREF pixel : ScreenPixels(main_, face))
            EXPECT_EQ(pixel, RGB(row.back->r, row.back->g, row.back->b));
    }
}

}  // namespace
}  // namespace kdesk::e2e
