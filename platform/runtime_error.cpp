#include "platform/runtime_error.h"

namespace kdesk {

namespace {

struct ErrorText {
    std::int32_t number;
    const wchar_t* text;
};

// As the Italian edition of the classic runtime words them.
constexpr ErrorText kErrorTexts[] = {
    {kErrInvalidProcedureCall, L"Chiamata di routine o argomento non validi"},
    {kErrOverflow, L"Overflow"},
    {kErrOutOfMemory, L"Memoria esaurita"},
    {kErrOutOfStringSpace, L"Spazio di stringa esaurito"},
    {kErrBadFileName, L"Nome o numero di file non valido"},
    {kErrFileNotFound, L"Impossibile trovare il file"},
    {kErrDeviceIo, L"Errore di I/O della periferica"},
    {kErrInputPastEnd, L"Input oltre la fine del file"},
    {kErrPermissionDenied, L"Autorizzazione negata"},
    {kErrDiskNotReady, L"Disco non pronto"},
    {kErrPathFileAccess, L"Errore di accesso al percorso/file"},
    {kErrPathNotFound, L"Impossibile trovare il percorso"},
};

}  // namespace

std::wstring RuntimeErrorText(std::int32_t number) {
    for (const ErrorText& entry : kErrorTexts)
        if (entry.number == number) return entry.text;
    return {};
}

}  // namespace kdesk
