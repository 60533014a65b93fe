#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "forms/main/main_layout.h"
#include "tests/e2e/driver.h"

namespace kdesk::e2e {
namespace {

// The prefix's screen DPI, which Wine reads at a program's start, for the
// programs started while it lives; the earlier value comes back after.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        DWORD size = sizeof previous_;
        hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &previous_, &size) ==
                    ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
    }
    ~PrefixDpi() {
        if (hadValue_)
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &previous_, sizeof previous_);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
    PrefixDpi(const PrefixDpi&) = delete;
    PrefixDpi& operator=(const PrefixDpi&) = delete;

private:
    static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
    static constexpr wchar_t kValue[] = L"LogPixels";
    DWORD previous_ = 0;
    bool hadValue_ = false;
};

struct Extent {
    int textWidth = 0, textHeight = 0, clientWidth = 0, clientHeight = 0;
};

std::map<int, Extent> Extents(const std::wstring& description) {
    std::map<int, Extent> extents;
    for (const auto& f : DescriptionLines(description, L"extent"))
        if (f.size() == 5)
            extents[std::stoi(f[0])] = {std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4])};
    return extents;
}

std::map<int, int> FontHeights(const std::wstring& description) {
    std::map<int, int> heights;
    for (const auto& f : DescriptionLines(description, L"font"))
        if (f.size() == 4) heights[std::stoi(f[0])] = std::stoi(f[2]);
    return heights;
}

bool Near(int actual, int expected) { return actual >= expected - 1 && actual <= expected + 1; }

// Every control where the layout puts it at `dpi` (within a pixel), in its font
// for that DPI.
void ExpectLaidOutFor(HWND main, int dpi, const std::wstring& description) {
    const std::map<int, int> heights = FontHeights(description);
    for (const ControlRow& row : MainLayout()) {
        SCOPED_TRACE(std::string(row.name.begin(), row.name.end()) + " at " + std::to_string(dpi) + " dpi");
        const RECT actual = ClientRectInParent(GetDlgItem(main, row.id));
        const PixelBox expected = ToPixels(row.rect, dpi, dpi);
        EXPECT_TRUE(Near(actual.left, expected.left) && Near(actual.top, expected.top) &&
                    Near(actual.right, expected.right) && Near(actual.bottom, expected.bottom))
            << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;
        const auto height = heights.find(row.id);
        EXPECT_TRUE(height != heights.end() && height->second == -CentiPointsToPixels(row.font.centiPoints, dpi));
    }
}

class ScaleTest : public ::testing::Test {
protected:
    void Start(int dpi) {
        prefixDpi_ = std::make_unique<PrefixDpi>(static_cast<DWORD>(dpi));
        main_ = StartUntilActive(program_);
        ASSERT_NE(main_, nullptr) << "main window did not appear";
    }
    void TearDown() override {
        SaveScreenshotOfFailedTest();
        program_.reset();
        prefixDpi_.reset();
    }

    std::unique_ptr<PrefixDpi> prefixDpi_;
    std::unique_ptr<RunningProgram> program_;
    HWND main_ = nullptr;
};

TEST_F(ScaleTest, EveryControlFollowsTheScreensDpiAndNoTextIsClipped) {
    for (const int dpi : {96, 120, 144, 192}) {
        Start(dpi);
        if (HasFatalFailure()) return;
        const std::wstring description = RequestDescription(main_);
        ExpectLaidOutFor(main_, dpi, description);
        const std::map<int, Extent> extents = Extents(description);
        for (const ControlRow& row : MainLayout()) {
            if (row.kind == ControlKind::MultiLineTextBox || row.kind == ControlKind::ListBox) continue;
            SCOPED_TRACE(std::string(row.name.begin(), row.name.end()) + " at " + std::to_string(dpi) + " dpi");
            const Extent& e = extents.at(row.id);
            EXPECT_LE(e.textWidth, e.clientWidth) << "text wider than its control";
            EXPECT_LE(e.textHeight, e.clientHeight) << "text taller than its control";
        }
        RECT client{};
        GetClientRect(main_, &client);
        // A frame larger than Xvfb's screen is cut to it, as Windows does too.
        if (TwipsToPixels(kMainClientWidthTwips, dpi) < GetSystemMetrics(SM_CXSCREEN) - 40) {
            EXPECT_EQ(client.right, TwipsToPixels(kMainClientWidthTwips, dpi));
            EXPECT_EQ(client.bottom, TwipsToPixels(kMainClientHeightTwips, dpi));
        }
        SaveScreenshot(L"main_window_" + std::to_wstring(dpi) + L"dpi");
        program_.reset();
        prefixDpi_.reset();
    }
}

TEST_F(ScaleTest, MovingToAMonitorOfAnotherScaleLaysTheWindowOutAgainKeepingWhatWasTyped) {
    Start(96);
    if (HasFatalFailure()) return;
    HWND message = MainControl(main_, L"txtMessage");
    SendMessageW(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"scritto prima"));
    SendMessageW(message, EM_SETSEL, 3, 7);
    HWND list = MainControl(main_, L"List1");
    const std::vector<std::wstring> entries = ListEntries(list);

    const std::wstring description = RequestDescription(main_, 144);
    const auto suggested = DescriptionLines(description, L"suggested");
    ASSERT_EQ(suggested.size(), 1u) << "the hook did not change the DPI";
    ExpectLaidOutFor(main_, 144, description);

    RECT frame{};
    GetWindowRect(main_, &frame);
    EXPECT_EQ(frame.left, std::stoi(suggested[0][0]));
    EXPECT_EQ(frame.top, std::stoi(suggested[0][1]));
    // The suggested frame, cut to the largest a window may be on this screen.
    EXPECT_EQ(frame.right - frame.left,
              std::min<LONG>(std::stoi(suggested[0][2]) - frame.left, GetSystemMetrics(SM_CXMAXTRACK)));
    EXPECT_EQ(frame.bottom - frame.top,
              std::min<LONG>(std::stoi(suggested[0][3]) - frame.top, GetSystemMetrics(SM_CYMAXTRACK)));

    EXPECT_EQ(ControlText(message), L"scritto prima");
    DWORD start = 0, end = 0;
    SendMessageW(message, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 7u);
    EXPECT_EQ(ListEntries(list), entries);
    SaveScreenshot(L"main_window_moved_to_144dpi");
}

}  // namespace
}  // namespace kdesk::e2e
