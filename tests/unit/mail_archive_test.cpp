#include "platform/portable/mail_archive.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "build_facts.h"
#include "platform/portable/eml_writer.h"

namespace kdesk {
namespace {

// The size of the message the draft writer really writes, fed in chunks.
std::uint64_t WrittenSize(const MailText& text, const std::vector<ListedFile>& files) {
    std::uint64_t size = 0;
    EmlWriter writer([&](std::string_view bytes) { size += bytes.size(); }, DraftBoundary(42));
    writer.Begin(text.to, text.subject, "Tue, 08 Dec 2026 09:05:00 +0100", text.noteText);
    const std::vector<std::uint8_t> chunk(1000001, 0xA5);  // not a multiple of three
    for (const ListedFile& file : files) {
        writer.BeginAttachment(file.path.substr(file.path.find_last_of(L'\\') + 1));
        for (std::uint64_t left = file.size; left > 0;) {
            const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
            writer.AttachmentBytes(std::span(chunk.data(), piece));
            left -= piece;
        }
        writer.EndAttachment();
    }
    writer.End();
    return size;
}

// Around the limit the estimate is never below the real message and at most a
// few kilobytes above it, so files that would pass the limit are packed.
TEST(MailArchive, TheEstimateHoldsTheRealMessageAroundTheLimit) {
    const std::uint64_t limit = 20000000;
    const std::wstring note = L"Dati Cliente: Bar \u00abRoma\u00bb \r\n" + std::wstring(2000, L'\u00e8') + L"\r\nfine";
    const MailText text{L"assistenza@example.com; Bar Roma <bar@roma.example>", L"VelAutoMail_99MEY_20261208_090500",
                        note};
    const struct {
        std::vector<ListedFile> files;
        bool pack;
    } cases[] = {
        {{}, false},
        {{{L"C:\\D\\SR_MATR.001", 0}, {L"C:\\D\\A.TXT", 1}, {L"C:\\D\\B.TXT", 57}, {L"C:\\D\\C.TXT", 58}}, false},
        {{{L"C:\\D\\LOG.TXT", 14500000}}, false},
        {{{L"C:\\D\\LOG.TXT", 14640000}}, true},  // four thirds alone: 19,520,000
        {{{L"C:\\D\\LOG.TXT", 14700000}}, true},
        {{{L"C:\\D\\LOG.TXT", 7320000}, {L"C:\\D\\Scontrino caff\u00e8 \u2116 1 " + std::wstring(120, L'x') + L".001", 7320000}},
         true},
        {{{L"C:\\D\\LOG.TXT", 15000000}}, true},
    };
    for (const auto& c : cases) {
        const std::uint64_t estimate = WireSizeEstimate(text, c.files);
        const std::uint64_t written = WrittenSize(text, c.files);
        EXPECT_GE(estimate, written) << c.files.size();
        EXPECT_LE(estimate, written + 4096) << c.files.size();
        EXPECT_EQ(MustPack(estimate, limit), c.pack) << estimate;
        EXPECT_EQ(MustPack(written, limit), c.pack) << written;
    }
    EXPECT_FALSE(MustPack(limit, limit));
    EXPECT_TRUE(MustPack(limit + 1, limit));
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
        // Lone surrogates are all U+FFFD in UTF-8: the names they made distinct are one.
        {{L"C:\\A\\a\xD800.txt", L"C:\\B\\a\xDC00.txt", L"C:\\C\\a\uFFFD.txt"},
         {L"a\uFFFD.txt", L"a\uFFFD (2).txt", L"a\uFFFD (3).txt"}},
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
