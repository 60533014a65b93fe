// Reads every PE file of the system folder (and its subfolders) through
// version.dll and through the portable reader, and reports every difference.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/version/both_readers.h"
#include "tests/version/system_facts.h"
// After the service headers: <windows.h> renames some of their method names.
#include <windows.h>

#include "tests/version/scoped_handles.h"

namespace kdesk::test {
namespace {

struct Tally {
    int compared = 0;
    int withStrings = 0;
    int differing = 0;
};

void CompareFile(const std::wstring& path, Tally& tally) {
    auto bytes = ReadFileBytes(path);
    if (!bytes || !IsPeImage(*bytes)) return;
    const VersionReading dll = ReadWithVersionDll(path);
    const VersionReading portable = ReadWithPortableReader(path);
    ++tally.compared;
    tally.withStrings += dll.result == 1;
    if (dll == portable) return;
    ++tally.differing;
    std::printf("DIFFERENT %s\n  version.dll: %s\n  portable:    %s\n", Narrow(path).c_str(), Describe(dll).c_str(),
                Describe(portable).c_str());
}

void CompareFolder(const std::wstring& folder, int depth, Tally& tally) {
    WIN32_FIND_DATAW found{};
    ScopedFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search.valid()) return;
    std::vector<std::wstring> subfolders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subfolders.push_back(folder + L"\\" + name);
        } else {
            CompareFile(folder + L"\\" + name, tally);
        }
    } while (FindNextFileW(search.get(), &found));
    if (depth > 0)
        for (const std::wstring& subfolder : subfolders) CompareFolder(subfolder, depth - 1, tally);
}

}  // namespace
}  // namespace kdesk::test

int wmain() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    kdesk::test::Tally tally;
    kdesk::test::CompareFolder(std::wstring(system, length), 3, tally);
    std::printf("%d PE files compared in %s, %d with all eight strings, %d different\n", tally.compared,
                kdesk::test::Narrow(system).c_str(), tally.withStrings, tally.differing);
    // A folder that yields only a handful of files means the search itself failed.
    return tally.compared >= 100 && tally.differing == 0 ? 0 : 1;
}
