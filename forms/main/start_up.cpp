#include "forms/main/frmMain.h"

namespace kdesk {

void FrmMain::Form_Load() {}
bool FrmMain::IsOS_Vista() { return false; }
std::wstring FrmMain::Read_CSIDL_COMMON_APPDATA() { return {}; }

}  // namespace kdesk
