#include "platform/win32/simple_mapi_mail.h"

#include "platform/win32/file_api_path.h"
#include "platform/win32/mapi_errors.h"

namespace kdesk {
namespace {

// Logon and send dialogs, when the mail client shows any, belong to the active window.
ULONG_PTR UiParam() { return reinterpret_cast<ULONG_PTR>(GetActiveWindow()); }

void Check(ULONG code) {
    if (code != SUCCESS_SUCCESS) throw MapiError(code);
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

const MapiLibrary& SimpleMapiMail::Library() {
    if (!library_) library_.emplace(libraryName_.c_str());
    return *library_;
}

void SimpleMapiMail::SignOn() {
    if (session_.IsOpen()) throw MailError(MailFault::SessionAlreadyOpen);
    const MapiLibrary& library = Library();
    const MapiLogonFn logon = library.Logon();
    const MapiLogoffFn logoff = library.Logoff();
    LHANDLE handle = 0;
    // No profile or password: the mail client asks for them when it needs them.
    Check(logon(UiParam(), nullptr, nullptr, MAPI_LOGON_UI, 0, &handle));
    session_ = MapiSession(logoff, handle);
    sessionId_ = ++lastSessionId_;
}

void SimpleMapiMail::SetDownLoadMail(bool download) { downloadMail_ = download; }

std::int32_t SimpleMapiMail::SessionID() { return session_.IsOpen() ? sessionId_ : 0; }

void SimpleMapiMail::SignOff() {
    if (!session_.IsOpen()) throw MailError(MailFault::NoSession);
    sessionId_ = 0;
    Check(session_.Close());
}

void SimpleMapiMail::SetSessionID(std::int32_t session) { boundSessionId_ = session; }

LHANDLE SimpleMapiMail::BoundSession() const {
    if (!session_.IsOpen() || boundSessionId_ != sessionId_) throw MailError(MailFault::NoSession);
    return session_.Handle();
}

void SimpleMapiMail::Compose() {
    message_ = {};
    recipAddress_.clear();
    attachmentIndex_ = 0;
}

void SimpleMapiMail::SetRecipAddress(const std::wstring& address) {
    recipAddress_ = address;
    message_.recipient = MapiOutgoingRecipient{address, address, {}};
}

void SimpleMapiMail::ResolveName() {
    const LHANDLE session = BoundSession();
    const MapiLibrary& library = Library();
    std::string name = ToAnsi(recipAddress_);
    lpMapiRecipDesc found = nullptr;
    // No MAPI_DIALOG: an unknown or ambiguous name is an error, never a question.
    const ULONG code = library.ResolveName()(session, UiParam(), name.data(), 0, 0, &found);
    const MapiBuffer owned(library, found);
    Check(code);
    if (!found) throw MapiError(MAPI_E_FAILURE);
    MapiOutgoingRecipient recipient{FromAnsi(found->lpszName), FromAnsi(found->lpszAddress), {}};
    if (found->lpEntryID && found->ulEIDSize > 0) {
        const auto* bytes = static_cast<const BYTE*>(found->lpEntryID);
        recipient.entryId.assign(bytes, bytes + found->ulEIDSize);
    }
    if (recipient.name.empty()) recipient.name = recipAddress_;
    if (recipient.address.empty()) recipient.address = recipAddress_;
    message_.recipient = std::move(recipient);
}

void SimpleMapiMail::SetMsgSubject(const std::wstring& subject) { message_.subject = subject; }

void SimpleMapiMail::SetMsgNoteText(const std::wstring& text) { message_.noteText = text; }

void SimpleMapiMail::SetAttachmentIndex(std::int32_t index) {
    // Selects an attachment; the next free number adds one.
    if (index < 0 || index > static_cast<std::int32_t>(message_.attachments.size()))
        throw MailError(MailFault::InvalidAttachmentIndex, std::to_wstring(index));
    attachmentIndex_ = index;
}

MapiOutgoingAttachment& SimpleMapiMail::SelectedAttachment() {
    const auto index = static_cast<std::size_t>(attachmentIndex_);
    if (index == message_.attachments.size()) message_.attachments.emplace_back();
    return message_.attachments[index];
}

void SimpleMapiMail::SetAttachmentPosition(std::int32_t position) {
    SelectedAttachment().position = static_cast<ULONG>(position);
}

// A file that is not there is reported now and left out at Send: the mail
// client would otherwise refuse the whole message and every other file with it.
void SimpleMapiMail::SetAttachmentPathName(const std::wstring& path) {
    MapiOutgoingAttachment& attachment = SelectedAttachment();
    attachment.path = path;
    attachment.fileMissing = !IsExistingFile(path);
    if (!attachment.fileMissing) return;
    const RuntimeError notFound = MapiError(MAPI_E_ATTACHMENT_NOT_FOUND);
    throw RuntimeError(notFound.Number(), notFound.Description() + L": " + path);
}

void SimpleMapiMail::Send(bool showDialog) {
    const LHANDLE session = BoundSession();
    for (std::size_t i = 0; i < message_.attachments.size(); ++i)
        if (message_.attachments[i].path.empty())
            throw MailError(MailFault::AttachmentWithoutPath, std::to_wstring(i));
    MapiOutgoingMessage outgoing = message_;
    std::erase_if(outgoing.attachments, [](const MapiOutgoingAttachment& a) { return a.fileMissing; });
    const FLAGS flags = showDialog ? MAPI_DIALOG : 0;
    Check(SendMapiMessage(Library(), session, UiParam(), outgoing, flags));
}

}  // namespace kdesk
