// What a failed upload says, which proxy the user's settings give an https
// URL, and the progress figures the upload window shows.
#include <gtest/gtest.h>

#include <string>

#include "platform/portable/proxy_bypass.h"
#include "platform/portable/upload_errors.h"
#include "platform/portable/upload_progress.h"

namespace kdesk {
namespace {

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

TEST(UploadErrors, NumberAndLikelyCauseInPlainItalian) {
    struct Case {
        const char* what;
        RuntimeError error;
        std::int32_t number;
        const wchar_t* says;
    };
    const Case cases[] = {
        {"too large", UploadStatusError(413), 413, L"troppo grande (HTTP 413)"},
        {"rate limit", UploadStatusError(503), 503, L"riprovare più tardi (HTTP 503)"},
        {"disk full", UploadStatusError(500), 500, L"disco pieno"},
        {"proxy login", UploadStatusError(407), 407, L"proxy ha chiesto una password"},
        {"no folder on the server", UploadStatusError(409), 409, L"Cartella di invio non trovata"},
        {"other refusal", UploadStatusError(418), 418, L"rifiutato l'invio (HTTP 418)"},
        {"other server error", UploadStatusError(599), 599, L"Errore del server (HTTP 599)"},
        {"redirect", UploadStatusError(301), 301, L"altro indirizzo (HTTP 301)"},
        {"clock wrong", UploadConnectionError(12037), 12037, L"data o l'ora del PC"},
        {"untrusted", UploadConnectionError(12045), 12045, L"proxy aziendale"},
        {"untrusted, generic", UploadConnectionError(12175), 12175, L"proxy aziendale"},
        {"misnamed", UploadConnectionError(12038), 12038, L"altro nome"},
        {"nothing listens", UploadConnectionError(12029), 12029, L"Impossibile collegarsi"},
        {"timeout", UploadConnectionError(12002), 12002, L"tempo scaduto"},
        {"unknown host", UploadConnectionError(12007), 12007, L"Nome del server non trovato"},
        {"dropped", UploadConnectionError(12030), 12030, L"interrotta"},
        {"garbage answer", UploadConnectionError(12152), 12152, L"Risposta del server non valida"},
        {"http URL", UploadConnectionError(12006), 12006, L"solo https://"},
        {"garbage URL", UploadConnectionError(12005), 12005, L"non valido"},
        {"dropped, as Wine says it", UploadConnectionError(10054), 10054, L"interrotta"},
        {"certificate, as Wine says it", UploadConnectionError(12157), 12157, L"certificato del server"},
        {"unknown error", UploadConnectionError(10065), 10065, L"Errore di connessione"},
        {"no TLS 1.2", UploadTlsUnavailableError(87), 87, L"aggiornamento di Windows per TLS 1.2"},
        {"file gone", UploadFileError(2), 2, L"leggere il messaggio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.error.Number(), c.number);
        EXPECT_TRUE(Contains(c.error.Description(), c.says)) << std::string(c.what);
        EXPECT_FALSE(Contains(c.error.Description(), L" - ")) << "the box adds the number";
    }
    for (std::uint32_t status : {200u, 201u, 204u}) EXPECT_TRUE(IsDeliveredStatus(status)) << status;
    for (std::uint32_t status : {0u, 202u, 206u, 304u, 413u}) EXPECT_FALSE(IsDeliveredStatus(status)) << status;
}

TEST(UploadErrors, CertificateCauseFromWinHttpFlags) {
    EXPECT_EQ(CertificateError(12175, 0x20), 12037u) << "date first: the PC's clock";
    EXPECT_EQ(CertificateError(12175, 0x08 | 0x10), 12045u) << "untrusted before misnamed";
    EXPECT_EQ(CertificateError(12175, 0x10), 12038u);
    EXPECT_EQ(CertificateError(12175, 0x04), 12170u);
    EXPECT_EQ(CertificateError(12175, 0x80000000), 12157u);
    EXPECT_EQ(CertificateError(12175, 0), 12175u) << "no flags: as reported";
}

TEST(ProxySettings, HttpsProxyAndBypassList) {
    EXPECT_EQ(ProxyForHttps(L"proxy:8080"), L"proxy:8080");
    EXPECT_EQ(ProxyForHttps(L"http=a:80;https=b:443;ftp=c:21"), L"b:443");
    EXPECT_EQ(ProxyForHttps(L"HTTPS=b:443 http=a:80"), L"b:443");
    EXPECT_EQ(ProxyForHttps(L"http=a:80;ftp=c:21"), L"") << "none for https: direct";
    EXPECT_EQ(ProxyForHttps(L""), L"");

    struct Case {
        const wchar_t* bypass;
        const wchar_t* host;
        unsigned port;
        bool bypassed;
    };
    const Case cases[] = {
        {L"<local>", L"intranet", 443, true},
        {L"<local>", L"drop.example.com", 443, false},
        {L"*.example.com", L"Drop.EXAMPLE.com", 443, true},
        {L"*.example.com", L"example.com", 443, false},
        {L"example.com", L"drop.example.com", 443, false},
        {L"foo; *.example.com", L"drop.example.com", 443, true},
        {L"foo,bar  drop.example.com", L"drop.example.com", 443, true},
        {L"192.168.*", L"192.168.1.20", 443, true},
        {L"*drop*", L"my-drop-box.it", 443, true},
        {L"https://drop.example.com", L"drop.example.com", 443, true},
        {L"http://drop.example.com", L"drop.example.com", 443, false},
        {L"drop.example.com:8443", L"drop.example.com", 8443, true},
        {L"drop.example.com:8443", L"drop.example.com", 443, false},
        {L"[::1]:443", L"[::1]", 443, true},
        {L"", L"drop.example.com", 443, false},
        {L";;", L"drop.example.com", 443, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.bypass) + L" / " + c.host);
        EXPECT_EQ(BypassesProxy(c.bypass, c.host, c.port), c.bypassed);
    }
}

TEST(UploadProgress, MegabytesWithOneDecimalAndTheBar) {
    EXPECT_EQ(MegabytesSentText(7'100'000, 20'300'000), L"7,1 di 20,3 MB");
    EXPECT_EQ(MegabytesSentText(0, 0), L"0,0 di 0,0 MB");
    EXPECT_EQ(MegabytesSentText(49'999, 50'000), L"0,0 di 0,1 MB") << "tenths rounded half up";
    EXPECT_EQ(MegabytesSentText(19'960'000, 1'234'567'890'123), L"20,0 di 1234567,9 MB");
    EXPECT_EQ(ProgressPermille(0, 20'300'000), 0);
    EXPECT_EQ(ProgressPermille(10'150'000, 20'300'000), 500);
    EXPECT_EQ(ProgressPermille(20'299'999, 20'300'000), 999) << "full only when all is sent";
    EXPECT_EQ(ProgressPermille(20'300'000, 20'300'000), 1000);
    EXPECT_EQ(ProgressPermille(1, 3), 333);
    EXPECT_EQ(ProgressPermille(0, 0), 1000);
    EXPECT_EQ(ProgressPermille(~0ull - 1, ~0ull), 999);
}

}  // namespace
}  // namespace kdesk
