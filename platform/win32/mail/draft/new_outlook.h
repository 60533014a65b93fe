#pragma once
// The new Outlook registers no Simple MAPI client and may not own the .eml
// association, but opens a draft handed to olk.exe directly.
#include <string>

namespace kdesk {

// Starts olk.exe (from App Paths, the current user's first, then the
// machine's) with the draft's full path; false when it is not installed or
// does not start.
bool OpenInNewOutlook(const std::wstring& draft);

}  // namespace kdesk
