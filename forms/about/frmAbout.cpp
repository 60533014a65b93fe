#include "forms/about/frmAbout.h"

namespace kdesk {

std::wstring AboutVersionLine(std::int16_t major, std::int16_t minor, std::int16_t revision) {
    return L"Versione " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + L"0." +
           std::to_wstring(revision);
}

std::wstring AboutTitleLine(const std::wstring& programTitle) {
    return programTitle + L" per sistemi Windows 32 e 64 bit";
}

void FrmAbout::Form_Load() {
    const ProgramFacts facts = runtime_.Facts();
    controls_.lblVersion.SetText(AboutVersionLine(facts.major, facts.minor, facts.revision));
    controls_.lblTitle.SetText(AboutTitleLine(facts.title));
    controls_.lblDescription.SetText(facts.description);
}

void FrmAbout::cmdOK_Click() { controls_.window.Unload(); }

}  // namespace kdesk
