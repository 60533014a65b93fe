#include "tests/mapi_provider/provider_setup.h"

#include <fstream>
#include <sstream>

namespace kdesk::mapitest {
namespace {

bool SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream file(path.c_str(), std::ios::binary);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD size = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, size);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool RegisterRecordingProvider() {
    const wchar_t* mail = L"Software\\Clients\\Mail";
    return SetString(HKEY_LOCAL_MACHINE, mail, nullptr, L"KdeskRecorder") &&
           SetString(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail\\KdeskRecorder", L"DLLPath",
                     ProgramFolder() + L"\\kdesk_mapi_recorder.dll");
}

std::string RecordedCall::Value(const std::string& key) const {
    const std::string wanted = key + "=";
    std::istringstream words(header);
    for (std::string word; words >> word;)
        if (word.rfind(wanted, 0) == 0) return word.substr(wanted.size());
    for (const auto& line : lines)
        if (line.rfind(wanted, 0) == 0) return line.substr(wanted.size());
    return {};
}

std::vector<std::string> RecordedCall::LinesStartingWith(const std::string& word) const {
    std::vector<std::string> found;
    for (const auto& line : lines)
        if (line.rfind(word + " ", 0) == 0) found.push_back(line);
    return found;
}

Recording::Recording(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"kdesk_mapi_" + name + L".log";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(L"KDESK_MAPI_RECORD", path_.c_str());
    SetEnvironmentVariableW(L"KDESK_MAPI_FAIL", nullptr);
}

Recording::~Recording() {
    SetEnvironmentVariableW(L"KDESK_MAPI_RECORD", nullptr);
    SetEnvironmentVariableW(L"KDESK_MAPI_FAIL", nullptr);
}

void Recording::FailCall(const std::wstring& functionAndCode) {
    SetEnvironmentVariableW(L"KDESK_MAPI_FAIL", functionAndCode.empty() ? nullptr : functionAndCode.c_str());
}

std::vector<RecordedCall> Recording::Calls() const {
    std::vector<RecordedCall> calls;
    for (const std::string& line : ReadLines(path_)) {
        if (line.rfind("  ", 0) == 0) {
            if (!calls.empty()) calls.back().lines.push_back(line.substr(2));
            continue;
        }
        const size_t space = line.find(' ');
        calls.push_back({line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1), {}});
    }
    return calls;
}

std::vector<std::string> Recording::Functions() const {
    std::vector<std::string> functions;
    for (const auto& call : Calls()) functions.push_back(call.function);
    return functions;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string Recorded(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

}  // namespace kdesk::mapitest
