// Benchmark (not a test): starts a program several times and measures the time
// from process start to its first visible top-level window, and the process's
// peak working set a moment after that. Run for KdeskSupport.exe and for the
// minimal window program, it prints the medians and their ratio.
// Usage: startup_bench PROGRAM BASELINE [RUNS] [FOLDER]
//   FOLDER: the programs' working folder (default: the current one)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kSettleMs = 500;  // lets the window finish its first paint before the memory is read

class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() {
        if (handle_) CloseHandle(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

double Milliseconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lp) {
    auto& search = *reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    search.found = true;
    return FALSE;
}

struct Run {
    double startupMs;
    SIZE_T peakWorkingSet;
};

std::optional<Run> StartOnce(const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Milliseconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return std::nullopt;
    OwnedHandle process(info.hProcess), thread(info.hThread);
    WindowSearch search{info.dwProcessId, false};
    while (!search.found && Milliseconds() - start < kWindowTimeoutMs) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(1);
    }
    const double shown = Milliseconds();
    Sleep(kSettleMs);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const bool measured = GetProcessMemoryInfo(process.get(), &counters, sizeof counters);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
    if (!search.found) return std::nullopt;
    return Run{shown - start, measured ? counters.PeakWorkingSetSize : 0};
}

template <typename T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    double startupMs;
    double peakMiB;
};

std::optional<Figures> Measure(const std::wstring& program, const std::wstring& folder, int runs) {
    std::vector<double> times;
    std::vector<SIZE_T> peaks;
    StartOnce(program, folder);  // warms the file cache and Wine's server, not counted
    for (int i = 0; i < runs; ++i) {
        const auto run = StartOnce(program, folder);
        if (!run) return std::nullopt;
        times.push_back(run->startupMs);
        peaks.push_back(run->peakWorkingSet);
    }
    return Figures{Median(times), static_cast<double>(Median(peaks)) / (1024.0 * 1024.0)};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM BASELINE [RUNS] [FOLDER]\n");
        return 1;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 9;
    const std::wstring folder = argc > 4 ? argv[4] : L"";
    const auto program = Measure(argv[1], folder, runs);
    const auto baseline = Measure(argv[2], folder, runs);
    if (!program || !baseline) {
        std::fprintf(stderr, "a program did not start or showed no window within %lu ms\n", kWindowTimeoutMs);
        return 2;
    }
    std::printf("start-up:    %.1f ms program, %.1f ms minimal window (median of %d)\n", program->startupMs,
                baseline->startupMs, runs);
    std::printf("ratio:       %.2f (goal: at most 1.20)\n", program->startupMs / baseline->startupMs);
    std::printf("peak working set: %.1f MiB program, %.1f MiB minimal window (goal: under 16 MiB)\n",
                program->peakMiB, baseline->peakMiB);
    return 0;
}
