#include "platform/portable/mail_archive.h"

#include <gtest/gtest.h>

#include "build_facts.h"

namespace kdesk {
namespace {

TEST(MailArchive, FilesArePackedOnlyWhenTheWireSizePassesTheLimit) {
    const std::uint64_t limit = 20000000;
    const struct {
        std::vector<std::uint64_t> sizes;
        std::wstring note;
        std::uint64_t wireSize;
        bool pack;
    } cases[] = {
        {{}, L"", 0, false},
        {{3, 3}, L"abc", 11, false},                          // 4/3 of 6 bytes, and the note's 3
        {{1}, L"\u00e8", 4 + 2, false},                       // a started base64 group counts whole; UTF-8 bytes
        {{15000000}, L"", 20000000, false},                   // at the limit
        {{15000000}, L"x", 20000001, true},                   // one byte over it
        {{7500000, 7500000, 1}, L"", 20000004, true},         // the sum, not each file
        {{0xFFFFFFFFull * 3}, L"", 0xFFFFFFFFull * 4, true},  // sizes past 4 GiB
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WireSizeEstimate(c.sizes, c.note), c.wireSize) << c.wireSize;
        EXPECT_EQ(MustPack(c.wireSize, limit), c.pack) << c.wireSize;
    }
    EXPECT_EQ(MailLimitBytes(), std::uint64_t{KDESK_MAIL_LIMIT_MB} * 1000000);
}

TEST(MailArchive, EntryNamesAreUniqueAsWindowsComparesNames) {
    const struct {
        std::vector<std::wstring> paths;
        std::vector<std::wstring> names;
    } cases[] = {
        {{L"C:\\A\\LOG.TXT", L"C:\\B\\SR.001"}, {L"LOG.TXT", L"SR.001"}},
        {{L"C:\\A\\LOG.TXT", L"C:\\B\\log.txt", L"D:\\Log.Txt"}, {L"LOG.TXT", L"log (2).txt", L"Log (3).Txt"}},
        {{L"C:\\A\\caff\u00e8.txt", L"C:\\B\\CAFF\u00c8.TXT"}, {L"caff\u00e8.txt", L"CAFF\u00c8 (2).TXT"}},
        {{L"C:\\A\\DATI", L"C:\\B\\DATI", L"C:\\A\\.cfg", L"C:\\B\\.cfg"}, {L"DATI", L"DATI (2)", L".cfg", L".cfg (2)"}},
        {{L"C:\\A\\x.tar.gz", L"C:\\B\\x.tar.gz"}, {L"x.tar.gz", L"x.tar (2).gz"}},
        // A numbered name already listed is not given twice.
        {{L"C:\\A\\a (2).txt", L"C:\\A\\a.txt", L"C:\\B\\a.txt"}, {L"a (2).txt", L"a.txt", L"a (3).txt"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ArchiveEntryNames(c.paths), c.names) << c.paths.front();
}

TEST(MailArchive, FileNamesAndMark) {
    EXPECT_EQ(ArchiveFileName(L"VelAutoMail_001_20261207_1430", 1), L"VelAutoMail_001_20261207_1430.zip");
    EXPECT_EQ(ArchiveFileName(L"VelAutoMail_001_20261207_1430", 3), L"VelAutoMail_001_20261207_1430 (3).zip");
    EXPECT_EQ(ArchiveMark(), std::string("KdeskSupport ") + KDESK_VERSION_TEXT);
}

TEST(MailArchive, TooLargeTextSaysSizeLimitAndWhereTheArchiveIs) {
    const std::wstring path = L"C:\\Users\\cassa\\AppData\\Local\\KdeskSupport\\Outbox\\VelAutoMail_001.zip";
    const struct {
        std::uint64_t wireSize, limit;
        const wchar_t* size;
        const wchar_t* limitText;
    } cases[] = {
        {31234567, 20000000, L"circa 31,3 MB", L"pi\u00f9 grandi di 20 MB"},
        {20000001, 20000000, L"circa 20,1 MB", L"pi\u00f9 grandi di 20 MB"},  // never "20 MB over 20 MB"
        {250000000, 25000000, L"circa 250 MB", L"pi\u00f9 grandi di 25 MB"},
        {1600000, 1500000, L"circa 1,6 MB", L"pi\u00f9 grandi di 1,5 MB"},
    };
    for (const auto& c : cases) {
        const std::wstring text = TooLargeText(c.wireSize, c.limit, path);
        for (const wchar_t* part : {c.size, c.limitText, path.c_str(), L"chiavetta USB", L"inviato comunque"})
            EXPECT_NE(text.find(part), std::wstring::npos) << part;
    }
}

}  // namespace
}  // namespace kdesk
