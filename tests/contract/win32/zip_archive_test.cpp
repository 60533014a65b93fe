// The Win32 packer and the outbox files it writes, on real files (under Wine):
// what it leaves in the folder and what the archive's central directory says.
// The bytes' format itself is read back by independent readers in the native
// unit tests.
#include "platform/win32/mail/zip_archive.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/portable/mail_archive.h"
#include "platform/portable/utf8.h"
#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

std::string ReadAll(const std::wstring& path) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::uint32_t Little(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Each entry of the central directory: name, CRC-32 and size of its bytes.
struct Listed {
    std::string name;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> CentralDirectory(const std::string& archive, const std::string& comment) {
    const std::size_t end = archive.size() - 22 - comment.size();
    std::vector<Listed> entries(Little(archive, end + 10, 2));
    std::size_t at = Little(archive, end + 16, 4);
    for (Listed& entry : entries) {
        const std::size_t nameSize = Little(archive, at + 28, 2);
        entry = {archive.substr(at + 46, nameSize), Little(archive, at + 16, 4), Little(archive, at + 24, 4)};
        at += 46 + nameSize + Little(archive, at + 30, 2) + Little(archive, at + 32, 2);
    }
    return entries;
}

Listed ListingOf(const std::string& name, const std::string& bytes) {
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
    return {name, static_cast<std::uint32_t>(crc), static_cast<std::uint32_t>(bytes.size())};
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    std::sort(names.begin(), names.end());
    return names;
}

class ZipArchiveTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::wstring(temp) + L"kdesk_zip_archive_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW((root_ + L"\\Outbox").c_str(), nullptr);
    }
    void TearDown() override {
        for (const wchar_t* folder : {L"\\Outbox", L""}) {
            for (const std::wstring& name : FilesIn(root_ + folder)) DeleteFileW((root_ + folder + L"\\" + name).c_str());
            RemoveDirectoryW((root_ + folder).c_str());
        }
    }
    ArchiveRequest Request(std::vector<std::wstring> files) {
        return {{root_ + L"\\Outbox", true}, [](int attempt) { return ArchiveFileName(L"VelAutoMail_001", attempt); },
                std::move(files), [this] { ++chunks_; }};
    }
    std::wstring root_;
    int chunks_ = 0;
};

TEST_F(ZipArchiveTest, PacksTheReadableFilesInListOrderAndLeavesOnlyTheArchive) {
    std::string log;
    while (log.size() < 600 * 1024) log += "2026-12-07 14:30:05 CASSA 1 scontrino " + std::to_string(log.size()) + "\r\n";
    const std::vector<std::pair<std::wstring, std::string>> files = {
        {L"LOG.TXT", log}, {L"Caff\u00e8 \u2116 1.txt", "caff\u00e8"}, {L"SR_MATR.001", ""}};
    std::vector<std::wstring> paths;
    for (const auto& [name, bytes] : files) {
        paths.push_back(root_ + L"\\" + name);
        WriteAll(paths.back(), bytes);
    }
    paths.insert(paths.begin() + 1, root_ + L"\\MANCA.TXT");
    EXPECT_EQ(ListedFileSizes(paths), (std::vector<std::uint64_t>{log.size(), 0, 6, 0}));

    const PackedArchive first = PackFiles(Request(paths));
    EXPECT_EQ(first.path, root_ + L"\\Outbox\\VelAutoMail_001.zip");
    EXPECT_EQ(first.unreadable, std::vector<std::wstring>{root_ + L"\\MANCA.TXT"});
    EXPECT_EQ(chunks_, 3 + 1);  // 600 KiB in 256 KiB chunks, and the short file
    const std::string archive = ReadAll(first.path);
    EXPECT_EQ(archive.size(), first.size);
    EXPECT_TRUE(IsOwnArchive(first.path));
    std::vector<Listed> expected;
    for (const auto& [name, bytes] : files) expected.push_back(ListingOf(ToUtf8(name), bytes));
    EXPECT_EQ(CentralDirectory(archive, ArchiveMark()), expected);

    // The name is taken: the next archive gets a number, and no .part stays behind.
    EXPECT_EQ(PackFiles(Request({paths[0]})).path, root_ + L"\\Outbox\\VelAutoMail_001 (2).zip");
    EXPECT_EQ(FilesIn(root_ + L"\\Outbox"), (std::vector<std::wstring>{L"VelAutoMail_001 (2).zip", L"VelAutoMail_001.zip"}));
    EXPECT_FALSE(IsOwnArchive(paths[0]));
}

// A file whose reading fails part of the way (a range of it is locked) is cut
// out of the archive again, past the bytes already on disk; the next file
// follows the entries before it. Wine does not refuse reads of locked ranges.
TEST_F(ZipArchiveTest, AFileThatFailsPartOfTheWayIsLeftOut) {
    const std::wstring locked = root_ + L"\\LOCKED.BIN";
    const std::wstring next = root_ + L"\\NEXT.TXT";
    std::string noise(600 * 1024, '\0');  // does not compress: the entry reaches the disk before the failure
    unsigned state = 1;
    for (char& byte : noise) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    WriteAll(locked, noise);
    WriteAll(next, "next");
    const UniqueFileHandle holder(CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(LockFile(holder.Get(), 400 * 1024, 0, 1024, 0));
    const UniqueFileHandle probe(CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    char byte = 0;
    DWORD read = 0;
    SetFilePointer(probe.Get(), 400 * 1024, nullptr, FILE_BEGIN);
    if (ReadFile(probe.Get(), &byte, 1, &read, nullptr)) GTEST_SKIP() << "reads of a locked range succeed here (Wine)";

    const PackedArchive packed = PackFiles(Request({locked, next}));
    EXPECT_EQ(packed.unreadable, std::vector<std::wstring>{locked});
    const std::string archive = ReadAll(packed.path);
    EXPECT_EQ(archive.size(), packed.size);
    EXPECT_EQ(CentralDirectory(archive, ArchiveMark()), std::vector<Listed>{ListingOf("NEXT.TXT", "next")});
    EXPECT_EQ(Little(archive, 0, 4), 0x04034b50u);
    EXPECT_EQ(archive.substr(30, 8), "NEXT.TXT");  // its local header comes first
}

// The point-of-sale program goes on writing its log and renames it while it
// is packed; the entry is the file as it was when opened.
TEST_F(ZipArchiveTest, TheFileAsOpenedIsPackedWhileItsOwnerWritesOnAndRenamesIt) {
    const std::wstring log = root_ + L"\\LOG.TXT";
    const std::string opened(600 * 1024, 'a');
    WriteAll(log, opened);
    ArchiveRequest request = Request({log});
    bool renamed = false;
    DWORD renameError = 0;
    request.betweenChunks = [&] {
        if (chunks_++ > 0) return;
        const UniqueFileHandle owner(CreateFileW(log.c_str(), FILE_APPEND_DATA,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        DWORD written = 0;
        WriteFile(owner.Get(), "scontrino\r\n", 11, &written, nullptr);
        renamed = MoveFileW(log.c_str(), (root_ + L"\\LOG.OLD").c_str());
        if (!renamed) renameError = GetLastError();
    };

    const PackedArchive packed = PackFiles(request);

    EXPECT_TRUE(renamed) << "the log could not be renamed while it was packed: error " << renameError;
    EXPECT_EQ(CentralDirectory(ReadAll(packed.path), ArchiveMark()), std::vector<Listed>{ListingOf("LOG.TXT", opened)});
}

// Files in two folders whose names differ only in letter case, as Windows
// compares it beyond the scripts the portable folding knows (Armenian here).
TEST_F(ZipArchiveTest, NamesEqualAsWindowsComparesThemGetNumbers) {
    CreateDirectoryW((root_ + L"\\B").c_str(), nullptr);
    const std::vector<std::wstring> paths = {root_ + L"\\\u0531.txt", root_ + L"\\B\\\u0561.TXT"};
    for (const std::wstring& path : paths) WriteAll(path, "x");

    const PackedArchive packed = PackFiles(Request(paths));

    DeleteFileW(paths[1].c_str());
    RemoveDirectoryW((root_ + L"\\B").c_str());
    EXPECT_EQ(CentralDirectory(ReadAll(packed.path), ArchiveMark()),
              (std::vector<Listed>{ListingOf(ToUtf8(L"\u0531.txt"), "x"), ListingOf(ToUtf8(L"\u0561 (2).TXT"), "x")}));
}

// When no listed file can be read, no archive is left to attach.
TEST_F(ZipArchiveTest, NoArchiveStaysWhenNoFileCouldBeRead) {
    const std::wstring held = root_ + L"\\LOG.TXT";
    WriteAll(held, "held");
    const UniqueFileHandle holder(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());

    const PackedArchive packed = PackFiles(Request({held, root_ + L"\\MANCA.TXT"}));

    EXPECT_EQ(packed.path, L"");
    EXPECT_EQ(packed.unreadable, (std::vector<std::wstring>{held, root_ + L"\\MANCA.TXT"}));
    EXPECT_TRUE(FilesIn(root_ + L"\\Outbox").empty());
}

// What a copy of the program ended while writing left goes before the next
// file is written; a .part another copy still writes, and names the program
// does not write (a foreign "lettera.eml.part" too), stay.
TEST_F(ZipArchiveTest, StalePartsOfTheProgramGoAndEverythingElseStays) {
    const std::wstring outbox = root_ + L"\\Outbox\\";
    const std::wstring stale = L"VelAutoMail_001_20250301_101500";
    for (const std::wstring& name : {stale + L".zip.part", stale + L".eml.part", stale + L" (2).zip.part",
                                     std::wstring(L"lettera.eml.part"), std::wstring(L"appunti.part"),
                                     std::wstring(L"dati.txt.part"), std::wstring(L"VelAutoMail_000.zip")})
        WriteAll(outbox + name, "PK");
    const UniqueFileHandle stillWriting(CreateFileW((outbox + stale + L" (2).zip.part").c_str(), GENERIC_WRITE,
                                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(stillWriting.Valid());
    const std::wstring log = root_ + L"\\LOG.TXT";
    WriteAll(log, "log");

    EXPECT_EQ(PackFiles(Request({log})).path, outbox + L"VelAutoMail_001.zip");
    EXPECT_EQ(FilesIn(root_ + L"\\Outbox"),
              (std::vector<std::wstring>{L"VelAutoMail_000.zip", L"VelAutoMail_001.zip", stale + L" (2).zip.part",
                                         L"appunti.part", L"dati.txt.part", L"lettera.eml.part"}));
}

DWORD WINAPI LetGoAfterAWhile(LPVOID handle) {
    Sleep(300);
    CloseHandle(handle);
    return 0;
}

// A virus scanner that looks at the new file holds it for a moment: the file
// still gets its final name once it lets go.
TEST_F(ZipArchiveTest, TheFinalNameWaitsForAScannerToLetGo) {
    const std::wstring outbox = root_ + L"\\Outbox";
    OutboxFile file({outbox, true}, [](int attempt) { return ArchiveFileName(L"VelAutoMail_001", attempt); },
                    MailFault::ArchiveNotSaved);
    file.Write("PK");
    const HANDLE scanner = CreateFileW((outbox + L"\\VelAutoMail_001.zip.part").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    const HANDLE letGo = CreateThread(nullptr, 0, LetGoAfterAWhile, scanner, 0, nullptr);
    ASSERT_NE(letGo, nullptr);

    EXPECT_EQ(file.Commit(), outbox + L"\\VelAutoMail_001.zip");
    WaitForSingleObject(letGo, INFINITE);
    CloseHandle(letGo);
}

TEST_F(ZipArchiveTest, AFolderThatCannotBeWrittenRaisesTheMailErrorAndLeavesNothing) {
    ArchiveRequest request = Request({});
    request.folder.path = root_ + L"\\Manca";
    try {
        PackFiles(request);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), static_cast<std::int32_t>(MailFault::ArchiveNotSaved));
        EXPECT_NE(error.Description().find(L"VelAutoMail_001.zip.part"), std::wstring::npos);
    }
    EXPECT_TRUE(FilesIn(root_).empty());
}

}  // namespace
}  // namespace kdesk
