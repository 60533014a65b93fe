#include <charconv>
#include <optional>
#include <string>

#include "forms/main/frmMain.h"
#include "modules/modRegistry.h"
#include "platform/portable/free_format_item.h"

namespace kdesk {

namespace {

constexpr wchar_t kVerifyKey[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKdesk";

// The numeric value of an item such as "0100", " 1000.0 " or "-1e3"; nullopt
// when the text does not read as a decimal number.
std::optional<double> NumericValue(const std::string& item) {
    const auto first = item.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const auto last = item.find_last_not_of(" \t");
    const char* begin = item.data() + first;
    const char* end = item.data() + last + 1;
    if (*begin == '+') ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::int16_t PortFromItem(const std::string& item) {
    const auto value = NumericValue(item);
    if (!value) return 0;
    if (*value == 1000) return 1;
    if (*value == 100) return 2;
    if (*value == 10) return 3;
    if (*value == 1) return 4;
    return 0;
}

// A folder that cannot be searched (its drive not ready, its server or share
// not reachable) holds no file that could be read: nothing is found.
bool IsOrdinaryFileFound(Runtime& runtime, const std::wstring& path) {
    try {
        return !runtime.Dir(path, kDirOrdinaryFiles).empty();
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace

void FrmMain::VerifyAndSetPathFromRegistry() {
    std::wstring text;
    if (!ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"VELKdesk", text)) return;
    vars_.gDataPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"CustomPathDataDir", text) && !text.empty())
        vars_.gDataPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"AppPath", text)) vars_.gAppPath = text;
    if (ReadRegistryValue(platform_, kHkeyCurrentUser, kVerifyKey, L"DriverType", text)) vars_.gDriverType = text;
}

// A port-check file that is found but cannot be opened or read (for example
// locked by the point-of-sale program) is reported, and the port stays 0.
std::int16_t FrmMain::ReadComPortFromFile() {
    const std::wstring path = vars_.gTxtPath + L"\\KDCHKCOM.TXT";
    if (!IsOrdinaryFileFound(platform_.runtime, path)) return 0;
    try {
        const auto file = platform_.runtime.OpenForInput(path);
        const auto item = ReadFirstItem(*file);
        return item ? PortFromItem(*item) : std::int16_t{0};
    } catch (const RuntimeError& error) {
        platform_.runtime.MsgBox(L"ReadComPortFromFile: " + error.Description() + L" - " +
                                     std::to_wstring(error.Number()),
                                 MsgButtons::Ok);
        return 0;
    }
}

// The serial number is returned exactly as written: its leading zeros count.
std::wstring FrmMain::ReadMatricolaFromFile() {
    const std::wstring path = vars_.gDataPath + L"\\SR_MATR.00" + std::to_wstring(vars_.gComPort);
    try {
        const auto file = platform_.runtime.OpenForInput(path);
        const auto item = ReadFirstItem(*file);
        return item ? platform_.runtime.FromAnsi(*item) : std::wstring();
    } catch (const RuntimeError&) {
        return {};
    }
}

}  // namespace kdesk
