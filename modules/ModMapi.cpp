#include "modules/ModMapi.h"

namespace kdesk {

// Placeholder until the attachment scan lands.
void FillAttachmentList(Platform&, const ModVariables&, ListBox& list) { list.Clear(); }
void AddFolderFilesToList(Platform&, ListBox&, const std::wstring&, const std::wstring&) {}

}  // namespace kdesk
