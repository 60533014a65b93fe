// A Simple MAPI provider for the tests: registered as the default mail client of
// the test's Wine prefix, it appends every call and the full outgoing message to
// a record file, fails one chosen call with a chosen MAPI code, and can hold
// one chosen call for a while, as a slow mail client would.
//
// Settings, from the environment or else from HKCU\Software\KdeskSupportTests\MapiProvider
// (read at every call, so a test can change the registry values between sends):
//   KDESK_MAPI_RECORD (value RecordFile): the record file, UTF-8, one line per fact;
//   KDESK_MAPI_FAIL (value Fail): "FunctionName=code", e.g. "MAPIResolveName=14";
//   KDESK_MAPI_BLOCK (value Block): "FunctionName=milliseconds": the call first
//     records "Blocking function=NAME ms=N" and then sleeps that long.
//
// The same source also builds the stand-ins for mapi32.dll itself with fewer
// exports (see the .def files beside it).
#include <windows.h>

#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <type_traits>

#include "platform/win32/mail/mapi/mapi_unicode.h"

namespace {

using kdesk::MapiFileDescW;
using kdesk::MapiMessageW;
using kdesk::MapiRecipDescW;

constexpr LHANDLE kSession = 0x4B44;
std::set<void*> gBuffers;

std::wstring Setting(const wchar_t* variable, const wchar_t* value) {
    wchar_t buffer[1024];
    DWORD size = GetEnvironmentVariableW(variable, buffer, 1024);
    if (size > 0 && size < 1024) return buffer;
    size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\KdeskSupportTests\\MapiProvider", value, RRF_RT_REG_SZ,
                     nullptr, buffer, &size) == ERROR_SUCCESS)
        return buffer;
    return {};
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* ansi) {
    if (!ansi) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, out.data(), size);
    out.pop_back();
    return out;
}

// Readable text: backslash, CR, LF and other control characters escaped; null as <null>.
std::string Text(const std::wstring* text) {
    if (!text) return "<null>";
    std::string out;
    for (char c : Utf8(*text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else out += c;
    }
    return out;
}
std::string Text(const wchar_t* text) {
    if (!text) return "<null>";
    const std::wstring copy(text);
    return Text(&copy);
}
std::string Text(const char* text) {
    if (!text) return "<null>";
    const std::wstring copy = Wide(text);
    return Text(&copy);
}

std::string Hex(const void* data, size_t size) {
    std::string out;
    char byte[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", static_cast<const unsigned char*>(data)[i]);
        out += byte;
    }
    return out;
}
std::string Hex(const wchar_t* text) { return text ? Hex(text, wcslen(text) * sizeof(wchar_t)) : "<null>"; }
std::string Hex(const char* text) { return text ? Hex(text, strlen(text)) : "<null>"; }

std::string Number(unsigned long long value, bool hex = false) {
    char out[32];
    std::snprintf(out, sizeof out, hex ? "0x%08llx" : "%llu", value);
    return out;
}

void Record(const std::string& lines) {
    const std::wstring path = Setting(L"KDESK_MAPI_RECORD", L"RecordFile");
    if (path.empty()) return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
}

// The number of a "FunctionName=number" setting when it names this function, else 0.
ULONG NumberFor(const char* function, const wchar_t* variable, const wchar_t* value) {
    const std::string setting = Utf8(Setting(variable, value));
    const size_t equals = setting.find('=');
    if (equals == std::string::npos || setting.substr(0, equals) != function) return 0;
    return static_cast<ULONG>(std::strtoul(setting.c_str() + equals + 1, nullptr, 10));
}

// The code that the named call is told to fail with, 0 when it runs normally.
ULONG InjectedFailure(const char* function) { return NumberFor(function, L"KDESK_MAPI_FAIL", L"Fail"); }

void BlockIfAsked(const char* function) {
    const ULONG milliseconds = NumberFor(function, L"KDESK_MAPI_BLOCK", L"Block");
    if (milliseconds == 0) return;
    Record("Blocking function=" + std::string(function) + " ms=" + Number(milliseconds) + "\n");
    Sleep(milliseconds);
}

ULONG Finish(const char* function, std::string lines) {
    BlockIfAsked(function);
    const ULONG code = InjectedFailure(function);
    lines += "  result=" + Number(code) + "\n";
    Record(lines);
    return code;
}

// The caller frees the result with mapi32's MAPIFreeBuffer, which under Wine
// only knows mapi32's own allocations: use its allocator when it is loaded.
char* Allocate(size_t size) {
    using AllocateFn = LONG(WINAPI*)(ULONG, LPVOID*);
    HMODULE mapi32 = GetModuleHandleW(L"mapi32.dll");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    const auto allocate = mapi32 ? reinterpret_cast<AllocateFn>(GetProcAddress(mapi32, "MAPIAllocateBuffer")) : nullptr;
#pragma GCC diagnostic pop
    void* block = nullptr;
    if (allocate) {
        if (allocate(static_cast<ULONG>(size), &block) != 0) return nullptr;
        std::memset(block, 0, size);
    } else {
        block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
        if (block) gBuffers.insert(block);
    }
    return static_cast<char*>(block);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <class Recip>
std::string RecipientLine(const Recip& recip) {
    return "  recip class=" + Number(recip.ulRecipClass) + " name=" + Text(recip.lpszName) +
           " address=" + Text(recip.lpszAddress) + " eid=" + Hex(recip.lpEntryID, recip.lpEntryID ? recip.ulEIDSize : 0) +
           "\n";
}

template <class Message>
std::string MessageLines(const Message* message) {
    if (!message) return "  message=<null>\n";
    std::string lines = "  subject=" + Text(message->lpszSubject) + "\n" + "  subject.hex=" +
                        Hex(message->lpszSubject) + "\n" + "  body=" + Text(message->lpszNoteText) + "\n" +
                        "  body.hex=" + Hex(message->lpszNoteText) + "\n" + "  recipients=" +
                        Number(message->nRecipCount) + "\n";
    for (ULONG i = 0; i < message->nRecipCount && message->lpRecips; ++i) lines += RecipientLine(message->lpRecips[i]);
    lines += "  files=" + Number(message->nFileCount) + "\n";
    for (ULONG i = 0; i < message->nFileCount && message->lpFiles; ++i) {
        const auto& file = message->lpFiles[i];
        std::wstring path;
        if constexpr (std::is_same_v<Message, MapiMessageW>) path = file.lpszPathName ? file.lpszPathName : L"";
        else path = Wide(file.lpszPathName);
        lines += "  file position=" + Number(file.nPosition) + " path=" + Text(file.lpszPathName) +
                 " name=" + Text(file.lpszFileName) + " exists=" + (FileExists(path) ? "1" : "0") + "\n";
    }
    return lines;
}

}  // namespace

extern "C" {

ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session) {
    const ULONG code = Finish("MAPILogon", "MAPILogon profile=" + Text(profile) + " password=" + Text(password) +
                                               " flags=" + Number(flags, true) + " ui=" + Number(ui, true) + "\n");
    if (session) *session = code == SUCCESS_SUCCESS ? kSession : 0;
    return code;
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS flags, ULONG) {
    return Finish("MAPILogoff", "MAPILogoff session=" + Number(session, true) + " flags=" + Number(flags, true) + "\n");
}

ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* recip) {
    const ULONG code = Finish("MAPIResolveName", "MAPIResolveName session=" + Number(session, true) + " name=" +
                                                     Text(name) + " flags=" + Number(flags, true) + "\n");
    if (!recip) return code;
    *recip = nullptr;
    if (code != SUCCESS_SUCCESS) return code;
    const std::string given = name ? name : "";
    const std::string address = "SMTP:" + given;
    static const char entryId[] = "KDESK-EID";
    const size_t size = sizeof(MapiRecipDesc) + given.size() + 1 + address.size() + 1 + sizeof entryId;
    char* block = Allocate(size);
    if (!block) return MAPI_E_INSUFFICIENT_MEMORY;
    auto* desc = reinterpret_cast<MapiRecipDesc*>(block);
    char* text = block + sizeof(MapiRecipDesc);
    desc->ulRecipClass = MAPI_TO;
    desc->lpszName = lstrcpyA(text, given.c_str());
    desc->lpszAddress = lstrcpyA(text + given.size() + 1, address.c_str());
    desc->lpEntryID = std::memcpy(text + given.size() + 1 + address.size() + 1, entryId, sizeof entryId);
    desc->ulEIDSize = sizeof entryId;
    *recip = desc;
    return code;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
    return Finish("MAPISendMail", "MAPISendMail session=" + Number(session, true) + " flags=" + Number(flags, true) +
                                      "\n" + MessageLines(message));
}

ULONG WINAPI MAPISendMailW(LHANDLE session, ULONG_PTR ui, MapiMessageW* message, FLAGS flags, ULONG) {
    return Finish("MAPISendMailW", "MAPISendMailW session=" + Number(session, true) + " flags=" +
                                       Number(flags, true) + " ui=" + Number(ui, true) + "\n" + MessageLines(message));
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    const bool owned = gBuffers.erase(buffer) > 0;
    Record("MAPIFreeBuffer owned=" + std::string(owned ? "1" : buffer ? "0" : "null") + "\n");
    if (owned) HeapFree(GetProcessHeap(), 0, buffer);
    return SUCCESS_SUCCESS;
}

}  // extern "C"
