#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::cmdLoadDati_Click() {}
void FrmMain::cmdAddFile_Click() {}
void FrmMain::List1_Click() {}
void FrmMain::cmdClearText_Click() {}

}  // namespace kdesk
