#pragma once
// The main window's logic: start-up, attachment commands, sending and menus.
// The windows of app/ build the controls and call these handlers.
#include <cstdint>
#include <functional>
#include <string>

#include "modules/ModFunctions.h"
#include "modules/ModMapi.h"
#include "modules/ModVariables.h"

namespace kdesk {

// The controls of the main window: those that sending uses, and the rest.
struct FrmMainControls : MailControls {
    TextBox& txtSendcc;
    OpenFileDialog& CommonDialog1;
};

class FrmMain {
public:
    FrmMain(Platform& platform, ModVariables& vars, FrmMainControls& controls)
        : platform_(platform), vars_(vars), controls_(controls) {}

    // Start-up sequence, run once before the window is first shown.
    void Form_Load();
    bool IsOS_Vista();
    std::wstring Read_CSIDL_COMMON_APPDATA();
    void VerifyAndSetPathFromRegistry();
    std::int16_t ReadComPortFromFile();
    std::wstring ReadMatricolaFromFile();

    // Whether the window may close now. A close asked for during a send (at one
    // of its event-processing points) is kept and carried out once the send has
    // closed its mail session: the send still uses the window's controls.
    bool Form_QueryUnload();

    // Command handlers.
    void cmdMapiManager_Click();
    void cmdLoadDati_Click();
    void cmdAddFile_Click();
    void List1_Click();
    void cmdClearText_Click();
    void m_end_Click();
    void m_info_Click();

    // How the menu command shows the About box; set by the window layer.
    std::function<void()> showAboutBox;

    Platform& platform() { return platform_; }
    ModVariables& vars() { return vars_; }
    FrmMainControls& controls() { return controls_; }

private:
    Platform& platform_;
    ModVariables& vars_;
    FrmMainControls& controls_;
    bool sendInProgress_ = false;  // refuses a second send while one processes events
    bool unloadAfterSend_ = false;
};

}  // namespace kdesk
