#pragma once
// Test side of the recording Simple MAPI provider: registers it as the default
// mail client of the Wine prefix, points it at a fresh record file, tells it
// which call to fail, and reads back what it recorded.
#include <windows.h>

#include <string>
#include <vector>

namespace kdesk::mapitest {

// Makes the provider beside this program the default mail client (HKLM, in
// this process's registry view). Returns false when the registry refused.
bool RegisterRecordingProvider();

struct RecordedCall {
    std::string function;           // "MAPILogon", "MAPISendMailW", ...
    std::string header;             // the rest of the first line
    std::vector<std::string> lines; // the following lines, without their indent

    // Value of "key=" in the header or at the start of a line; empty when absent.
    std::string Value(const std::string& key) const;
    // All lines that start with the given word, e.g. "file".
    std::vector<std::string> LinesStartingWith(const std::string& word) const;
};

// A fresh record file for one test, named to the provider through the
// environment that this process and the programs it starts pass on.
class Recording {
public:
    explicit Recording(const std::wstring& name);
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // "MAPIResolveName=14": the named call returns that code; empty text: none fails.
    void FailCall(const std::wstring& functionAndCode);
    std::vector<RecordedCall> Calls() const;
    std::vector<std::string> Functions() const;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The bytes of a recorded hex field.
std::string FromHex(const std::string& hex);
// UTF-16LE bytes of a text, as MAPISendMailW receives it.
std::string Utf16Bytes(const std::wstring& text);
std::string Utf8(const std::wstring& text);
// A text as the provider writes it: UTF-8 with backslash, CR and LF escaped.
std::string Recorded(const std::wstring& text);
std::wstring ProgramFolder();

}  // namespace kdesk::mapitest
