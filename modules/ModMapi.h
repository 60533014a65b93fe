#pragma once
// Attachment listing, report composition and sending.
#include <string>

#include "modules/ModVariables.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace kdesk {

struct FrmMainControls;

void FillAttachmentList(Platform& platform, const ModVariables& vars, ListBox& list);
void AddFolderFilesToList(Platform& platform, ListBox& list, const std::wstring& folder,
                          const std::wstring& pattern);

// Local date and time as YYYYMMDD_hhmmss.
std::wstring GetTimeStamp(Platform& platform);

// Composes the support report from the window's fields and sends it with every
// listed file attached; each failing step is shown and the next one runs.
void SendMail(Platform& platform, ModVariables& vars, FrmMainControls& controls);
void InsertAttachmentFilesFromList(Platform& platform, ModVariables& vars, FrmMainControls& controls);

}  // namespace kdesk
