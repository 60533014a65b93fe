// Benchmark (not a test): the program's start-up as WinMain runs it, with a
// time stamp at each stage and at each window the thread creates, counted from
// the process's creation. Once the window is shown it appends one line of
// "label=milliseconds" pairs to the file named on its command line and ends.
// The shipped program carries none of this: the stamps live here and in a
// thread-local CBT hook. scripts/bench.sh --stages runs it and prints the medians.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"

namespace {

struct Stamp {
    std::wstring label;
    LONGLONG ticks;
};

std::vector<Stamp>& Stamps() {
    static std::vector<Stamp> stamps = [] {
        std::vector<Stamp> reserved;
        reserved.reserve(256);
        return reserved;
    }();
    return stamps;
}

void Mark(std::wstring label) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    Stamps().push_back({std::move(label), now.QuadPart});
}

std::wstring ClassOf(const CREATESTRUCTW& create) {
    if (IS_INTRESOURCE(create.lpszClass)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(create.lpszClass));
    return create.lpszClass;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
        Mark(L"create:" + ClassOf(*create));
    } else if (code == HCBT_ACTIVATE) {
        Mark(L"activate");
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Milliseconds from the process's creation to the performance-counter reading `ticks`.
double SinceCreation(LONGLONG ticks, LONGLONG originTicks, double originSinceCreationMs) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return originSinceCreationMs +
           static_cast<double>(ticks - originTicks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Report(const wchar_t* path, LONGLONG originTicks, double originSinceCreationMs) {
    FILE* out = _wfopen(path, L"a");
    if (!out) return;
    for (const Stamp& stamp : Stamps())
        std::fprintf(out, "%ls=%.2f ", stamp.label.c_str(), SinceCreation(stamp.ticks, originTicks, originSinceCreationMs));
    std::fprintf(out, "\n");
    std::fclose(out);
}

// The first reading, tied to the process's creation time.
double EntrySinceCreation(LONGLONG& originTicks) {
    FILETIME creation, exitTime, kernel, user, now;
    GetSystemTimePreciseAsFileTime(&now);
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    originTicks = ticks.QuadPart;
    GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user);
    const auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (value(now) - value(creation)) / 10000.0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    LONGLONG originTicks = 0;
    const double entry = EntrySinceCreation(originTicks);
    Stamps().push_back({L"entry", originTicks});
    HHOOK hook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());

    SetDllDirectoryW(L"");
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    kdesk::Program program(instance);
    Mark(L"services");
    program.Create();
    Mark(L"created");
    program.Load();
    Mark(L"loaded");
    program.Show(show);
    Mark(L"shown");
    // What the first paint leaves to the message queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Mark(L"idle");
    UnhookWindowsHookEx(hook);
    Report(commandLine, originTicks, entry);
    return 0;
}
