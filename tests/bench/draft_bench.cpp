// Benchmark (not a test): writes a draft with ten attachments of 5 MB each
// into the outbox, against copying the same 50 MB of files, and against
// copying them and flushing each copy to disk as the draft is flushed, and
// prints the times and ratios (best of three), and how far the working set
// rose above what it was before the draft was written.
// Usage: draft_bench FOLDER   (the ten files are made there when missing)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/mail/draft/draft_outbox.h"
#include "platform/win32/win32_runtime.h"
#include "tests/bench/bench_measures.h"

namespace {

using kdesk::bench::BestTime;
using kdesk::bench::kRounds;
using kdesk::bench::WorkingSet;


constexpr int kFiles = 10;
constexpr DWORD kFileSize = 5 * 1024 * 1024;

// Files of pseudo-random bytes, written in small pieces so that making them
// leaves the working set as it was.
std::vector<std::wstring> MakeFiles(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> files;
    std::vector<unsigned char> piece(64 * 1024);
    unsigned state = 12345;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(folder + L"\\Diagnosi_" + std::to_wstring(i) + L".001");
        WIN32_FILE_ATTRIBUTE_DATA existing;
        if (GetFileAttributesExW(files.back().c_str(), GetFileExInfoStandard, &existing) &&
            existing.nFileSizeLow == kFileSize)
            continue;
        HANDLE file = CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        for (DWORD written = 0; written < kFileSize; written += static_cast<DWORD>(piece.size())) {
            for (auto& byte : piece) byte = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16);
            DWORD done = 0;
            WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr);
        }
        CloseHandle(file);
    }
    return files;
}

// Copies the files into `folder`, each copy flushed to disk when `flush`,
// and removes the copies again.
void CopyFiles(const std::vector<std::wstring>& files, const std::wstring& folder, bool flush) {
    for (const std::wstring& file : files) {
        const std::wstring target = folder + file.substr(file.find_last_of(L'\\'));
        CopyFileW(file.c_str(), target.c_str(), FALSE);
        if (!flush) continue;
        HANDLE copy = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (copy == INVALID_HANDLE_VALUE) continue;
        FlushFileBuffers(copy);
        CloseHandle(copy);
    }
    for (const std::wstring& file : files) DeleteFileW((folder + file.substr(file.find_last_of(L'\\'))).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: draft_bench FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    kdesk::Win32Runtime runtime;
    kdesk::DraftOutbox outbox(runtime);
    const kdesk::MailDraft draft{L"assistenza@example.com", L"Bench draft", L"Dati Cliente: prova\r\n",
                                 MakeFiles(folder + L"\\files")};

    // The first draft is measured for memory: nothing before it needed more.
    const SIZE_T before = WorkingSet(false);
    std::wstring written = outbox.Write(draft).path;
    const SIZE_T peak = WorkingSet(true);
    DeleteFileW(written.c_str());

    const double draftTime = BestTime([&] { DeleteFileW(outbox.Write(draft).path.c_str()); });
    const std::wstring copies = folder + L"\\copies";
    CreateDirectoryW(copies.c_str(), nullptr);
    // Like each draft, each round of copies makes new files.
    const double copyTime = BestTime([&] { CopyFiles(draft.files, copies, false); });
    const double flushedCopyTime = BestTime([&] { CopyFiles(draft.files, copies, true); });
    std::printf("draft of %d x 5 MB files: %.1f ms; copying them: %.1f ms; ratio %.2f (goal: at most 2)\n", kFiles,
                draftTime, copyTime, draftTime / copyTime);
    std::printf("copying them and flushing the copies to disk, as the draft is flushed: %.1f ms; ratio %.2f\n",
                flushedCopyTime, draftTime / flushedCopyTime);
    std::printf("working set: %.2f MiB before the draft, peak %.2f MiB: %.2f MiB above (goal: at most 2 MiB)\n",
                static_cast<double>(before) / 1048576.0, static_cast<double>(peak) / 1048576.0,
                static_cast<double>(peak - before) / 1048576.0);
    return 0;
}
