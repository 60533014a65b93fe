#include "modules/ModMapi_report.h"

#include "build_facts.h"
#include "modules/ModGetVersion.h"
#include "modules/ModMapi.h"

namespace kdesk {
namespace {

constexpr wchar_t kWinEcrComPath[] = L"C:\\Programmi\\Ditron\\WinEcrCom 1.9\\Drivers\\SoEcrCom.EXE";
constexpr wchar_t kWinEcrConfPath[] = L"C:\\Programmi\\Ditron\\WinEcrCom 1.9\\Utilities\\WinEcrConf.EXE";

std::wstring ZeroPadded(int value, std::size_t width) {
    std::wstring digits = std::to_wstring(value < 0 ? -value : value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
    return value < 0 ? L"-" + digits : digits;
}

// Upper-case comparison of the whole text; only ASCII letters change case.
bool EqualsInUpperCase(const std::wstring& text, const std::wstring& upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = (text[i] >= L'a' && text[i] <= L'z') ? static_cast<wchar_t>(text[i] - L'a' + L'A') : text[i];
        if (c != upper[i]) return false;
    }
    return true;
}

}  // namespace

std::wstring GetTimeStamp(Platform& platform) {
    // One reading: a separate date and time could straddle midnight.
    const LocalDateTime now = platform.runtime.Now();
    return ZeroPadded(now.year, 4) + ZeroPadded(now.month, 2) + ZeroPadded(now.day, 2) + L"_" +
           ZeroPadded(now.hour, 2) + ZeroPadded(now.minute, 2) + ZeroPadded(now.second, 2);
}

std::wstring BuildSubject(Platform& platform, const MailControls& controls) {
    return controls.txtSubject.Text() + L"_" + controls.txtMatr.Text() + L"_" + GetTimeStamp(platform);
}

void PrependReportBlock(Platform& platform, MailControls& controls, const ShowErrorAndGoOn& step) {
    const struct {
        const wchar_t* label;
        const TextBox& field;
    } lines[] = {
        {L"Dati Cliente: ", controls.txtDatiCliente}, {L"Tipo Driver: ", controls.txtDriverType},
        {L"PortaCom: ", controls.txtComPort},         {L"Matricola: ", controls.txtMatr},
        {L"Versione: ", controls.txtVersion},         {L"KdeskAppDir: ", controls.txtKdeskPath},
        {L"KdeskDataDir: ", controls.txtAppDataVista}, {L"Data Creazione: ", controls.txtDataCreazione},
    };
    std::wstring block;
    for (const auto& line : lines) step([&] { block += line.label + line.field.Text() + kCrLf; });

    bool ditron = false;
    step([&] { ditron = EqualsInUpperCase(controls.txtDriverType.Text(), L"DITRON"); });
    if (ditron) {
        step([&] { block += L"WinEcrCom: " + GetFileVersionString(platform, kWinEcrComPath) + kCrLf; });
        step([&] { block += L"WinEcrConf: " + GetFileVersionString(platform, kWinEcrConfPath) + kCrLf; });
    }
    step([&] { block += kCrLf; });
    step([&] { controls.txtMessage.SetText(block + controls.txtMessage.Text()); });
}

std::wstring BuildNoteText(const MailControls& controls) {
    return controls.txtMessage.Text() + kCrLf + kCrLf + L"Cordiali saluti" + kCrLf + L"V.E.L. Vuvivazoror snc" +
           kCrLf + kCrLf + L"" KDESK_SUPPORT_MAILBOX_TEXT;
}

}  // namespace kdesk
