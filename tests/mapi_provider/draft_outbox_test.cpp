// The outbox under Wine: which drafts the clean-up may remove, where a draft
// goes when the usual folder cannot be used, and which registered mail
// clients the program tries Simple MAPI with.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/fake/fake_runtime.h"
#include "platform/portable/draft_files.h"
#include "platform/win32/mail/draft/draft_outbox.h"
#include "platform/win32/mail/mapi/mail_client.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::mapitest {
namespace {

std::wstring LocalOutbox() {
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::wstring(local) + L"\\KdeskSupport\\Outbox";
}

std::wstring TempOutbox() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"KdeskSupport\\Outbox";
}

void WriteFile(const std::wstring& path, const std::string& bytes, int daysOld = 0) {
    std::ofstream(path.c_str(), std::ios::binary) << bytes;
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
    ticks.QuadPart -= static_cast<ULONGLONG>(daysOld) * 864000000000ULL;
    time = {ticks.LowPart, ticks.HighPart};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

void EmptyFolder(const std::wstring& folder) {
    for (const std::wstring& name : Names(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

class Outbox : public ::testing::Test {
protected:
    void SetUp() override {
        SHCreateDirectoryExW(nullptr, LocalOutbox().c_str(), nullptr);
        EmptyFolder(LocalOutbox());
    }
    void TearDown() override { EmptyFolder(LocalOutbox()); }

    FakeRuntime runtime;
    DraftOutbox outbox{runtime};
    const MailDraft draft{L"assistenza@example.org", L"VelAutoMail_99MEY_20261208_101500", L"Testo", {}};
};

TEST_F(Outbox, CleanUpRemovesOnlyTheProgramsOwnOldestDrafts) {
    const std::wstring folder = LocalOutbox();
    const std::string own = "X-Unsent: 1\r\n" + DraftMarkHeader("0.0.0.1") + "To: a@b.it\r\n\r\n";
    for (int i = 0; i < 22; ++i) WriteFile(folder + L"\\old " + std::to_wstring(i) + L".eml", own, 30 - i);
    for (const wchar_t* name : {L"\\mio.eml", L"\\salvato.emlx", L"\\copia.eml_old"})
        WriteFile(folder + name, "X-Unsent: 1\r\nTo: a@b.it\r\n\r\n", 365);

    const std::wstring written = outbox.Write(draft).path;

    EXPECT_EQ(written, folder + L"\\VelAutoMail_99MEY_20261208_101500.eml");
    const auto names = Names(folder);
    EXPECT_EQ(names.size(), 23u);  // 20 of the program's own, and the three others
    for (const wchar_t* kept : {L"mio.eml", L"salvato.emlx", L"copia.eml_old", L"old 21.eml", L"old 3.eml"})
        EXPECT_NE(std::ranges::find(names, kept), names.end()) << Utf8(kept);
    for (const wchar_t* removed : {L"old 0.eml", L"old 2.eml"})
        EXPECT_EQ(std::ranges::find(names, removed), names.end()) << Utf8(removed);
    EXPECT_TRUE(std::ranges::none_of(names, [](const std::wstring& n) { return n.ends_with(L".part"); }));
    EXPECT_EQ(outbox.Write(draft).path, folder + L"\\VelAutoMail_99MEY_20261208_101500 (2).eml");
}

// Every file the draft could not take is named, each on a line of its own.
TEST_F(Outbox, EachFileLeftOutOfTheDraftIsNamed) {
    MailDraft withFiles = draft;
    withFiles.files = {L"C:\\kdesk_manca\\LOG.TXT", L"C:\\kdesk_manca\\SR_ERR.001"};

    const DraftOutbox::Written written = outbox.Write(withFiles);

    EXPECT_EQ(written.unreadable, withFiles.files);
    const RuntimeError error = UnreadableAttachments(written.unreadable);
    EXPECT_EQ(error.Number(), 32012);
    EXPECT_EQ(error.Description(),
              L"Impossibile aprire l'allegato:\r\nC:\\kdesk_manca\\LOG.TXT\r\nC:\\kdesk_manca\\SR_ERR.001");
    EXPECT_EQ(UnreadableAttachments({withFiles.files[0]}).Description(),
              L"Impossibile aprire l'allegato: C:\\kdesk_manca\\LOG.TXT");
}

TEST_F(Outbox, AnOutboxThatIsAFileSendsTheDraftToTheTempFolder) {
    const std::wstring folder = LocalOutbox();
    const std::wstring aside = folder + L".aside";
    ASSERT_TRUE(MoveFileW(folder.c_str(), aside.c_str()));
    WriteFile(folder, "not a folder");

    std::wstring written;
    EXPECT_NO_THROW(written = outbox.Write(draft).path);

    DeleteFileW(folder.c_str());
    MoveFileW(aside.c_str(), folder.c_str());
    EXPECT_EQ(written, TempOutbox() + L"\\VelAutoMail_99MEY_20261208_101500.eml");
    std::ifstream file(written.c_str(), std::ios::binary);
    EXPECT_TRUE(CarriesDraftMark(std::string(std::istreambuf_iterator<char>(file), {})));
    file.close();
    DeleteFileW(written.c_str());
}

// Windows' Simple MAPI stub loads a bare DLL name from the system folder, and
// the program tries Simple MAPI wherever it cannot tell.
TEST(MailClientChoice, FollowsWhatTheSimpleMapiStubWouldLoad) {
    const wchar_t* key = L"Software\\Clients\\Mail\\KdeskChoiceTest";
    const auto set = [&](const wchar_t* name, const std::wstring& value) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, name, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        bool simpleMapi;
    };
    const Case cases[] = {
        {L"DLLPath", L"mapi32.dll", true},                                  // Windows' own, in the system folder
        {L"DLLPath", L"kdesk_nowhere.dll", true},                           // cannot tell: tried
        {L"DLLPath", L"C:\\nowhere\\kdesk_mapi.dll", false},                // not there: a draft
        {L"MSIComponentID", L"{00000000-1111-2222-3333-444444444444}", true}, // not installed, nothing else: tried
    };
    for (const Case& c : cases) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
        set(c.name, c.value);
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail", nullptr, REG_SZ, L"KdeskChoiceTest",
                        sizeof L"KdeskChoiceTest");
        EXPECT_EQ(UsableMailClientRegistered(), c.simpleMapi) << Utf8(c.name) << " " << Utf8(c.value);
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail", nullptr);
    EXPECT_FALSE(UsableMailClientRegistered());  // no client at all
    ASSERT_TRUE(RegisterRecordingProvider());
    EXPECT_TRUE(UsableMailClientRegistered());
}

}  // namespace
}  // namespace kdesk::mapitest
