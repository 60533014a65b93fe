#pragma once
// Sends the waiting messages while the program runs, on a thread of its own:
// once at the start, then every 15 minutes, each message only once its pause
// after the last try is over. Nothing of it shows; the program may end at any
// time, and a message whose try is cut short simply waits on.
#include <functional>
#include <memory>
#include <string>

namespace kdesk {

class PendingWorker {
public:
    // `folderUrl` is asked on the worker thread before each round, never once this is gone.
    explicit PendingWorker(std::function<std::wstring()> folderUrl);
    ~PendingWorker();
    PendingWorker(const PendingWorker&) = delete;
    PendingWorker& operator=(const PendingWorker&) = delete;

    // Starts the thread; once only. Where no thread can be made, nothing is sent until the next start.
    void Start();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace kdesk
