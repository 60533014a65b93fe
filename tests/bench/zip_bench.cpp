// Benchmark (not a test): packs ten log-like text files of 5 MB each into a
// ZIP archive with the mail's packer, against deflating the same bytes, held
// in memory, with zlib alone at the same level; prints both times and their
// ratio (best of three), the compression ratio, and how far the working set
// rose above what it was before the first archive was written.
// Usage: zip_bench FOLDER   (the ten files are made there when missing)
#include <windows.h>

#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/portable/mail_archive.h"
#include "platform/portable/zip_writer.h"
#include "platform/win32/mail/zip_archive.h"
#include "tests/bench/bench_measures.h"

namespace {

using kdesk::bench::BestTime;
using kdesk::bench::kRounds;
using kdesk::bench::WorkingSet;


constexpr int kFiles = 10;
constexpr DWORD kFileSize = 5000000;

// A point-of-sale log: time-stamped lines of a few kinds with varying numbers.
std::string LogLine(unsigned& state, unsigned line) {
    static const char* const kEvents[] = {
        "INFO  Scontrino %06u emesso: totale %u,%02u EUR, pagamento CONTANTI",
        "INFO  Scontrino %06u emesso: totale %u,%02u EUR, pagamento CARTA",
        "DEBUG Stampante fiscale: risposta %06u in %u,%02u ms",
        "WARN  Cassetto aperto senza vendita, operatore %06u, tentativo %u.%02u",
        "INFO  Articolo %06u venduto, quantita %u, reparto %02u",
    };
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    char text[200];
    const int length = std::snprintf(text, sizeof text, "2026-12-07 %02u:%02u:%02u.%03u [CASSA %u] ", 8 + line / 36000 % 12,
                                     line / 600 % 60, line / 10 % 60, next() % 1000, 1 + next() % 3);
    const int more = std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), kEvents[next() % 5],
                                   line * 7 % 1000000, next() % 200, next() % 100);
    return std::string(text, static_cast<std::size_t>(length + more)) + "\r\n";
}

// The files, written in small pieces so that making them leaves the working set as it was.
std::vector<std::wstring> MakeFiles(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> files;
    unsigned state = 12345;
    unsigned line = 0;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(folder + L"\\CASSA_" + std::to_wstring(i) + L".TXT");
        WIN32_FILE_ATTRIBUTE_DATA existing;
        if (GetFileAttributesExW(files.back().c_str(), GetFileExInfoStandard, &existing) &&
            existing.nFileSizeLow == kFileSize)
            continue;
        HANDLE file = CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::string piece;
        for (DWORD written = 0; written < kFileSize;) {
            while (piece.size() < 64 * 1024) piece += LogLine(state, line++);
            const DWORD count = std::min<DWORD>(static_cast<DWORD>(piece.size()), kFileSize - written);
            DWORD done = 0;
            WriteFile(file, piece.data(), count, &done, nullptr);
            written += count;
            piece.clear();
        }
        CloseHandle(file);
    }
    return files;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

// zlib's raw deflate at the packer's level over each file's bytes, the output dropped.
void DeflateAlone(const std::vector<std::string>& contents) {
    z_stream stream{};
    deflateInit2(&stream, kdesk::ZipWriter::kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> out(64 * 1024);
    for (const std::string& bytes : contents) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream.avail_in = static_cast<uInt>(bytes.size());
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, Z_FINISH);
        } while (stream.avail_out == 0);
        deflateReset(&stream);
    }
    deflateEnd(&stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zip_bench FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring outbox = folder + L"\\outbox";
    CreateDirectoryW(outbox.c_str(), nullptr);
    const kdesk::ArchiveRequest request{{outbox, true}, [](int attempt) { return kdesk::ArchiveFileName(L"bench", attempt); },
                                        MakeFiles(folder + L"\\files"), [] {}};

    // The first archive is measured for memory: nothing before it needed more.
    const SIZE_T before = WorkingSet(false);
    const kdesk::PackedArchive first = kdesk::PackFiles(request);
    const SIZE_T peak = WorkingSet(true);
    DeleteFileW(first.path.c_str());

    const double packTime = BestTime([&] { DeleteFileW(kdesk::PackFiles(request).path.c_str()); });
    std::vector<std::string> contents;
    for (const std::wstring& file : request.files) contents.push_back(ReadAll(file));
    const double deflateTime = BestTime([&] { DeflateAlone(contents); });

    const double input = static_cast<double>(kFiles) * kFileSize;
    std::printf("ZIP archive of %d x 5 MB log files: %.1f ms; zlib deflate alone (level %d, bytes in memory): %.1f ms; "
                "ratio %.2f (goal: at most 1.15)\n",
                kFiles, packTime, kdesk::ZipWriter::kLevel, deflateTime, packTime / deflateTime);
    std::printf("compression: %.1f MB to %.2f MB, %.1f to 1\n", input / 1e6, static_cast<double>(first.size) / 1e6,
                input / static_cast<double>(first.size));
    std::printf("working set: %.2f MiB before the archive, peak %.2f MiB: %.2f MiB above (goal: at most 2 MiB)\n",
                static_cast<double>(before) / 1048576.0, static_cast<double>(peak) / 1048576.0,
                static_cast<double>(peak - before) / 1048576.0);
    return 0;
}
