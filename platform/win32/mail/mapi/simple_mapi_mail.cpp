#include "platform/win32/mail/mapi/simple_mapi_mail.h"

#include "platform/win32/mail/mapi_errors.h"

namespace kdesk {
namespace {

void Check(ULONG code) {
    if (code != SUCCESS_SUCCESS) throw MapiError(code);
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
    numbers_.Open();
}

void SimpleMapiMail::SetDownLoadMail(bool download) { downloadMail_ = download; }

std::int32_t SimpleMapiMail::SessionID() { return numbers_.Current(); }

void SimpleMapiMail::SignOff() {
    if (!session_.IsOpen()) throw MailError(MailFault::NoSession);
    numbers_.Close();
    Check(session_.Close());
}

void SimpleMapiMail::SetSessionID(std::int32_t session) { numbers_.Bind(session); }

LHANDLE SimpleMapiMail::BoundSession() const {
    numbers_.CheckBound();
    return session_.Handle();
}

void SimpleMapiMail::Compose() {
    message_ = {};
    recipient_.reset();
}

void SimpleMapiMail::SetRecipAddress(const std::wstring& address) {
    message_.recipAddress = address;
    recipient_ = MapiOutgoingRecipient{address, address, {}};
}

void SimpleMapiMail::ResolveName() {
    const LHANDLE session = BoundSession();
    const MapiLibrary& library = Library();
    std::string name = ToAnsi(message_.recipAddress);
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
    if (recipient.name.empty()) recipient.name = message_.recipAddress;
    if (recipient.address.empty()) recipient.address = message_.recipAddress;
    recipient_ = std::move(recipient);
}

void SimpleMapiMail::SetMsgSubject(const std::wstring& subject) { message_.subject = subject; }

void SimpleMapiMail::SetMsgNoteText(const std::wstring& text) { message_.noteText = text; }

void SimpleMapiMail::SetAttachmentIndex(std::int32_t index) { message_.SelectAttachment(index); }

void SimpleMapiMail::SetAttachmentPosition(std::int32_t position) { message_.SetAttachmentPosition(position); }

void SimpleMapiMail::SetAttachmentPathName(const std::wstring& path) { message_.SetAttachmentPathName(path); }

void SimpleMapiMail::Send(bool showDialog) {
    const LHANDLE session = BoundSession();
    message_.CheckAttachmentPaths();
    const MapiOutgoingMessage outgoing{message_.subject, message_.noteText, recipient_,
                                       message_.PresentAttachments()};
    const FLAGS flags = showDialog ? MAPI_DIALOG : 0;
    Check(SendMapiMessage(Library(), session, UiParam(), outgoing, flags));
}

}  // namespace kdesk
