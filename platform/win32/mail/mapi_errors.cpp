#include "platform/win32/mail/mapi_errors.h"

#include <mapi.h>

namespace kdesk {
namespace {

constexpr std::int32_t kFirstLayerNumber = static_cast<std::int32_t>(MailFault::NoMapiLibrary);

struct MailErrorText {
    std::int32_t number;
    const wchar_t* description;
};

constexpr MailErrorText kMailErrors[] = {
    {32001, L"Operazione annullata dall'utente"},
    {32002, L"Errore generico del sistema di posta"},
    {32003, L"Accesso al sistema di posta non riuscito"},
    {32004, L"Disco pieno"},
    {32005, L"Memoria insufficiente"},
    {32006, L"Accesso negato"},
    {32008, L"Troppe sessioni di posta aperte"},
    {32009, L"Troppi allegati"},
    {32010, L"Troppi destinatari"},
    {32011, L"Allegato non trovato"},
    {32012, L"Impossibile aprire l'allegato"},
    {32013, L"Impossibile scrivere l'allegato"},
    {32014, L"Destinatario sconosciuto"},
    {32015, L"Tipo di destinatario non valido"},
    {32016, L"Nessun messaggio"},
    {32017, L"Messaggio non valido"},
    {32018, L"Testo del messaggio troppo lungo"},
    {32019, L"Sessione di posta non valida"},
    {32020, L"Tipo di allegato non supportato"},
    {32021, L"Destinatario ambiguo"},
    {32022, L"Messaggio in uso"},
    {32023, L"Errore di rete"},
    {32024, L"Campi di modifica non validi"},
    {32025, L"Destinatari non validi"},
    {32026, L"Operazione non supportata dal sistema di posta"},
    {32027, L"Testo Unicode non supportato dal sistema di posta"},
    {32028, L"Allegato troppo grande"},
    {static_cast<std::int32_t>(MailFault::NoMapiLibrary),
     L"Sistema di posta non disponibile: impossibile caricare mapi32.dll"},
    {static_cast<std::int32_t>(MailFault::NoEntryPoint), L"Funzione non presente in mapi32.dll"},
    {static_cast<std::int32_t>(MailFault::SessionAlreadyOpen), L"Sessione di posta già aperta"},
    {static_cast<std::int32_t>(MailFault::NoSession), L"Nessuna sessione di posta aperta"},
    {static_cast<std::int32_t>(MailFault::InvalidAttachmentIndex), L"Indice dell'allegato non valido"},
    {static_cast<std::int32_t>(MailFault::AttachmentWithoutPath), L"Allegato senza percorso del file"},
    {static_cast<std::int32_t>(MailFault::DraftNotSaved), L"Impossibile salvare il messaggio come bozza"},
    {static_cast<std::int32_t>(MailFault::ArchiveNotSaved), L"Impossibile salvare l'archivio ZIP degli allegati"},
};

const wchar_t* FindDescription(std::int32_t number) {
    for (const MailErrorText& entry : kMailErrors)
        if (entry.number == number) return entry.description;
    return nullptr;
}

}  // namespace

std::wstring MailErrorDescription(std::int32_t number) {
    const wchar_t* description = FindDescription(number);
    return description ? description : L"Errore sconosciuto del sistema di posta";
}

RuntimeError MapiError(ULONG mapiCode) {
    const std::wstring code = L" (codice MAPI " + std::to_wstring(mapiCode) + L")";
    // Codes past the Simple MAPI range would collide with the layer's own numbers.
    if (mapiCode == 0 || mapiCode >= kFirstLayerNumber - kMapiErrorBase)
        return RuntimeError(kMapiErrorBase + MAPI_E_FAILURE, MailErrorDescription(kMapiErrorBase + MAPI_E_FAILURE) + code);
    const std::int32_t number = kMapiErrorBase + static_cast<std::int32_t>(mapiCode);
    const wchar_t* description = FindDescription(number);
    return RuntimeError(number, description ? std::wstring(description) : MailErrorDescription(number) + code);
}

RuntimeError MailError(MailFault fault, const std::wstring& detail) {
    const auto number = static_cast<std::int32_t>(fault);
    std::wstring description = MailErrorDescription(number);
    if (!detail.empty()) description += L": " + detail;
    return RuntimeError(number, description);
}

}  // namespace kdesk
