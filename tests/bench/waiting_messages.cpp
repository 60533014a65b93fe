#include "tests/bench/waiting_messages.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <cwchar>
#include <string_view>
#include <utility>

#include "platform/portable/pending_state.h"
#include "platform/portable/upload_target.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk::bench {
namespace {

constexpr std::int64_t kDaySeconds = std::int64_t{24} * 60 * 60;
constexpr std::size_t kMessageLines = 1000;  // about 77 KB, a report with a small archive
constexpr std::size_t kLogBytes = std::size_t{64} * 1024;

// The message as the upload finished it: headers, the report, a base64 body.
std::string MakeMessage() {
    std::string text =
        "From: KdeskSupport 0012345 <assistenza@example.com>\r\n"
        "To: assistenza@example.com\r\n"
        "Subject: Richiesta assistenza\r\n"
        "Date: Tue, 08 Dec 2026 08:00:00 +0100\r\n"
        "Message-ID: <3f2a9c1e5b7d4e8fa0c6b2d4e6f8a1c3@example.com>\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: application/zip; name=\"Diagnosi.zip\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n";
    const std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    unsigned state = 12345;
    for (std::size_t line = 0; line < kMessageLines; ++line) {
        for (int i = 0; i < 76; ++i) text += alphabet[((state = state * 1103515245u + 12345u) >> 16) % 64];
        text += "\r\n";
    }
    return text;
}

std::wstring MessageName(int index) {
    std::array<wchar_t, 33> hex{};
    std::swprintf(hex.data(), hex.size(), L"%016llx%016llx", 0xbe4c000000000000ull + static_cast<unsigned>(index),
                  static_cast<unsigned long long>(index + 1) * 0x9e3779b97f4a7c15ull);
    return L"Richiesta_assistenza_" + std::wstring(hex.data());
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && file.CloseChecked();
}

template <typename Visit>
void ForEachFile(const std::wstring& folder, const wchar_t* pattern, Visit visit) {
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW((folder + L"\\" + pattern).c_str(), &data));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) visit(data);
}

}  // namespace

std::wstring UserPendingFolder() {
    std::array<wchar_t, MAX_PATH> local{};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                local.data())))
        return {};
    const std::wstring program = std::wstring(local.data()) + L"\\KdeskSupport";
    CreateDirectoryW(program.c_str(), nullptr);
    CreateDirectoryW((program + L"\\Pending").c_str(), nullptr);
    return program + L"\\Pending";
}

WaitingMessages::WaitingMessages(std::wstring folder) : folder_(std::move(folder)), message_(MakeMessage()) {}

bool WaitingMessages::Empty() const {
    bool emptied = true;
    ForEachFile(folder_, L"*", [&](const WIN32_FIND_DATAW& data) {
        emptied = DeleteFileW((folder_ + L"\\" + data.cFileName).c_str()) && emptied;
    });
    return emptied;
}

bool WaitingMessages::Restore() {
    if (!Empty()) return false;
    const std::int64_t dayAgo = static_cast<std::int64_t>(std::time(nullptr)) - kDaySeconds;
    const std::string record = PendingStateText({dayAgo, 1, dayAgo + kRetryPauseSeconds});
    for (int i = 0; i < kWaitingMessages; ++i) {
        const std::wstring name = MessageName(i) + L".eml";
        if (!IsUploadFileName(name) || !WriteFileBytes(folder_ + L"\\" + name, message_) ||
            !WriteFileBytes(folder_ + L"\\" + name + L".state", record))
            return false;
    }
    GetSystemTimeAsFileTime(&restored_);
    return true;
}

int WaitingMessages::RecordsRewritten() const {
    int rewritten = 0;
    ForEachFile(folder_, L"*.eml.state", [&](const WIN32_FIND_DATAW& data) {
        rewritten += CompareFileTime(&data.ftLastWriteTime, &restored_) > 0;
    });
    return rewritten;
}

int WaitingMessages::TriesLogged() const {
    const UniqueFileHandle file(CreateFileW((folder_ + L"\\invii.log").c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    std::string text(kLogBytes, '\0');
    DWORD read = 0;
    if (!file.Valid() || !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return 0;
    return static_cast<int>(std::count(text.begin(), text.begin() + read, '\n'));
}

int WaitingMessages::MessagesLeft() const {
    int left = 0;
    ForEachFile(folder_, L"*.eml", [&](const WIN32_FIND_DATAW& data) { left += IsUploadFileName(data.cFileName); });
    return left;
}

}  // namespace kdesk::bench
