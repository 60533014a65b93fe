#include "platform/portable/upload_errors.h"

#include <string>

namespace kdesk {
namespace {

struct Described {
    std::uint32_t number;
    const wchar_t* description;
};

constexpr wchar_t kUntrusted[] =
    L"Certificato del server non attendibile: spesso è un proxy aziendale che ispeziona il traffico";

constexpr Described kConnectionErrors[] = {
    {8, L"Memoria insufficiente per l'invio"},
    {126, L"Invio non disponibile: impossibile caricare winhttp.dll"},
    {127, L"Invio non disponibile: funzione mancante in winhttp.dll"},
    {10053, L"Connessione con il server interrotta"},
    {10054, L"Connessione con il server interrotta"},
    {10060, L"Il server non risponde: tempo scaduto"},
    {10061, L"Impossibile collegarsi al server"},
    {12001, L"Troppe connessioni aperte"},
    {kWinHttpTimeout, L"Il server non risponde: tempo scaduto"},
    {12004, L"Errore interno di WinHTTP"},
    {kWinHttpInvalidUrl, L"Indirizzo di invio non valido"},
    {kWinHttpUnrecognizedScheme, L"Indirizzo di invio non sicuro: è ammesso solo https://"},
    {12007, L"Nome del server non trovato: controllare la connessione a Internet"},
    {12017, L"Invio interrotto"},
    {12029, L"Impossibile collegarsi al server"},
    {12030, L"Connessione con il server interrotta"},
    {12037,
     L"Il certificato del server è scaduto o non ancora valido: probabilmente la data o l'ora del PC sono sbagliate"},
    {12038, L"Il certificato del server è intestato a un altro nome"},
    {12044, L"Il server chiede un certificato del client"},
    {12045, kUntrusted},
    {12057, L"Impossibile verificare se il certificato del server è stato revocato"},
    {12152, L"Risposta del server non valida"},
    // Wine reports every certificate fault so.
    {12157, L"Connessione sicura non riuscita: certificato del server non accettato o TLS non disponibile"},
    {12166, L"Errore nello script di configurazione del proxy"},
    {12167, L"Impossibile scaricare lo script di configurazione del proxy"},
    {12169, L"Certificato del server non valido"},
    {12170, L"Il certificato del server è stato revocato"},
    {kWinHttpSecureFailure, kUntrusted},
    {12179, L"Il certificato del server non è valido per un server web"},
    {12180, L"Rilevamento automatico del proxy non riuscito"},
    {12188, L"Connessione sicura con il proxy non riuscita"},
};

constexpr Described kStatuses[] = {
    {401, L"Il server ha chiesto una password"},
    {403, L"Il server ha rifiutato l'invio"},
    {404, L"Indirizzo di invio non trovato sul server"},
    {407, L"Un proxy ha chiesto una password"},
    {409, L"Cartella di invio non trovata sul server"},
    {413, L"Il server ha rifiutato il messaggio perché troppo grande"},
    {429, L"Il server ha ricevuto troppi invii: riprovare più tardi"},
    {500, L"Errore del server (per esempio disco pieno)"},
    {502, L"Un server intermedio non ha raggiunto il server di destinazione"},
    {503, L"Il server è occupato o ha ricevuto troppi invii: riprovare più tardi"},
    {504, L"Un server intermedio non ha avuto risposta dal server di destinazione"},
    {507, L"Spazio esaurito sul server"},
};

template <std::size_t N>
const wchar_t* Find(const Described (&table)[N], std::uint32_t number) {
    for (const Described& entry : table)
        if (entry.number == number) return entry.description;
    return nullptr;
}

const wchar_t* StatusClassText(std::uint32_t status) {
    if (status >= 300 && status < 400) return L"Il server ha indicato un altro indirizzo";
    if (status >= 400 && status < 500) return L"Il server ha rifiutato l'invio";
    if (status >= 500 && status < 600) return L"Errore del server";
    return L"Risposta inattesa del server";
}

RuntimeError Raised(std::uint32_t number, std::wstring description) {
    return RuntimeError(static_cast<std::int32_t>(number), std::move(description));
}

}  // namespace

bool IsDeliveredStatus(std::uint32_t status) { return status == 200 || status == 201 || status == 204; }

RuntimeError UploadConnectionError(std::uint32_t error) {
    const wchar_t* description = Find(kConnectionErrors, error);
    return Raised(error, description ? description : L"Errore di connessione al server");
}

RuntimeError UploadStatusError(std::uint32_t status) {
    const wchar_t* description = Find(kStatuses, status);
    return Raised(status, std::wstring(description ? description : StatusClassText(status)) + L" (HTTP " +
                              std::to_wstring(status) + L")");
}

RuntimeError UploadTlsUnavailableError(std::uint32_t error) {
    return Raised(error, L"Windows non offre TLS 1.2: serve l'aggiornamento di Windows per TLS 1.2");
}

RuntimeError UploadFileError(std::uint32_t error) {
    return Raised(error, L"Impossibile leggere il messaggio da inviare");
}

std::uint32_t CertificateError(std::uint32_t reported, std::uint32_t flags) {
    // The flags in the order of the likeliest cause the operator can mend.
    constexpr struct {
        std::uint32_t flag;
        std::uint32_t error;
    } kCauses[] = {
        {0x20, 12037},        // date invalid
        {0x08, 12045},        // invalid CA
        {0x10, 12038},        // name invalid
        {0x04, 12170},        // revoked
        {0x01, 12057},        // revocation check failed
        {0x40, 12179},        // wrong usage
        {0x02, 12169},        // invalid certificate
        {0x80000000, 12157},  // channel error
    };
    for (const auto& cause : kCauses)
        if (flags & cause.flag) return cause.error;
    return reported;
}

}  // namespace kdesk
