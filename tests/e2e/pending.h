#pragma once
// The messages that wait to be uploaded, as the e2e tests see them in the
// prefix: the Pending folder beside the outbox, its messages, records and log,
// the run that only sends them (/invia-sospesi).
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace kdesk::e2e {

// %LOCALAPPDATA%\KdeskSupport\Pending, and the outbox beside it
std::wstring PendingFolder();
std::wstring OutboxFolder();
// The waiting messages' names.
std::vector<std::wstring> WaitingMessages();
// Pending\invii.log as it stands.
std::string PendingLog();
// Removes every file of the folder, so that tests sharing the prefix do not see each other's.
void ClearPending();
// Makes the waiting messages due inside the program: their last try long ago.
void PutLastTriesBack();

// Runs the program with /invia-sospesi and waits for its end; its exit code, or 99 on timeout.
DWORD RunSendWaiting(std::chrono::milliseconds timeout = std::chrono::seconds(150));

}  // namespace kdesk::e2e
