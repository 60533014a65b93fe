#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::VerifyAndSetPathFromRegistry() {}
std::int16_t FrmMain::ReadComPortFromFile() { return 0; }
std::wstring FrmMain::ReadMatricolaFromFile() { return {}; }

}  // namespace kdesk
