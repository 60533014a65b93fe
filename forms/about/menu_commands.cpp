#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::m_end_Click() { controls_.window.Unload(); }

void FrmMain::m_info_Click() {
    if (showAboutBox) showAboutBox();
}

}  // namespace kdesk
