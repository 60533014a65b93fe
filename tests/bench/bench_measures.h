#pragma once
// What the benchmark programs measure with: a clock in milliseconds, the best
// of a few rounds, and the process's working set.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <functional>

namespace kdesk::bench {

inline constexpr int kRounds = 3;

inline double Milliseconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The shortest of kRounds runs, in milliseconds.
inline double BestTime(const std::function<void()>& work) {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const double start = Milliseconds();
        work();
        best = std::min(best, Milliseconds() - start);
    }
    return best;
}

// The working set now, or its peak so far.
inline SIZE_T WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

}  // namespace kdesk::bench
