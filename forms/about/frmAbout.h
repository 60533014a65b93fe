#pragma once
// The About box's logic: the three lines filled on every load, and closing.
#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/runtime.h"

namespace kdesk {

// "Versione " major "." minor ".0." revision: four numbers, the third always 0.
std::wstring AboutVersionLine(std::int16_t major, std::int16_t minor, std::int16_t revision);
std::wstring AboutTitleLine(const std::wstring& programTitle);

struct FrmAboutControls {
    TextBox& lblVersion;
    TextBox& lblTitle;
    TextBox& lblDescription;
    Window& window;
};

class FrmAbout {
public:
    FrmAbout(Runtime& runtime, FrmAboutControls& controls) : runtime_(runtime), controls_(controls) {}

    void Form_Load();
    void cmdOK_Click();

private:
    Runtime& runtime_;
    FrmAboutControls& controls_;
};

}  // namespace kdesk
