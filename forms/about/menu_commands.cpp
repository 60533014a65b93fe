#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::m_end_Click() {
    if (Form_QueryUnload()) controls_.window.Unload();
}

// Creating and showing the About box is left to the window layer; whatever
// goes wrong there is ignored, without a message.
void FrmMain::m_info_Click() {
    try {
        if (showAboutBox) showAboutBox();
    } catch (...) {
    }
}

}  // namespace kdesk
