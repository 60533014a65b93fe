#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::cmdMapiManager_Click() {}

}  // namespace kdesk
