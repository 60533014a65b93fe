#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "forms/about/about_layout.h"
#include "forms/main/button_look.h"
#include "forms/main/main_layout.h"

namespace kdesk {
namespace {

TEST(TwipsToPixels, RoundsToTheNearestPixelAtAnyDpi) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {15, 96, 1},       {13425, 96, 895}, {7080, 96, 472},  {7, 96, 0},     {8, 96, 1},
        {5465, 96, 364},   {1440, 120, 120}, {13425, 144, 1343}, {-15, 96, -1}, {0, 96, 0},
        {32767, 480, 10922},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " dpi";
}

TEST(CentiPointsToPixels, GivesTheFontHeightsOfTheForms) {
    struct Case {
        int centiPoints, dpi, pixels;
    };
    const Case cases[] = {{825, 96, 11}, {975, 96, 13}, {1200, 96, 16}, {1350, 96, 18}, {825, 120, 14}, {1200, 144, 24}};
    for (const Case& c : cases) EXPECT_EQ(CentiPointsToPixels(c.centiPoints, c.dpi), c.pixels) << c.centiPoints;
}

// The focusable controls, in the order that Tab visits them.
std::vector<std::wstring> KeyboardOrder(std::span<const ControlRow> table) {
    std::vector<std::wstring> names;
    for (const ControlRow* row : InTabOrder(table))
        if (row->kind != ControlKind::Label && row->kind != ControlKind::Picture) names.emplace_back(row->name);
    return names;
}

TEST(MainLayout, KeyboardOrderRunsFromTheDataFolderToTheCopyAddress) {
    const std::vector<std::wstring> expected{
        L"txtAppDataVista", L"txtKdeskPath", L"cmdMapiManager", L"txtMessage",       L"txtSubject",
        L"txtSendTo",       L"List1",        L"txtMatr",        L"txtVersion",       L"cmdClearText",
        L"txtDriverType",   L"txtComPort",   L"cmdLoadDati",    L"txtDataCreazione", L"txtDatiCliente",
        L"cmdAddFile",      L"txtSendcc"};
    EXPECT_EQ(KeyboardOrder(MainLayout()), expected);
}

// Screen readers name a box after the label just before it in the z-order,
// which is the order of creation; the focusable controls keep the tab order.
TEST(MainLayout, EachCaptionIsMadeJustBeforeItsBoxAndTheKeyboardOrderStays) {
    const std::vector<const ControlRow*> order = InCreationOrder(MainLayout(), MainCaptions());
    EXPECT_EQ(order.size(), MainLayout().size());
    std::vector<std::wstring> focusable;
    for (const ControlRow* row : order)
        if (row->kind != ControlKind::Label) focusable.emplace_back(row->name);
    EXPECT_EQ(focusable, KeyboardOrder(MainLayout()));
    EXPECT_EQ(MainCaptions().size(), 13u);
    for (const CaptionRow& caption : MainCaptions()) {
        const auto control = std::ranges::find(order, caption.control, &ControlRow::name);
        ASSERT_NE(control, order.begin()) << std::string(caption.control.begin(), caption.control.end());
        EXPECT_EQ((*(control - 1))->name, caption.label);
    }
    // The headings that name no single box come last, beneath everything.
    EXPECT_EQ(order[order.size() - 2]->name, L"Label11");
    EXPECT_EQ(order.back()->name, L"Label13");
}

TEST(AboutLayout, WithoutCaptionsTheLabelsComeAfterTheOtherControls) {
    std::vector<std::wstring> names;
    for (const ControlRow* row : InCreationOrder(AboutLayout(), {})) names.emplace_back(row->name);
    const std::vector<std::wstring> expected{L"cmdOK", L"picIcon", L"lblVersion", L"lblTitle", L"lblDescription",
                                             L"lblProdotto"};
    EXPECT_EQ(names, expected);
}

// At 96 dpi each control stands exactly on the twips' pixel grid (15 twips a
// pixel); at other scales each edge is the twips' place, rounded.
TEST(ToPixels, KeepsThe96DpiLayoutAndScalesEveryEdge) {
    for (const ControlRow& row : MainLayout()) {
        const PixelBox box = ToPixels(row.rect, 96, 96);
        EXPECT_EQ(box, (PixelBox{row.rect.left / 15, row.rect.top / 15, (row.rect.left + row.rect.width) / 15,
                                 (row.rect.top + row.rect.height) / 15}))
            << std::string(row.name.begin(), row.name.end());
    }
    const TwipsRect folder = FindControl(MainLayout(), L"txtAppDataVista")->rect;  // 5160, 6600, 8055, 375
    EXPECT_EQ(ToPixels(folder, 120, 120), (PixelBox{430, 550, 1101, 581}));
    EXPECT_EQ(ToPixels(folder, 144, 144), (PixelBox{516, 660, 1322, 698}));
    EXPECT_EQ(ToPixels(folder, 192, 192), (PixelBox{688, 880, 1762, 930}));
    EXPECT_EQ(ToPixels(folder, 144, 96), (PixelBox{516, 440, 1322, 465}));
}

TEST(ColourButtonLook, HighContrastTakesTheSystemsFaceOwnColourOtherwise) {
    const Rgb green{128, 255, 128};
    const SystemButtonColours system{{0, 0, 0}, {255, 255, 255}, {0, 255, 0}};
    struct Case {
        bool highContrast, disabled;
        ButtonColours expected;
    };
    const Case cases[] = {
        {false, false, {green, {255, 255, 255}}},
        {false, true, {green, {0, 255, 0}}},
        {true, false, {{0, 0, 0}, {255, 255, 255}}},
        {true, true, {{0, 0, 0}, {0, 255, 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColourButtonLook(green, c.highContrast, c.disabled, system), c.expected)
            << "high contrast " << c.highContrast << ", disabled " << c.disabled;
}

// Tab indexes and ids must be unique within a window; in the main window no id
// may be 1 or 2, or Enter and Esc (IDOK, IDCANCEL) would press that control.
TEST(LayoutTables, TabIndexesAndIdsAreUniqueAndClearOfTheDialogKeys) {
    for (const auto& table : {MainLayout(), AboutLayout()}) {
        std::set<int> tabs, ids;
        for (const ControlRow& row : table) {
            EXPECT_TRUE(tabs.insert(row.tabIndex).second) << "tab " << row.tabIndex;
            EXPECT_TRUE(ids.insert(row.id).second) << "id " << row.id;
        }
    }
    for (const ControlRow& row : MainLayout()) {
        EXPECT_GT(row.id, 2) << std::string(row.name.begin(), row.name.end());
        EXPECT_NE(row.id, kIdMenuEnd);
        EXPECT_NE(row.id, kIdMenuInfo);
    }
}

TEST(LayoutTables, EveryControlLiesInsideItsClientArea) {
    struct Window {
        std::span<const ControlRow> table;
        int width, height;
    };
    for (const Window& w : {Window{MainLayout(), kMainClientWidthTwips, kMainClientHeightTwips},
                            Window{AboutLayout(), kAboutClientWidthTwips, kAboutClientHeightTwips}}) {
        for (const ControlRow& row : w.table) {
            EXPECT_GE(row.rect.left, 0);
            EXPECT_GE(row.rect.top, 0);
            EXPECT_LE(row.rect.left + row.rect.width, w.width) << std::string(row.name.begin(), row.name.end());
            EXPECT_LE(row.rect.top + row.rect.height, w.height) << std::string(row.name.begin(), row.name.end());
        }
    }
}

TEST(MainLayout, ButtonsAreColouredAndTheFolderBoxesCarryTheTooltip) {
    for (const ControlRow& row : MainLayout()) {
        const std::string name(row.name.begin(), row.name.end());
        EXPECT_EQ(row.back.has_value(), row.kind == ControlKind::Button) << name;
        const bool folderBox = row.name == L"txtKdeskPath" || row.name == L"txtAppDataVista";
        EXPECT_EQ(row.tooltip, folderBox ? L"Cartella di scambio dati" : L"") << name;
    }
}

TEST(MainLayout, FindsControlsByName) {
    const ControlRow* sendTo = FindControl(MainLayout(), L"txtSendTo");
    ASSERT_NE(sendTo, nullptr);
    EXPECT_EQ(sendTo->kind, ControlKind::TextBox);
    EXPECT_NE(sendTo->text.find(L'@'), std::wstring_view::npos);
    EXPECT_EQ(FindControl(MainLayout(), L"txtsendto"), nullptr);
    EXPECT_EQ(FindControl(MainLayout(), L"CommonDialog1"), nullptr);
}

TEST(AboutLayout, OkIsTheDialogsOkAndTheSeparatorIsEtched) {
    const ControlRow* ok = FindControl(AboutLayout(), L"cmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->id, kIdAboutOk);
    EXPECT_EQ(ok->kind, ControlKind::DefaultButton);
    EXPECT_EQ(ok->tabIndex, 0);
    const auto lines = AboutSeparator();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, (Rgb{255, 255, 255}));  // white first, grey drawn over its top row
    EXPECT_EQ(lines[1].colour, (Rgb{128, 128, 128}));
}

}  // namespace
}  // namespace kdesk
