// ANSI conversion and date formatting of the Win32 runtime.
#include <climits>

#include "platform/portable/local_date_time.h"
#include "platform/win32/win32_runtime.h"

namespace kdesk {

namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw RuntimeError(kErrOutOfStringSpace);
    return static_cast<int>(size);
}

// No best-fit mapping: a character the code page lacks becomes '?', never a
// look-alike. UTF-8 as the ANSI code page takes no flags.
DWORD AnsiConversionFlags() { return GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS; }

using FormatFunction = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

std::wstring FormatWith(FormatFunction format, const SYSTEMTIME& when, DWORD flags) {
    const int size = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, text.data(), size);
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return text;
}

}  // namespace

std::string Win32Runtime::ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const DWORD flags = AnsiConversionFlags();
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, flags, text.data(), length, bytes.data(), size, nullptr, nullptr);
    bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return bytes;
}

std::wstring Win32Runtime::FromAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int length = CheckedLength(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

std::wstring Win32Runtime::FormatDateTime(const LocalDateTime& when) {
    if (!IsValidLocalDateTime(when)) return {};
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(when.year);
    t.wMonth = static_cast<WORD>(when.month);
    t.wDay = static_cast<WORD>(when.day);
    t.wHour = static_cast<WORD>(when.hour);
    t.wMinute = static_cast<WORD>(when.minute);
    t.wSecond = static_cast<WORD>(when.second);
    std::wstring date = FormatWith(GetDateFormatW, t, DATE_SHORTDATE);
    if (IsMidnight(when) || date.empty()) return date;
    const std::wstring time = FormatWith(GetTimeFormatW, t, 0);
    return time.empty() ? date : date + L" " + time;
}

}  // namespace kdesk
