#include "tests/e2e/drafts.h"

#include <fstream>
#include <sstream>
#include <thread>

#include <zlib.h>

#include "tests/e2e/driver.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

constexpr wchar_t kMailClients[] = L"Software\\Clients\\Mail";
constexpr wchar_t kEmlClass[] = L"Software\\Classes\\.eml";

bool SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (char c : mapitest::Utf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return hex;
}

}  // namespace

bool RegisterEmlCatcher() {
    const std::wstring command = L"\"" + BinFolder() + L"\\kdesk_eml_catcher.exe\" \"%1\"";
    return SetString(HKEY_LOCAL_MACHINE, kEmlClass, nullptr, L"KdeskTestEml") &&
           SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KdeskTestEml\\shell\\open\\command", nullptr, command);
}

CaughtDrafts::CaughtDrafts(std::wstring folder) : folder_(std::move(folder)) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    SetEnvironmentVariableW(L"KDESK_EML_CATCH", folder_.c_str());
}

CaughtDrafts::~CaughtDrafts() {
    for (const std::wstring& file : Files()) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder_.c_str());
    SetEnvironmentVariableW(L"KDESK_EML_CATCH", nullptr);
}

std::vector<std::wstring> CaughtDrafts::Files() const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder_ + L"\\*.eml").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return files;
    do files.push_back(folder_ + L"\\" + data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return files;
}

std::wstring CaughtDrafts::WaitForOne(std::chrono::milliseconds timeout) const {
    if (!WaitUntil([&] { return !Files().empty(); }, timeout)) return {};
    // The catcher may still be copying: wait until the size settles.
    const std::wstring file = Files().front();
    for (std::size_t size = ReadBytes(file).size();; ) {
        Sleep(100);
        const std::size_t now = ReadBytes(file).size();
        if (now == size && size > 0) return file;
        size = now;
    }
}

MailClientForTest::MailClientForTest(const std::wstring& dll) {
    if (dll.empty()) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr);
        return;
    }
    SetString(HKEY_LOCAL_MACHINE, kMailClients, nullptr, L"KdeskTestClient");
    SetString(HKEY_LOCAL_MACHINE, std::wstring(kMailClients) + L"\\KdeskTestClient", L"DLLPath", dll);
}

MailClientForTest::~MailClientForTest() {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail\\KdeskTestClient");
    mapitest::RegisterRecordingProvider();
}

NoEmlProgram::NoEmlProgram() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEmlClass); }

NoEmlProgram::~NoEmlProgram() { RegisterEmlCatcher(); }

constexpr wchar_t kOlkAppPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\olk.exe";

NewOutlookForTest::NewOutlookForTest(const std::wstring& folder) {
    const std::wstring olk = folder + L"\\olk.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW((BinFolder() + L"\\kdesk_eml_catcher.exe").c_str(), olk.c_str(), FALSE);
    SetString(HKEY_LOCAL_MACHINE, kOlkAppPath, nullptr, olk);
}

NewOutlookForTest::~NewOutlookForTest() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kOlkAppPath); }

namespace {

constexpr std::size_t kLargeFile = 1024 * 1024;

// The files as the check expects them: name, and the bytes themselves, or for
// a large file its size and CRC-32.
std::string FilesJson(const std::vector<std::wstring>& files) {
    std::ostringstream json;
    json << "[";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::wstring& path = files[i];
        const std::string bytes = ReadBytes(path);
        json << (i ? ",\n  " : "\n  ") << "{\"name\": " << Json(path.substr(path.find_last_of(L'\\') + 1));
        if (bytes.size() <= kLargeFile) json << ", \"hex\": \"" << Hex(bytes) << "\"}";
        else
            json << ", \"size\": " << bytes.size() << ", \"crc32\": "
                 << crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())) << "}";
    }
    return json.str() + "]";
}

std::wstring CheckFolderBase(const std::string& name) {
    const std::wstring folder = BinFolder() + L"\\..\\drafts";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + std::wstring(name.begin(), name.end());
}

}  // namespace

void KeepForMimeCheck(const std::wstring& draft, const std::string& name, const ExpectedDraft& expected) {
    const std::wstring base = CheckFolderBase(name);
    CopyFileW(draft.c_str(), (base + L".eml").c_str(), FALSE);
    std::ostringstream json;
    json << "{\"to\": " << Json(expected.to) << ",\n \"subject_pattern\": " << Json(expected.subjectPattern)
         << ",\n \"body\": " << Json(expected.body) << ",\n \"attachments\": " << FilesJson(expected.files);
    if (!expected.archived.empty()) json << ",\n \"archive\": " << FilesJson(expected.archived);
    json << "}\n";
    std::ofstream((base + L".json").c_str(), std::ios::binary) << json.str();
}

void KeepArchiveForCheck(const std::wstring& archive, const std::string& name, const std::vector<std::wstring>& files) {
    const std::wstring base = CheckFolderBase(name);
    CopyFileW(archive.c_str(), (base + L".zip").c_str(), FALSE);
    std::ofstream((base + L".json").c_str(), std::ios::binary) << "{\"archive\": " << FilesJson(files) << "}\n";
}

WORD OtherMachine() { return sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64; }

std::string PeHeadersFor(WORD machine) {
    std::string image(0x40 + 24, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    image[0x44] = static_cast<char>(machine & 0xFF);
    image[0x45] = static_cast<char>(machine >> 8);
    return image;
}

}  // namespace kdesk::e2e
