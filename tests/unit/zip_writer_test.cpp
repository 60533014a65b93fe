#include "platform/portable/zip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/portable/mail_archive.h"
#include "platform/portable/utf8.h"

namespace kdesk {
namespace {

using Bytes = std::vector<std::uint8_t>;

[[maybe_unused]] Bytes LogText(std::size_t size) {  // used by the read-back check, native only
    Bytes text;
    for (unsigned line = 0; text.size() < size; ++line) {
        const std::string row = "2026-12-07 14:" + std::to_string(10 + line % 50) + " CASSA " +
                                std::to_string(line * 7919 % 1000) + " scontrino emesso, totale " +
                                std::to_string(line % 97) + ",50 EUR\r\n";
        text.insert(text.end(), row.begin(), row.end());
    }
    text.resize(size);
    return text;
}

Bytes Noise(std::size_t size) {
    Bytes bytes(size);
    unsigned state = 12345;
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

struct Entry {
    std::wstring path;
    Bytes bytes;
    std::size_t chunk = 0;  // 0: all at once
    bool abandoned = false;  // begun, then given up part of the way
};

struct Archive {
    std::string bytes;
    std::vector<std::wstring> names;  // of the entries kept
};

// Writes the entries under the names ArchiveEntryNames gives them, cutting the
// output back where an entry is given up, as the packer does with its file.
Archive Write(const std::vector<Entry>& entries, std::string_view comment, std::uint64_t threshold, bool sizeHints) {
    Archive archive;
    ZipWriter writer([&](std::string_view bytes) { archive.bytes += bytes; }, threshold);
    std::vector<std::wstring> paths;
    for (const Entry& entry : entries) paths.push_back(entry.path);
    const std::vector<std::wstring> names = ArchiveEntryNames(paths);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        writer.BeginEntry(ToUtf8(names[i]), ToDosDateTime({2026, 12, 7, 14, 30, 5}), sizeHints ? entry.bytes.size() : 0);
        const std::size_t chunk = entry.chunk ? entry.chunk : std::max<std::size_t>(entry.bytes.size(), 1);
        for (std::size_t at = 0; at < entry.bytes.size(); at += chunk)
            writer.EntryBytes(std::span(entry.bytes).subspan(at, std::min(chunk, entry.bytes.size() - at)));
        writer.EntryBytes({});  // an empty read changes nothing
        if (entry.abandoned) {
            archive.bytes.resize(writer.AbandonEntry());
            continue;
        }
        writer.EndEntry();
        archive.names.push_back(names[i]);
    }
    writer.Finish(comment);
    EXPECT_EQ(writer.Offset(), archive.bytes.size());
    return archive;
}

std::span<const std::uint8_t> Tail(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t size = std::min(bytes.size(), kZipTailSize);
    return {data + bytes.size() - size, size};
}

TEST(ZipWriter, DosDateTimeKeepsTheFormatsRange) {
    const struct {
        LocalDateTime when;
        std::uint16_t date, time;
    } cases[] = {
        {{2026, 12, 7, 14, 30, 5}, (46 << 9) | (12 << 5) | 7, (14 << 11) | (30 << 5) | 2},
        {{1980, 1, 1, 0, 0, 0}, (1 << 5) | 1, 0},
        {{1979, 12, 31, 23, 59, 59}, (1 << 5) | 1, 0},
        {{2107, 12, 31, 23, 59, 59}, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
        {{2200, 6, 1, 12, 0, 0}, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
        {{2026, 2, 30, 0, 0, 0}, (1 << 5) | 1, 0},  // no such day
    };
    for (const auto& c : cases) {
        const DosDateTime dos = ToDosDateTime(c.when);
        EXPECT_EQ(dos.date, c.date) << c.when.year << "-" << c.when.month << "-" << c.when.day;
        EXPECT_EQ(dos.time, c.time) << c.when.hour << ":" << c.when.minute << ":" << c.when.second;
    }
}

TEST(ZipWriter, CommentIsFoundOnlyInAnEndRecordThatEndsTheBytes) {
    const std::string mark = ArchiveMark();
    const std::string archive = Write({{L"C:\\VelKdesk\\LOG.TXT", Noise(100000)}}, mark, ZipWriter::kZip64Threshold, true).bytes;
    const std::string empty = Write({}, "", ZipWriter::kZip64Threshold, true).bytes;
    const std::string longComment(0xFFFF, 'x');
    const struct {
        const char* label;
        std::string bytes;
        std::optional<std::string> comment;
    } cases[] = {
        {"archive", archive, mark},
        {"no entries, no comment", empty, ""},
        {"longest comment", Write({}, longComment, ZipWriter::kZip64Threshold, true).bytes, longComment},
        {"last byte missing", archive.substr(0, archive.size() - 1), std::nullopt},
        {"bytes after the end", archive + "x", std::nullopt},
        {"shorter than an end record", archive.substr(archive.size() - 21), std::nullopt},
        {"no archive", std::string(1000, 'P'), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ZipCommentOf(Tail(c.bytes)), c.comment) << c.label;
    EXPECT_TRUE(IsArchiveMark(mark));
    EXPECT_FALSE(IsArchiveMark("Creato con un altro programma"));
}

#ifdef KDESK_ZIP_CHECK_SCRIPT
// Writes the archive and what it must hold into a folder of its own and has
// tests/unit/check_zip.py read it back; returns what the script printed.
std::string ReadBack(const std::string& label, const std::vector<Entry>& entries, std::string_view comment,
                     std::uint64_t threshold, bool sizeHints, bool zip64) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("kdesk_zip_" + label);
    fs::remove_all(folder);
    fs::create_directories(folder);
    const Archive archive = Write(entries, comment, threshold, sizeHints);
    const auto put = [&](const std::string& name, std::string_view bytes) {
        std::ofstream(folder / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    put("archive.zip", archive.bytes);
    put("comment", comment);
    put("zip64", zip64 ? "yes" : "no");
    std::string names;
    std::size_t kept = 0;
    for (const Entry& entry : entries) {
        if (entry.abandoned) continue;
        names += (kept ? "\n" : "") + ToUtf8(archive.names[kept]);
        put(std::to_string(kept++), std::string_view(reinterpret_cast<const char*>(entry.bytes.data()), entry.bytes.size()));
    }
    put("names", names);
    std::string output;
    FILE* pipe = popen(("python3 " KDESK_ZIP_CHECK_SCRIPT " '" + folder.string() + "' 2>&1").c_str(), "r");
    if (!pipe) return "python3 could not be started";
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    const int status = pclose(pipe);
    if (status == 0) fs::remove_all(folder);
    return status == 0 ? "" : output + " (folder kept: " + folder.string() + ")";
}

TEST(ZipWriter, ArchivesReadBackByIndependentReaders) {
    const Bytes log = LogText(300000);
    const Bytes noise = Noise(200000);
    const std::vector<Entry> files = {
        {L"C:\\VelKdesk\\LOG.TXT", log, 7},
        {L"C:\\Dati\\log.txt", log},  // the same name but for letter case, in one piece
        {L"C:\\Dati\\Caff\u00e8 \u2116 1.txt", LogText(5000), 1},
        {L"C:\\Dati\\SR_MATR.001", {}},
        {L"C:\\Dati\\DATI.001", noise, 65536},  // does not compress
    };
    const std::vector<Entry> small = {
        {L"A.TXT", LogText(5000), 1000}, {L"VUOTO.001", {}}, {L"B.BIN", noise, 4096}, {L"C.TXT", LogText(100)}};
    std::vector<Entry> withAbandoned = files;
    withAbandoned.insert(withAbandoned.begin() + 1, Entry{L"C:\\Dati\\TRONCO.TXT", log, 5000, true});
    const std::vector<Entry> manyEntries(6, Entry{L"X.TXT", LogText(10)});
    const std::string mark = ArchiveMark();
    const struct {
        const char* label;
        std::vector<Entry> entries;
        std::uint64_t threshold;
        bool sizeHints;
        bool zip64;
    } cases[] = {
        {"files", files, ZipWriter::kZip64Threshold, true, false},
        {"no_entries", {}, ZipWriter::kZip64Threshold, true, false},
        {"entry_given_up", withAbandoned, ZipWriter::kZip64Threshold, true, false},
        {"zip64_announced", small, 1000, true, true},
        {"zip64_unannounced", small, 1000, false, true},
        {"zip64_by_entry_count", manyEntries, 5, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadBack(c.label, c.entries, mark, c.threshold, c.sizeHints, c.zip64), "") << c.label;
}
#endif

}  // namespace
}  // namespace kdesk
