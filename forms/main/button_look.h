#pragma once
// The colours a coloured button is painted in: its own, or the system's where
// the user asks for high contrast.
#include "forms/main/main_layout.h"

namespace kdesk {

struct SystemButtonColours {
    Rgb face, text, grayText;
};

struct ButtonColours {
    Rgb face, text;
    bool operator==(const ButtonColours&) const = default;
};

ButtonColours ColourButtonLook(Rgb own, bool highContrast, bool disabled, const SystemButtonColours& system);

}  // namespace kdesk
