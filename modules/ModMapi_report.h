#pragma once
// The composition steps of SendMail: subject, report block, note text.
#include <string>

#include "modules/ModMapi_steps.h"
#include "platform/platform.h"

namespace kdesk {

struct MailControls;

inline constexpr wchar_t kCrLf[] = L"\r\n";

// txtSubject, "_", txtMatr, "_", time stamp.
std::wstring BuildSubject(Platform& platform, const MailControls& controls);

// Builds the report block line by line, each line a step of its own, and puts
// it in front of txtMessage.
void PrependReportBlock(Platform& platform, MailControls& controls, const ShowErrorAndGoOn& step);

// txtMessage followed by the closing lines and the support mailbox.
std::wstring BuildNoteText(const MailControls& controls);

}  // namespace kdesk
