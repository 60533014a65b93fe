#pragma once
// The message the mail layer builds up, and its hand-over to MAPISendMailW, or
// to MAPISendMail in ANSI where the Unicode entry point is missing.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/mail/mail_state.h"
#include "platform/win32/mail/mapi/mapi_library.h"

namespace kdesk {

struct MapiOutgoingRecipient {
    std::wstring name;
    std::wstring address;
    std::vector<BYTE> entryId;  // from the address book, when resolved
};

struct MapiOutgoingMessage {
    std::wstring subject;
    std::wstring noteText;
    std::optional<MapiOutgoingRecipient> recipient;  // the one main (MAPI_TO) recipient
    std::vector<ComposedAttachment> attachments;  // the files that are there
};

// Returns the MAPI result code.
ULONG SendMapiMessage(const MapiLibrary& library, LHANDLE session, ULONG_PTR uiParam,
                      const MapiOutgoingMessage& message, FLAGS flags);

std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const char* text);
// The path in ANSI; a path with characters outside the ANSI code page goes by
// its short name, which the file system keeps in plain characters.
std::string AnsiPath(const std::wstring& path);

}  // namespace kdesk
