#pragma once
// The user's Pending folder made ready for one start of the program: empty, or
// holding kWaitingMessages messages as the program keeps them (the upload name,
// the record of the tries beside each) whose last try is a day old, so that
// the program's worker tries every one of them once its window shows.
#include <windows.h>

#include <string>

namespace kdesk::bench {

inline constexpr int kWaitingMessages = 20;

// %LOCALAPPDATA%\KdeskSupport\Pending, created when missing; empty when it cannot be found.
std::wstring UserPendingFolder();

class WaitingMessages {
public:
    explicit WaitingMessages(std::wstring folder);

    // Removes every file in the folder; false when one stays.
    bool Empty() const;
    // Empty, then the messages and their records, as if tried once a day ago.
    bool Restore();
    // The records the program wrote since the last Restore: one per failed try.
    // Only the folder is read, so that no file the program replaces is held open.
    int RecordsRewritten() const;
    // The tries the program logged since the last Empty or Restore (lines of invii.log).
    int TriesLogged() const;
    // The messages that still wait.
    int MessagesLeft() const;

private:
    std::wstring folder_;
    std::string message_;
    FILETIME restored_{};
};

}  // namespace kdesk::bench
