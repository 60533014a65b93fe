#include "forms/main/frmMain.h"
#include "modules/ModMapi.h"

namespace kdesk {

void FrmMain::cmdMapiManager_Click() {
    // A press that arrives while a send processes events would start a second
    // send inside the first one: it is ignored.
    if (sendInProgress_) return;
    sendInProgress_ = true;
    struct ClearFlag {  // NOLINT(cppcoreguidelines-special-member-functions): a scope guard, never copied
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{sendInProgress_};
    SendMail(platform_, vars_, controls_);
    // Presses that queued up while a mail step held the thread (a slow mail
    // client) are handled now, still refused: one press, one send.
    platform_.runtime.DoEvents();
    if (unloadAfterSend_) controls_.window.Unload();
}

bool FrmMain::Form_QueryUnload() {
    if (!sendInProgress_) return true;
    unloadAfterSend_ = true;
    return false;
}

}  // namespace kdesk
