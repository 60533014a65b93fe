// The fixture of the e2e tests that send: a prepared installation with the
// recording provider as the default mail client and the draft catcher as the
// program for .eml files, the program started on it
// with the customer's details and a message typed in, and the message boxes of
// a send answered in turn.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "build_facts.h"
#include "tests/e2e/drafts.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"

namespace kdesk::e2e {

inline const std::wstring kConfirmQuestion = L"Confermi trasmissione del messaggio ?";
// The lines every report ends with.
inline const std::wstring kReportClosing =
    L"\r\n\r\nCordiali saluti\r\nV.E.L. Vuvivazoror snc\r\n\r\n" KDESK_SUPPORT_MAILBOX_TEXT;

// A window handle as the recording provider writes it.
std::string HandleText(HWND window);

struct ShownBox {
    std::wstring prompt;
    std::wstring title;
};

class MailSessionE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    // Port 1, a serial number, one text file, the Ditron driver.
    void SetUp() override;
    // Closes the program and waits for its end.
    void TearDown() override;

    void Start(const std::wstring& customer, const std::wstring& message, const std::wstring& exe = ProgramPath());

    // Presses "Trasmetti EMail" and answers the boxes (see AnswerBoxes).
    std::vector<ShownBox> PressSend(int answer, size_t expected,
                                    std::chrono::milliseconds quiet = std::chrono::milliseconds(600));
    // Answers every box, the question with `answer` and the others with OK:
    // waits long for each of the `expected` boxes, then `quiet` for more.
    std::vector<ShownBox> AnswerBoxes(int answer, size_t expected,
                                      std::chrono::milliseconds quiet = std::chrono::milliseconds(600));

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    const std::wstring app = pos->Scratch() + L"\\Kdesk";
    const std::wstring data = pos->Scratch() + L"\\Scambio";
    const std::unique_ptr<CaughtDrafts> drafts = std::make_unique<CaughtDrafts>(pos->Scratch() + L"\\Bozze");
    std::unique_ptr<RunningProgram> program;
    HWND main = nullptr;
};

}  // namespace kdesk::e2e
