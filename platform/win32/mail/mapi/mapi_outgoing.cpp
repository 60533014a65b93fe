#include "platform/win32/mail/mapi/mapi_outgoing.h"

namespace kdesk {
namespace {

PWSTR Mutable(std::wstring& text) { return text.data(); }
LPSTR Mutable(std::string& text) { return text.data(); }

// Copies of the message's texts that the MAPI structures point into.
template <class String>
struct Texts {
    String subject, noteText, name, address;
    std::vector<String> paths;
    std::vector<BYTE> entryId;
};

template <class Recip, class String>
Recip MakeRecipient(Texts<String>& texts) {
    Recip recip{};
    recip.ulRecipClass = MAPI_TO;
    // Empty texts, never null: the mail client runs in our process and may read them.
    recip.lpszName = Mutable(texts.name);
    recip.lpszAddress = Mutable(texts.address);
    recip.ulEIDSize = static_cast<ULONG>(texts.entryId.size());
    recip.lpEntryID = texts.entryId.empty() ? nullptr : texts.entryId.data();
    return recip;
}

template <class Message, class Recip, class File, class String, class Send>
ULONG SendWith(Texts<String>& texts, const MapiOutgoingMessage& message, Send&& send) {
    std::vector<File> files(message.attachments.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].nPosition = message.attachments[i].position;
        files[i].lpszPathName = Mutable(texts.paths[i]);
    }
    Recip recip = MakeRecipient<Recip>(texts);
    Message out{};
    out.lpszSubject = Mutable(texts.subject);
    out.lpszNoteText = Mutable(texts.noteText);
    out.nRecipCount = message.recipient ? 1 : 0;
    out.lpRecips = message.recipient ? &recip : nullptr;
    out.nFileCount = static_cast<ULONG>(files.size());
    out.lpFiles = files.empty() ? nullptr : files.data();
    return send(&out);
}

}  // namespace

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            nullptr);
    return ansi;
}

std::wstring FromAnsi(const char* text) {
    if (!text || !*text) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    wide.pop_back();
    return wide;
}

std::string AnsiPath(const std::wstring& path) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || !lossy) return ToAnsi(path);
    const DWORD shortSize = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (shortSize == 0) return ToAnsi(path);
    std::wstring shortPath(shortSize, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), shortSize);
    if (written == 0 || written >= shortSize) return ToAnsi(path);
    shortPath.resize(written);
    return ToAnsi(shortPath);
}

ULONG SendMapiMessage(const MapiLibrary& library, LHANDLE session, ULONG_PTR uiParam,
                      const MapiOutgoingMessage& message, FLAGS flags) {
    const MapiOutgoingRecipient noRecipient;
    const MapiOutgoingRecipient& recipient = message.recipient ? *message.recipient : noRecipient;
    if (MapiSendMailWFn sendW = library.SendMailW()) {
        Texts<std::wstring> texts{message.subject, message.noteText, recipient.name, recipient.address, {},
                                  recipient.entryId};
        for (const auto& attachment : message.attachments) texts.paths.push_back(attachment.path);
        return SendWith<MapiMessageW, MapiRecipDescW, MapiFileDescW>(
            texts, message, [&](MapiMessageW* out) { return sendW(session, uiParam, out, flags, 0); });
    }
    MapiSendMailFn send = library.SendMail();
    Texts<std::string> texts{ToAnsi(message.subject), ToAnsi(message.noteText), ToAnsi(recipient.name),
                             ToAnsi(recipient.address), {}, recipient.entryId};
    for (const auto& attachment : message.attachments) texts.paths.push_back(AnsiPath(attachment.path));
    return SendWith<MapiMessage, MapiRecipDesc, MapiFileDesc>(
        texts, message, [&](MapiMessage* out) { return send(session, uiParam, out, flags, 0); });
}

}  // namespace kdesk
