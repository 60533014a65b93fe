#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "forms/about/about_layout.h"
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
