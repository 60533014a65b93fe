#pragma once
// Attachment listing, report composition and sending.
#include <string>

#include "modules/ModVariables.h"
#include "platform/controls.h"
#include "platform/platform.h"

namespace kdesk {

void FillAttachmentList(Platform& platform, const ModVariables& vars, ListBox& list);
void AddFolderFilesToList(Platform& platform, ListBox& list, const std::wstring& folder,
                          const std::wstring& pattern);

}  // namespace kdesk
