#pragma once
// The draft side of the e2e tests: a stand-in mail program registered for .eml
// files that catches every draft it is given, the mail client or the .eml
// program taken away for one test, and the caught drafts kept, with what they
// should hold, for the MIME check that Python's email package runs afterwards.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace kdesk::e2e {

// The catcher beside the test program opens .eml files (Wine reads file
// associations from HKLM\Software\Classes only).
bool RegisterEmlCatcher();

// Drafts caught during one test: KDESK_EML_CATCH names a fresh folder that the
// program and the catcher it starts inherit.
class CaughtDrafts {
public:
    explicit CaughtDrafts(std::wstring folder);
    ~CaughtDrafts();
    CaughtDrafts(const CaughtDrafts&) = delete;
    CaughtDrafts& operator=(const CaughtDrafts&) = delete;

    std::vector<std::wstring> Files() const;
    // The first caught draft; empty text when none came in time.
    std::wstring WaitForOne(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    std::wstring folder_;
};

// HKLM\Software\Clients\Mail names no client, or a client with the given DLL,
// until the object goes; then the recording provider is the client again.
class MailClientForTest {
public:
    explicit MailClientForTest(const std::wstring& dll = {});
    ~MailClientForTest();
    MailClientForTest(const MailClientForTest&) = delete;
    MailClientForTest& operator=(const MailClientForTest&) = delete;
};

// No program opens .eml files until the object goes.
class NoEmlProgram {
public:
    NoEmlProgram();
    ~NoEmlProgram();
    NoEmlProgram(const NoEmlProgram&) = delete;
    NoEmlProgram& operator=(const NoEmlProgram&) = delete;
};

// A stand-in new Outlook: the catcher copied to FOLDER\olk.exe and registered
// under App Paths until the object goes.
class NewOutlookForTest {
public:
    explicit NewOutlookForTest(const std::wstring& folder);
    ~NewOutlookForTest();
    NewOutlookForTest(const NewOutlookForTest&) = delete;
    NewOutlookForTest& operator=(const NewOutlookForTest&) = delete;
};

struct ExpectedDraft {
    std::wstring to;
    std::wstring subjectPattern;  // a regular expression the whole subject matches
    std::wstring body;
    std::vector<std::wstring> files;  // attached in this order, compared byte for byte
    std::vector<std::wstring> archived = {};  // files the one ZIP attachment holds, in this order
};

// Copies a caught draft to the build's drafts folder as NAME.eml, with NAME.json
// holding what it should hold (the files' names and bytes read now).
void KeepForMimeCheck(const std::wstring& draft, const std::string& name, const ExpectedDraft& expected);

// Copies an archive the program sent to the build's drafts folder as NAME.zip,
// with NAME.json naming the files it should hold, for the same check.
void KeepArchiveForCheck(const std::wstring& archive, const std::string& name, const std::vector<std::wstring>& files);

// The machine type that a 32-bit program has when this one is 64-bit, and the reverse.
WORD OtherMachine();
// A file with just the headers of a PE image built for `machine`.
std::string PeHeadersFor(WORD machine);

}  // namespace kdesk::e2e
