#pragma once
// Attachment listing, report composition and sending.
#include <string>

#include "modules/ModVariables.h"
#include "platform/controls.h"
#include "platform/mail.h"
#include "platform/platform.h"

namespace kdesk {

// The main window's controls that sending reads and writes, handed over by the form.
struct MailControls {
    TextBox& txtSendTo;
    TextBox& txtSubject;
    TextBox& txtMessage;
    TextBox& txtDatiCliente;
    TextBox& txtDriverType;
    TextBox& txtComPort;
    TextBox& txtMatr;
    TextBox& txtVersion;
    TextBox& txtDataCreazione;
    TextBox& txtKdeskPath;
    TextBox& txtAppDataVista;
    ListBox& List1;
    MailSession& MAPISession1;
    MailMessages& MAPIMessages1;
    Window& window;
};

void FillAttachmentList(Platform& platform, const ModVariables& vars, ListBox& list);
void AddFolderFilesToList(Platform& platform, ListBox& list, const std::wstring& folder,
                          const std::wstring& pattern);

// Local date and time as YYYYMMDD_hhmmss.
std::wstring GetTimeStamp(Platform& platform);

// Composes the support report from the window's fields and sends it with every
// listed file attached; each failing step is shown and the next one runs.
void SendMail(Platform& platform, ModVariables& vars, MailControls& controls);
void InsertAttachmentFilesFromList(Platform& platform, ModVariables& vars, MailControls& controls);

}  // namespace kdesk
