// Benchmark (not a test): starts programs in turn, round after round, and
// measures the time from process start to each one's first visible top-level
// window, and the process's peak working set a moment after that. Run for
// KdeskSupport.exe against the minimal window program, the program that makes
// the start-up's required system calls, and that program with the main
// window's controls, it prints the medians, the spread, and the ratios.
// Usage: startup_bench PROGRAM MINIMAL REQUIRED CONTROLS [RUNS] [FOLDER] [EARLIER]
//   FOLDER: the programs' working folder (default: the current one)
//   EARLIER: another build of the program, measured in the same rounds
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
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

// The value below which the given share of the values lie.
double Quantile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Subject {
    const wchar_t* label;
    std::wstring program;
    std::vector<double> times;
    std::vector<SIZE_T> peaks;
};

// Each round starts every subject once, beginning with a different one each
// round, so that a slow spell of the machine falls on all of them alike.
bool MeasureAlternately(std::span<Subject> subjects, const std::wstring& folder, int runs) {
    for (Subject& subject : subjects) StartOnce(subject.program, folder);  // warms the file cache, not counted
    for (int round = 0; round < runs; ++round) {
        for (std::size_t i = 0; i < subjects.size(); ++i) {
            Subject& subject = subjects[(i + static_cast<std::size_t>(round)) % subjects.size()];
            const auto run = StartOnce(subject.program, folder);
            if (!run) {
                std::fprintf(stderr, "%ls did not start or showed no window within %lu ms\n",
                             subject.program.c_str(), kWindowTimeoutMs);
                return false;
            }
            subject.times.push_back(run->startupMs);
            subject.peaks.push_back(run->peakWorkingSet);
        }
    }
    return true;
}

void PrintSubject(const Subject& subject) {
    std::printf("%-16ls %6.1f ms  (quartiles %.1f to %.1f, range %.1f to %.1f)  peak working set %.1f MiB\n",
                subject.label, Median(subject.times), Quantile(subject.times, 0.25), Quantile(subject.times, 0.75),
                Quantile(subject.times, 0.0), Quantile(subject.times, 1.0),
                static_cast<double>(Median(subject.peaks)) / (1024.0 * 1024.0));
}

// The ratio of the medians, and the quartiles of the ratios within each round.
void PrintRatio(const Subject& program, const Subject& baseline, const char* goal) {
    std::vector<double> perRound;
    for (std::size_t i = 0; i < program.times.size(); ++i) perRound.push_back(program.times[i] / baseline.times[i]);
    std::printf("ratio %ls / %ls: %.2f (per round: quartiles %.2f to %.2f)%s\n", program.label, baseline.label,
                Median(program.times) / Median(baseline.times), Quantile(perRound, 0.25), Quantile(perRound, 0.75),
                goal);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM MINIMAL REQUIRED CONTROLS [RUNS] [FOLDER] [EARLIER]\n");
        return 1;
    }
    const int runs = argc > 5 ? std::max(1, _wtoi(argv[5])) : 15;
    const std::wstring folder = argc > 6 ? argv[6] : L"";
    std::vector<Subject> subjects{{L"program", argv[1], {}, {}},
                                  {L"minimal", argv[2], {}, {}},
                                  {L"required-work", argv[3], {}, {}},
                                  {L"with-controls", argv[4], {}, {}}};
    if (argc > 7) subjects.push_back({L"earlier", argv[7], {}, {}});
    if (!MeasureAlternately(subjects, folder, runs)) return 2;
    std::printf("start-up, process start to window shown (median of %d alternated runs):\n", runs);
    for (const Subject& subject : subjects) PrintSubject(subject);
    PrintRatio(subjects[0], subjects[1], "");
    PrintRatio(subjects[0], subjects[2], " (goal: at most 1.25)");
    PrintRatio(subjects[2], subjects[1], "");
    PrintRatio(subjects[3], subjects[2], " (the controls alone)");
    PrintRatio(subjects[0], subjects[3], " (the program's work beyond its controls)");
    if (subjects.size() > 4) PrintRatio(subjects[0], subjects[4], "");
    return 0;
}
