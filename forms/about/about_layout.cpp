#include "forms/about/about_layout.h"

#include <array>

namespace kdesk {

namespace {

using K = ControlKind;

constexpr FontSpec kRegular{975, false};
constexpr FontSpec kBold{975, true};
constexpr Rgb kBlack{0, 0, 0};

const std::array kAboutControls{
    ControlRow{L"cmdOK", K::DefaultButton, L"&OK", {2160, 3000, 1260, 345}, 0, kRegular, kIdAboutOk},
    ControlRow{L"picIcon", K::Picture, L"", {240, 720, 480, 480}, 1, kRegular, 3001, false, kAboutPictureBack},
    ControlRow{L"lblVersion", K::Label, L"Versione", {960, 840, 4365, 225}, 2, kRegular, 3002},
    ControlRow{L"lblTitle", K::Label, L"Titolo applicazione", {1050, 120, 4365, 480}, 3, kBold, 3003, false,
               std::nullopt, kBlack},
    ControlRow{L"lblDescription", K::Label, L"Descrizione applicazione", {930, 1320, 4605, 690}, 4, kRegular, 3004,
               false, std::nullopt, kBlack},
    ControlRow{L"lblProdotto", K::Label, L"", {960, 2160, 4575, 615}, 5, kRegular, 3005},
};

constexpr std::array kSeparator{
    LineRow{0, 240, 5450, 2880, Rgb{255, 255, 255}, 2},
    LineRow{1, 240, 5465, 2880, Rgb{128, 128, 128}, 1},
};

}  // namespace

std::span<const ControlRow> AboutLayout() { return kAboutControls; }

std::span<const LineRow> AboutSeparator() { return kSeparator; }

}  // namespace kdesk
