#include "forms/main/main_layout.h"

#include <algorithm>
#include <array>

#include "build_facts.h"

namespace kdesk {

namespace {

using K = ControlKind;

constexpr FontSpec kSmall{825, false};
constexpr FontSpec kSmallBold{825, true};
constexpr FontSpec kMedium{975, false};
constexpr FontSpec kMediumBold{975, true};
constexpr FontSpec kHeading{1200, true};
constexpr FontSpec kLarge{1350, false};

constexpr std::wstring_view kFolderTip = L"Cartella di scambio dati";

const std::array kMainControls{
    // E-mail data.
    ControlRow{L"Label13", K::Label, L"Dati EMail", {1080, 120, 3855, 375}, 29, kHeading, 101, true},
    ControlRow{L"Label4", K::Label, L"To:", {480, 480, 375, 255}, 10, kSmallBold, 102},
    ControlRow{L"txtSendTo", K::TextBox, L"" KDESK_SUPPORT_MAILBOX_TEXT, {1080, 480, 3855, 285}, 7, kSmallBold, 103},
    ControlRow{L"Label14", K::Label, L"Cc:", {480, 960, 375, 255}, 31, kSmallBold, 104},
    ControlRow{L"txtSendcc", K::TextBox, L"", {1080, 960, 3855, 285}, 30, kSmallBold, 105},
    ControlRow{L"Label2", K::Label, L"Subject:", {120, 1440, 855, 255}, 9, kSmallBold, 106},
    ControlRow{L"txtSubject", K::TextBox, L"VelAutoMail", {1080, 1440, 3855, 285}, 6, kSmallBold, 107},
    ControlRow{L"Label3", K::Label, L"Message:", {120, 2040, 855, 255}, 8, kSmallBold, 108},
    ControlRow{L"txtMessage", K::MultiLineTextBox, L"", {1080, 2040, 3855, 2805}, 5, kMedium, 109},
    // Customer data.
    ControlRow{L"Label10", K::Label, L"Dati Cliente", {5160, 120, 3015, 375}, 25, kHeading, 110, true},
    ControlRow{L"txtDatiCliente", K::MultiLineTextBox, L"", {5160, 480, 3015, 1245}, 24, kMedium, 111},
    // Point-of-sale installation data.
    ControlRow{L"Label11", K::Label, L"Dati VelKdesk", {5160, 2040, 3015, 375}, 27, kHeading, 112, true},
    ControlRow{L"Label7", K::Label, L"Driver:", {5160, 2640, 855, 255}, 18, kSmallBold, 113},
    ControlRow{L"txtDriverType", K::ReadOnlyTextBox, L"", {6360, 2520, 1815, 375}, 17, kLarge, 114, true},
    ControlRow{L"Label8", K::Label, L"Porta Com:", {5160, 3120, 975, 255}, 20, kSmallBold, 115},
    ControlRow{L"txtComPort", K::ReadOnlyTextBox, L"", {6360, 3000, 1815, 375}, 19, kLarge, 116, true},
    ControlRow{L"Label5", K::Label, L"Matricola:", {5160, 3600, 855, 255}, 12, kSmallBold, 117},
    ControlRow{L"txtMatr", K::ReadOnlyTextBox, L"", {6360, 3480, 1815, 375}, 13, kLarge, 118, true},
    ControlRow{L"Label6", K::Label, L"Versione:", {5160, 4080, 855, 255}, 14, kSmallBold, 119},
    ControlRow{L"txtVersion", K::ReadOnlyTextBox, L"", {6360, 3960, 1815, 375}, 15, kLarge, 120, true},
    ControlRow{L"Label9", K::Label, L"Data creaz.:", {5160, 4560, 1215, 255}, 23, kSmallBold, 121},
    ControlRow{L"txtDataCreazione", K::ReadOnlyTextBox, L"", {6360, 4440, 1815, 375}, 22, kSmall, 122, true},
    // Attachments.
    ControlRow{L"Label12", K::Label, L"Allegati", {8400, 120, 4815, 375}, 28, kHeading, 123, true},
    ControlRow{L"List1", K::ListBox, L"", {8400, 480, 4815, 4350}, 11, kSmall, 124},
    // Buttons.
    ControlRow{L"cmdMapiManager", K::Button, L"Trasmetti EMail", {1320, 5040, 3135, 495}, 4, kHeading, 125,
               true, Rgb{128, 255, 128}},
    ControlRow{L"cmdClearText", K::Button, L"Cancella", {2160, 6480, 1335, 495}, 16, kMediumBold, 126, true,
               Rgb{255, 128, 128}},
    ControlRow{L"cmdLoadDati", K::Button, L"Aggiorna", {8400, 5040, 1575, 495}, 21, kHeading, 127, true,
               Rgb{255, 192, 128}},
    ControlRow{L"cmdAddFile", K::Button, L"Agg. Allegati", {11520, 5040, 1695, 495}, 26, kMediumBold, 128, true,
               Rgb{255, 255, 128}},
    // Folders.
    ControlRow{L"Label1", K::Label, L"VelKdesk   AppPath", {5160, 5640, 2895, 255}, 3, kSmallBold, 129},
    ControlRow{L"txtKdeskPath", K::ReadOnlyTextBox, L"", {5160, 5880, 8055, 375}, 2, kSmall, 130, false,
               std::nullopt, std::nullopt, kFolderTip},
    ControlRow{L"lblPathVista", K::Label, L"VelKdesk   DataPath", {5160, 6360, 2895, 255}, 1, kSmallBold, 131},
    ControlRow{L"txtAppDataVista", K::ReadOnlyTextBox, L"", {5160, 6600, 8055, 375}, 0, kSmall, 132, false,
               std::nullopt, std::nullopt, kFolderTip},
};

// Each caption and the box it names; the headings "Dati EMail" and "Dati
// VelKdesk" name a group, no single control.
constexpr std::array kMainCaptions{
    CaptionRow{L"Label4", L"txtSendTo"},
    CaptionRow{L"Label14", L"txtSendcc"},
    CaptionRow{L"Label2", L"txtSubject"},
    CaptionRow{L"Label3", L"txtMessage"},
    CaptionRow{L"Label10", L"txtDatiCliente"},
    CaptionRow{L"Label7", L"txtDriverType"},
    CaptionRow{L"Label8", L"txtComPort"},
    CaptionRow{L"Label5", L"txtMatr"},
    CaptionRow{L"Label6", L"txtVersion"},
    CaptionRow{L"Label9", L"txtDataCreazione"},
    CaptionRow{L"Label12", L"List1"},
    CaptionRow{L"Label1", L"txtKdeskPath"},
    CaptionRow{L"lblPathVista", L"txtAppDataVista"},
};

constexpr std::array kMainMenu{
    MenuRow{L"m_file", L"&File", L"", 0},
    MenuRow{L"m_end", L"&Termina esecuzione", L"m_file", kIdMenuEnd},
    MenuRow{L"m_help", L"&?", L"", 0},
    MenuRow{L"m_info", L"&Informazioni  sul programma", L"m_help", kIdMenuInfo},
};

}  // namespace

std::span<const ControlRow> MainLayout() { return kMainControls; }

std::span<const MenuRow> MainMenu() { return kMainMenu; }

std::span<const CaptionRow> MainCaptions() { return kMainCaptions; }

const ControlRow* FindControl(std::span<const ControlRow> table, std::wstring_view name) {
    const auto row = std::ranges::find(table, name, &ControlRow::name);
    return row == table.end() ? nullptr : &*row;
}

std::vector<const ControlRow*> InTabOrder(std::span<const ControlRow> table) {
    std::vector<const ControlRow*> rows;
    for (const ControlRow& row : table) rows.push_back(&row);
    std::ranges::stable_sort(rows, {}, &ControlRow::tabIndex);
    return rows;
}

std::vector<const ControlRow*> InCreationOrder(std::span<const ControlRow> table,
                                               std::span<const CaptionRow> captions) {
    struct Named {
        const ControlRow* control;
        const ControlRow* caption;
    };
    std::vector<Named> named;
    for (const CaptionRow& caption : captions) {
        const ControlRow* label = FindControl(table, caption.label);
        const ControlRow* control = FindControl(table, caption.control);
        if (label && control) named.push_back({control, label});
    }
    const auto captionOf = [&](const ControlRow* control) -> const ControlRow* {
        const auto found = std::ranges::find(named, control, &Named::control);
        return found == named.end() ? nullptr : found->caption;
    };
    const auto isCaption = [&](const ControlRow* label) {
        return std::ranges::find(named, label, &Named::caption) != named.end();
    };

    std::vector<const ControlRow*> rows;
    std::vector<const ControlRow*> unnamed;
    for (const ControlRow* row : InTabOrder(table)) {
        if (row->kind != ControlKind::Label) {
            if (const ControlRow* caption = captionOf(row)) rows.push_back(caption);
            rows.push_back(row);
        } else if (!isCaption(row)) {
            unnamed.push_back(row);
        }
    }
    rows.insert(rows.end(), unnamed.begin(), unnamed.end());
    return rows;
}

}  // namespace kdesk
