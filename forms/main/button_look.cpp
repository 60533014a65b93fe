#include "forms/main/button_look.h"

namespace kdesk {

ButtonColours ColourButtonLook(Rgb own, bool highContrast, bool disabled, const SystemButtonColours& system) {
    const Rgb text = disabled ? system.grayText : system.text;
    return {highContrast ? system.face : own, text};
}

}  // namespace kdesk
