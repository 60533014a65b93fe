// Benchmark (not a test): starts programs in turn, round after round, and
// measures the time from process start to each one's first visible top-level
// window, and the process's peak working set a moment after that. Run for
// KdeskSupport.exe against the minimal window program, the program that makes
// the start-up's required system calls, and that program with the main
// window's controls, it prints the medians, the spread, and the ratios.
// With --pending it starts the program alone, in turns with an empty Pending
// folder and with 20 messages waiting there (the drop box it names being down),
// and also sends the window WM_NULL every few milliseconds while the program's
// worker tries the messages, to see whether the window keeps answering.
// Usage: startup_bench PROGRAM MINIMAL REQUIRED CONTROLS [RUNS] [FOLDER] [EARLIER]
//        startup_bench --pending PROGRAM [RUNS] [FOLDER]
//   FOLDER: the programs' working folder (default: the current one)
//   EARLIER: another build of the program, measured in the same rounds
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tests/bench/waiting_messages.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kSettleMs = 500;  // lets the window finish its first paint before the memory is read
constexpr DWORD kTriesTimeoutMs = 60000;
constexpr UINT kReplyTimeoutMs = 10000;
constexpr DWORD kProbePauseMs = 10;

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
    HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lp) {
    auto& search = *reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    search.found = true;
    search.window = window;
    return FALSE;
}

struct Run {
    double startupMs;
    SIZE_T peakWorkingSet;
    double firstReplyMs = 0;    // process start to the window's first answer to WM_NULL
    double slowestReplyMs = 0;  // the longest WM_NULL round trip after the first, while watched
    double watchedMs = 0;       // window shown to the end of the watch
};

// Until `over` says so (at least kSettleMs, at most kTriesTimeoutMs), sends the
// window WM_NULL every few milliseconds: the first answer comes once the window
// is painted and its message loop runs; the slowest after it shows how long
// the window ever kept the operator waiting.
void Watch(HWND window, double start, const std::function<bool()>& over, Run& run) {
    const double shown = start + run.startupMs;
    for (;;) {
        const double sent = Milliseconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kReplyTimeoutMs, &result);
        const double answered = Milliseconds();
        if (run.firstReplyMs == 0)
            run.firstReplyMs = answered - start;
        else
            run.slowestReplyMs = std::max(run.slowestReplyMs, answered - sent);
        run.watchedMs = answered - shown;
        if ((run.watchedMs >= kSettleMs && over()) || run.watchedMs >= kTriesTimeoutMs) return;
        Sleep(kProbePauseMs);
    }
}

std::optional<Run> StartOnce(const std::wstring& program, const std::wstring& folder,
                             const std::function<bool()>& watchUntil = nullptr) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Milliseconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return std::nullopt;
    OwnedHandle process(info.hProcess), thread(info.hThread);
    WindowSearch search{info.dwProcessId, false, nullptr};
    while (!search.found && Milliseconds() - start < kWindowTimeoutMs) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(1);
    }
    Run run{Milliseconds() - start, 0};
    if (search.found && watchUntil)
        Watch(search.window, start, watchUntil, run);
    else
        Sleep(kSettleMs);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
        run.peakWorkingSet = counters.PeakWorkingSetSize;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
    if (!search.found) return std::nullopt;
    return run;
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
    std::function<bool()> prepare = nullptr;     // before each start: false when it could not
    std::function<bool()> watchUntil = nullptr;  // while the window is watched; none: not watched
    std::function<void()> measured = nullptr;    // after each counted start
    std::vector<Run> runs = {};
};

// Each round starts every subject once, beginning with a different one each
// round, so that a slow spell of the machine falls on all of them alike.
bool MeasureAlternately(std::span<Subject> subjects, const std::wstring& folder, int runs) {
    for (int round = -1; round < runs; ++round) {  // round -1 warms the file cache and is not counted
        for (std::size_t i = 0; i < subjects.size(); ++i) {
            Subject& subject = subjects[(i + static_cast<std::size_t>(std::max(round, 0))) % subjects.size()];
            if (subject.prepare && !subject.prepare()) {
                std::fprintf(stderr, "%ls: its start could not be prepared\n", subject.label);
                return false;
            }
            const auto run = StartOnce(subject.program, folder, subject.watchUntil);
            if (!run) {
                std::fprintf(stderr, "%ls did not start or showed no window within %lu ms\n",
                             subject.program.c_str(), kWindowTimeoutMs);
                return false;
            }
            if (round < 0) continue;
            subject.times.push_back(run->startupMs);
            subject.peaks.push_back(run->peakWorkingSet);
            subject.runs.push_back(*run);
            if (subject.measured) subject.measured();
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

template <typename Field>
std::vector<double> Each(const Subject& subject, Field field) {
    std::vector<double> values;
    for (const Run& run : subject.runs) values.push_back(run.*field);
    return values;
}

void PrintWatch(const Subject& subject) {
    const std::vector<double> firstReplies = Each(subject, &Run::firstReplyMs);
    const std::vector<double> slowest = Each(subject, &Run::slowestReplyMs);
    const std::vector<double> watched = Each(subject, &Run::watchedMs);
    std::printf("%-16ls first answer to WM_NULL %.1f ms after the start (median); watched %.0f ms after the window "
                "showed (median, range %.0f to %.0f): slowest WM_NULL round trip after the first %.1f ms (median of "
                "the runs), %.1f ms at worst\n",
                subject.label, Median(firstReplies), Median(watched), Quantile(watched, 0.0), Quantile(watched, 1.0),
                Median(slowest), Quantile(slowest, 1.0));
}

// The program started with its Pending folder empty, and with messages waiting
// there for a drop box that is down, in turns; the window is watched until the
// worker has tried them all.
int ComparePending(const std::wstring& program, int runs, const std::wstring& folder) {
    using kdesk::bench::kWaitingMessages;
    const std::wstring pending = kdesk::bench::UserPendingFolder();
    if (pending.empty()) {
        std::fprintf(stderr, "startup_bench: no %%LOCALAPPDATA%% for the Pending folder\n");
        return 2;
    }
    kdesk::bench::WaitingMessages waiting(pending);
    std::vector<double> tried, left;
    std::vector<Subject> subjects{
        {L"none waiting", program, {}, {}, [&] { return waiting.Empty(); }, [] { return true; }},
        {L"20 waiting", program, {}, {}, [&] { return waiting.Restore(); },
         [&] { return waiting.RecordsRewritten() >= kWaitingMessages; },
         [&] {
             tried.push_back(waiting.TriesLogged());
             left.push_back(waiting.MessagesLeft());
         }}};
    const bool measured = MeasureAlternately(subjects, folder, runs);
    waiting.Empty();
    if (!measured) return 2;
    std::printf("start-up with the drop box down, process start to window shown (median of %d alternated runs):\n",
                runs);
    for (const Subject& subject : subjects) PrintSubject(subject);
    PrintRatio(subjects[1], subjects[0], " (goal: at most 1.05)");
    for (const Subject& subject : subjects) PrintWatch(subject);
    std::printf("ratio of the first answers, 20 waiting / none waiting: %.2f\n",
                Median(Each(subjects[1], &Run::firstReplyMs)) / Median(Each(subjects[0], &Run::firstReplyMs)));
    std::printf("tries logged per start: %.0f to %.0f of %d; messages still waiting after it: %.0f to %.0f\n",
                Quantile(tried, 0.0), Quantile(tried, 1.0), kWaitingMessages, Quantile(left, 0.0),
                Quantile(left, 1.0));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring_view(argv[1]) == L"--pending")
        return ComparePending(argv[2], argc > 3 ? std::max(1, _wtoi(argv[3])) : 15, argc > 4 ? argv[4] : L"");
    if (argc < 5) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM MINIMAL REQUIRED CONTROLS [RUNS] [FOLDER] [EARLIER]\n"
                             "       startup_bench --pending PROGRAM [RUNS] [FOLDER]\n");
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
