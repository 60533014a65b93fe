#include <limits>
#include <optional>
#include <vector>

#include "modules/ModMapi.h"
#include "modules/ModMapi_report.h"
#include "modules/ModMapi_steps.h"

namespace kdesk {
namespace {

constexpr wchar_t kConfirmSend[] = L"Confermi trasmissione del messaggio ?";
constexpr int kMaxAttachments = std::numeric_limits<std::int16_t>::max();

}  // namespace

void SendMail(Platform& platform, ModVariables& vars, MailControls& c) {
    const ShowErrorAndGoOn step(platform.runtime, L"SendMail");
    step([&] { vars.gAttachIndex = -1; });
    step([&] { c.MAPISession1.SignOn(); });
    step([&] { c.MAPISession1.SetDownLoadMail(false); });
    step([&] { platform.runtime.DoEvents(); });
    step([&] { c.MAPIMessages1.SetSessionID(c.MAPISession1.SessionID()); });
    step([&] { c.MAPIMessages1.Compose(); });
    step([&] { c.MAPIMessages1.SetRecipAddress(c.txtSendTo.Text()); });
    step([&] { c.MAPIMessages1.ResolveName(); });
    step([&] { c.MAPIMessages1.SetMsgSubject(BuildSubject(platform, c)); });
    PrependReportBlock(platform, c, step);
    step([&] { c.MAPIMessages1.SetMsgNoteText(BuildNoteText(c)); });
    step([&] { platform.runtime.DoEvents(); });
    step([&] { c.window.Repaint(); });
    // A question that cannot be asked is no consent to send.
    bool confirmed = false;
    step([&] {
        confirmed = platform.runtime.MsgBox(kConfirmSend, MsgButtons::OkCancel, std::wstring{}) == MsgResult::Ok;
    });
    if (confirmed) {
        step([&] { InsertAttachmentFilesFromList(platform, vars, c); });
        step([&] { c.MAPIMessages1.Send(false); });
    }
    step([&] { c.MAPISession1.SignOff(); });
    step([&] { vars.gAttachIndex = -1; });
}

void InsertAttachmentFilesFromList(Platform& platform, ModVariables& vars, MailControls& c) {
    const ShowErrorAndGoOn step(platform.runtime, L"InsertAttachmentFilesFromList");
    step([&] { vars.gAttachIndex = -1; });
    int count = 0;
    step([&] { count = c.List1.ListCount(); });
    // The attachment index is a 16-bit number: entries past it are reported, not silently dropped.
    if (count > kMaxAttachments) {
        step([&] { throw RuntimeError(kErrOverflow); });
        count = kMaxAttachments;
    }
    std::vector<std::wstring> files;
    for (int i = 0; i < count; ++i) step([&] { files.push_back(c.List1.List(i)); });
    // Files too large for mail servers go as one archive; a file it could not take is named.
    std::optional<PackedAttachments> packed;
    if (!files.empty()) step([&] { packed = c.MAPIMessages1.PackAttachments(files); });
    if (packed) {
        for (const RuntimeError& leftOut : packed->leftOut) step([&] { throw leftOut; });
        files.clear();
        if (!packed->archive.empty()) files.push_back(packed->archive);
    }
    for (const std::wstring& file : files) {
        step([&] { ++vars.gAttachIndex; });
        step([&] { c.MAPIMessages1.SetAttachmentIndex(vars.gAttachIndex); });
        step([&] { c.MAPIMessages1.SetAttachmentPosition(0); });
        step([&] { c.MAPIMessages1.SetAttachmentPathName(file); });
    }
}

}  // namespace kdesk
