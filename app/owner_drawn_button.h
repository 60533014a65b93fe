#pragma once
// Paints a push button in its own background colour, with the pressed state
// and a visible focus.
#include <windows.h>

#include "forms/main/main_layout.h"

namespace kdesk {

void DrawColourButton(const DRAWITEMSTRUCT& item, Rgb background);

}  // namespace kdesk
