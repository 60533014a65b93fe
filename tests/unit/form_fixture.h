#pragma once
// A main window on fake services: the controls with their initial texts, the
// program-wide state and every service, ready for a handler to run.
#include "build_facts.h"
#include "forms/main/frmMain.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_mail.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_version_info.h"

namespace kdesk::test {

inline const std::wstring kMailbox = L"" KDESK_SUPPORT_MAILBOX_TEXT;

struct FormFixture {
    FakeRuntime runtime;
    FakeRegistry registry;
    FakeShell shell;
    FakeVersionInfo versionInfo;
    FakeMail mail;
    Platform platform{runtime, registry, shell, versionInfo};
    ModVariables vars;

    FakeTextBox txtSendTo{kMailbox}, txtSendcc, txtSubject{L"VelAutoMail"}, txtMessage, txtDatiCliente;
    FakeTextBox txtDriverType, txtComPort, txtMatr, txtVersion, txtDataCreazione, txtKdeskPath, txtAppDataVista;
    FakeListBox List1;
    FakeOpenFileDialog CommonDialog1;
    FakeWindow window;
    FrmMainControls controls{{txtSendTo, txtSubject, txtMessage, txtDatiCliente, txtDriverType, txtComPort, txtMatr,
                              txtVersion, txtDataCreazione, txtKdeskPath, txtAppDataVista, List1, mail, mail, window},
                             txtSendcc,
                             CommonDialog1};
    FrmMain form{platform, vars, controls};
};

}  // namespace kdesk::test
