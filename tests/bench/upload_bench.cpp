// Benchmark (not a test): uploads a message with four 5 MB attachments (about
// 27 MB once base64-encoded) to the drop box, and prints the time of the
// transfer alone (UploadFileUnseen, as a later try makes it), the time of the whole
// UploadFile (window and worker thread included), the message's size for the
// script's `curl -T` of the same bytes, and how far the working set rose above
// what it was before the upload. Best of three each. The floor is the most
// direct WinHTTP PUT of the same file: one session, connection and request,
// 64 KiB pieces, no proxy look-up, no options; the transfer and the floor take
// turns, and the working set of a later upload of each is measured alike.
// Usage: upload_bench FOLDER_URL WORK_FOLDER CA.der [FILES]   (the CA is added
// to the machine's Root store first; the message, with FILES attachments of
// 5 MB, four unless given, is made in WORK_FOLDER)
#include <windows.h>

#include <wincrypt.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/portable/eml_writer.h"
#include "platform/win32/mail/upload/https_upload.h"
#include "platform/win32/mail/upload/upload_transfer.h"
#include "platform/win32/win32_runtime_handles.h"
#include "tests/bench/bench_measures.h"

namespace {

using kdesk::bench::BestTime;
using kdesk::bench::WorkingSet;

constexpr std::size_t kFileSize = 5'000'000;

bool TrustCa(const std::wstring& derPath) {
    kdesk::UniqueFileHandle file(
        CreateFileW(derPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<BYTE> der(16384);
    DWORD read = 0;
    if (!file.Valid() || !ReadFile(file.Get(), der.data(), static_cast<DWORD>(der.size()), &read, nullptr))
        return false;
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!root) return false;
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), read,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    return added;
}

// The message as the program writes it: headers, a note, base64 attachments.
std::wstring MakeMessage(const std::wstring& folder, int files) {
    const std::wstring path = folder + L"\\upload_bench.eml";
    kdesk::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    kdesk::EmlWriter writer(
        [&](std::string_view bytes) {
            DWORD done = 0;
            WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        },
        kdesk::DraftBoundary(42));
    writer.Begin(L"assistenza@example.com", L"Upload bench", "Tue, 08 Dec 2026 08:00:00 +0100", L"Dati Cliente\r\n");
    std::vector<std::uint8_t> piece(64 * 1024);
    unsigned state = 12345;
    for (int i = 0; i < files; ++i) {
        writer.BeginAttachment(L"Diagnosi_" + std::to_wstring(i) + L".001");
        for (std::size_t done = 0; done < kFileSize; done += piece.size()) {
            for (auto& byte : piece) byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 16);
            writer.AttachmentBytes({piece.data(), std::min(piece.size(), kFileSize - done)});
        }
        writer.EndAttachment();
    }
    writer.End();
    return path;
}

// A name of the drop box's shape, new at each call.
std::wstring NextUrl(const std::wstring& folderUrl) {
    static unsigned counter = 0;
    wchar_t hex[33];
    std::swprintf(hex, 33, L"%016llx%08lx%08x", static_cast<unsigned long long>(GetTickCount64()),
                  GetCurrentProcessId(), ++counter);
    return folderUrl + L"upload_bench_" + hex + L".eml";
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The transfer alone, as a later try of a waiting message makes it (no window,
// its worker thread watched for a stall); false when the server did not store it.
bool Transfer(const std::wstring& url, const std::wstring& path) {
    try {
        kdesk::UploadFileUnseen(url, path);
        return true;
    } catch (const kdesk::RuntimeError& error) {
        std::fprintf(stderr, "upload_bench: %ls - %d\n", error.Description().c_str(), error.Number());
        return false;
    }
}

// The floor: the fewest WinHTTP calls that PUT the file to the server.
bool FloorTransfer(const std::wstring& url, const std::wstring& path) {
    static const auto api = kdesk::WinHttp::Load();
    const kdesk::UploadTarget target = kdesk::HttpsTarget(*api, url);
    const kdesk::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    const auto size = static_cast<DWORD>(FileSize(path));
    const kdesk::InternetHandle session(
        api, api->open(L"floor", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    const kdesk::InternetHandle connection(api, api->connect(session.Get(), target.host.c_str(), target.port, 0));
    const kdesk::InternetHandle request(api, api->openRequest(connection.Get(), L"PUT", target.path.c_str(), nullptr,
                                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                              WINHTTP_FLAG_SECURE));
    if (!request || !api->sendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, size, 0))
        return false;
    std::vector<char> piece(64 * 1024);
    DWORD read = 0;
    while (ReadFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr) && read > 0) {
        DWORD written = 0;
        if (!api->writeData(request.Get(), piece.data(), read, &written)) return false;
    }
    DWORD status = 0;
    DWORD length = sizeof status;
    return api->receiveResponse(request.Get(), nullptr) &&
           api->queryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &length, WINHTTP_NO_HEADER_INDEX) &&
           status >= 200 && status < 300;
}

struct Sampler {
    std::atomic<bool> done{false};
    std::atomic<SIZE_T> peak{0};
};

DWORD WINAPI Sample(void* parameter) {
    auto& sampler = *static_cast<Sampler*>(parameter);
    while (!sampler.done) {
        const SIZE_T now = WorkingSet(false);
        if (now > sampler.peak) sampler.peak = now;
        Sleep(5);
    }
    return 0;
}

DWORD WINAPI RunWork(void* parameter) {
    (*static_cast<const std::function<void()>*>(parameter))();
    return 0;
}

// `work` on a thread of its own, as a later try's transfer runs.
void OnNewThread(const std::function<void()>& work) {
    const kdesk::UniqueFileHandle thread(
        CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr));
    if (thread.Valid()) WaitForSingleObject(thread.Get(), INFINITE);
}

// The largest working set seen while `work` runs, sampled every few milliseconds.
SIZE_T PeakDuring(const std::function<void()>& work) {
    Sampler sampler;
    sampler.peak = WorkingSet(false);
    const kdesk::UniqueFileHandle thread(CreateThread(nullptr, 0, Sample, &sampler, 0, nullptr));
    work();
    sampler.done = true;
    WaitForSingleObject(thread.Get(), INFINITE);
    return sampler.peak;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: upload_bench FOLDER_URL WORK_FOLDER CA.der [FILES]\n");
        return 2;
    }
    const std::wstring folderUrl = argv[1];
    if (!TrustCa(argv[3])) std::fprintf(stderr, "upload_bench: the CA could not be trusted\n");
    const int files = argc > 4 ? std::max(1, _wtoi(argv[4])) : 4;
    const std::wstring message = MakeMessage(argv[2], files);
    bool stored = true;

    // The first transfer loads WinHTTP and TLS; a later one shows what an upload itself takes.
    const SIZE_T before = WorkingSet(false);
    const SIZE_T peak = PeakDuring([&] { stored = Transfer(NextUrl(folderUrl), message) && stored; });
    // A later transfer before the floor has ever run: nothing but the
    // program's own code keeps WinHTTP loaded between the two.
    const SIZE_T aloneBefore = WorkingSet(false);
    const SIZE_T alonePeak = PeakDuring([&] { stored = Transfer(NextUrl(folderUrl), message) && stored; });
    stored = FloorTransfer(NextUrl(folderUrl), message) && stored;
    // Later uploads, the transfer and the floor in turn: the largest rise of
    // each, and the best time of each.
    SIZE_T warmBefore = 0, warmPeak = 0, growth = 0, floorGrowth = 0, threadFloorGrowth = 0;
    double transferTime = 1e300, floorTime = 1e300;
    for (int round = 0; round < kdesk::bench::kRounds; ++round) {
        const SIZE_T start = WorkingSet(false);
        const SIZE_T top = PeakDuring([&] { stored = Transfer(NextUrl(folderUrl), message) && stored; });
        if (top - start >= growth) std::tie(growth, warmBefore, warmPeak) = std::tuple(top - start, start, top);
        const SIZE_T floorStart = WorkingSet(false);
        const SIZE_T floorTop = PeakDuring([&] { stored = FloorTransfer(NextUrl(folderUrl), message) && stored; });
        floorGrowth = std::max(floorGrowth, floorTop - floorStart);
        const SIZE_T threadStart = WorkingSet(false);
        const SIZE_T threadTop = PeakDuring(
            [&] { OnNewThread([&] { stored = FloorTransfer(NextUrl(folderUrl), message) && stored; }); });
        threadFloorGrowth = std::max(threadFloorGrowth, threadTop - threadStart);
    }
    for (int round = 0; round < 11; ++round) {
        double start = kdesk::bench::Milliseconds();
        stored = Transfer(NextUrl(folderUrl), message) && stored;
        transferTime = std::min(transferTime, kdesk::bench::Milliseconds() - start);
        start = kdesk::bench::Milliseconds();
        stored = FloorTransfer(NextUrl(folderUrl), message) && stored;
        floorTime = std::min(floorTime, kdesk::bench::Milliseconds() - start);
    }

    HWND owner = CreateWindowExW(0, L"Static", L"upload_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
    const double windowTime = BestTime([&] {
        try {
            const auto result = kdesk::UploadFile(owner, NextUrl(folderUrl), message);
            stored = result == kdesk::UploadResult::Delivered && stored;
        } catch (const kdesk::RuntimeError& error) {
            std::fprintf(stderr, "upload_bench: %ls - %d\n", error.Description().c_str(), error.Number());
            stored = false;
        }
    });
    DestroyWindow(owner);

    std::printf("message: %llu bytes (%d x 5 MB attachments)\n", static_cast<unsigned long long>(FileSize(message)),
                files);
    std::printf("transfer: %.1f ms\n", transferTime);
    std::printf("UploadFile with its window: %.1f ms\n", windowTime);
    std::printf("working set, first upload (loads WinHTTP and TLS): %.2f MiB before, peak %.2f MiB: %.2f MiB above\n",
                static_cast<double>(before) / 1048576.0, static_cast<double>(peak) / 1048576.0,
                static_cast<double>(peak - before) / 1048576.0);
    std::printf("working set, a later upload: %.2f MiB before, peak %.2f MiB: %.2f MiB above (goal: at most 2 MiB)\n",
                static_cast<double>(warmBefore) / 1048576.0, static_cast<double>(warmPeak) / 1048576.0,
                static_cast<double>(growth) / 1048576.0);
    std::printf("working set, the second upload, before the floor's first: %.2f MiB above\n",
                static_cast<double>(alonePeak - aloneBefore) / 1048576.0);
    std::printf("floor (direct WinHTTP PUT): %.1f ms; working set, a later upload: %.2f MiB above\n", floorTime,
                static_cast<double>(floorGrowth) / 1048576.0);
    std::printf("floor on a thread of its own, as the transfer runs: working set, a later upload: %.2f MiB above\n",
                static_cast<double>(threadFloorGrowth) / 1048576.0);
    std::printf("ratio, transfer / floor: %.2f (goal: at most 1.2); working set above the floor's: %.2f MiB "
                "(goal: at most 1 MiB)\n",
                transferTime / floorTime, (static_cast<double>(growth) - static_cast<double>(floorGrowth)) / 1048576.0);
    std::printf("every upload stored: %s\n", stored ? "yes" : "NO");
    std::printf("message file: %ls\n", message.c_str());
    return stored ? 0 : 1;
}
