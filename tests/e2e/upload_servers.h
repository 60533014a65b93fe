#pragma once
// The upload tests' servers as tests/upload/servers.sh leaves them: their
// folder, the URL or port each one wrote there, and the drop box's Maildir.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/upload_prefix.h"

namespace kdesk::e2e {

inline std::string ReadAll(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files (not folders) of a folder, in the order Windows lists them.
inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

inline std::wstring Servers(const std::wstring& name) { return UploadServersFolder() + L"\\" + name; }
inline std::wstring Url(const std::wstring& name) { return ServerFact(UploadServersFolder(), name); }
inline std::wstring InboxNew() { return Servers(L"inbox\\Maildir\\new"); }

// The files the main window lists now, copied for the check of the delivered messages' attachments.
inline void KeepListedFilesForTheCheck(HWND main) {
    const std::wstring expected = Servers(L"expected");
    CreateDirectoryW(expected.c_str(), nullptr);
    for (const std::wstring& file : ListEntries(MainControl(main, L"List1")))
        CopyFileW(file.c_str(), (expected + file.substr(file.find_last_of(L'\\'))).c_str(), FALSE);
}

}  // namespace kdesk::e2e
