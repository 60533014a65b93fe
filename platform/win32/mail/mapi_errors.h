#pragma once
// The mail layer's errors: Simple MAPI codes as 32000 plus the code, and the
// layer's own faults from 32050 up, each with its Italian description.
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/runtime_error.h"

namespace kdesk {

inline constexpr std::int32_t kMapiErrorBase = 32000;

enum class MailFault : std::int32_t {
    NoMapiLibrary = 32050,
    NoEntryPoint = 32051,
    SessionAlreadyOpen = 32052,
    NoSession = 32053,
    InvalidAttachmentIndex = 32054,
    AttachmentWithoutPath = 32055,
    DraftNotSaved = 32056,
    ArchiveNotSaved = 32057,
};

// Description of a mail error number; a generic text for numbers not in the table.
std::wstring MailErrorDescription(std::int32_t number);

RuntimeError MapiError(ULONG mapiCode);
RuntimeError MailError(MailFault fault, const std::wstring& detail = {});

}  // namespace kdesk
