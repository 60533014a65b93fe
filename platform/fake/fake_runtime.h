#pragma once
// In-memory runtime services with Windows semantics: a file system with
// case-insensitive paths, attributes and directory order (the order entries were
// added), volumes (drive C: and every drive or share something was added on;
// any other cannot be reached), recorded message boxes with queued answers, a
// settable clock, the Western ANSI code page and a fixed date format
// "dd/MM/yyyy HH:mm:ss".
#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "platform/runtime.h"
#include "platform/runtime_error.h"

namespace kdesk {

struct ShownMessage {
    std::wstring prompt;
    MsgButtons buttons = MsgButtons::Ok;
    std::optional<std::wstring> title;  // nullopt: the program title
};

class FakeRuntime : public Runtime {
public:
    // Runtime
    MsgResult MsgBox(const std::wstring& prompt, MsgButtons buttons,
                     const std::optional<std::wstring>& title) override;
    std::wstring Dir(const std::wstring& pattern, std::uint32_t mask) override;
    std::wstring DirNext() override;
    std::optional<std::uint32_t> GetAttr(const std::wstring& path) override;
    std::unique_ptr<InputFile> OpenForInput(const std::wstring& path) override;
    ProgramFacts Facts() override;
    void DoEvents() override;
    void EndProgram() override { ended_ = true; }
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    LocalDateTime Now() override { return now_; }
    std::wstring FormatDateTime(const LocalDateTime& when) override;

    // File system (Windows paths, "\" or "/", case-insensitive); parents are
    // created as needed. Adding an existing path replaces it in place.
    // extraAttributes may add hidden or system to a folder.
    void AddFolder(const std::wstring& path, std::uint32_t extraAttributes = 0);
    void AddFile(const std::wstring& path, std::string bytes = {}, std::uint32_t attributes = kAttrArchive);
    void LockFile(const std::wstring& path);  // opening it raises error 70
    void RemovePath(const std::wstring& path);  // with everything under it
    // Every access to the volume ("E:", "\\server\share") fails with this Win32
    // error from now on, as a drive without media (21) or a lost server (53).
    void SetVolumeFault(const std::wstring& root, std::uint32_t win32Error);
    void SetOwnFolder(const std::wstring& folder) { ownFolder_ = folder; }

    // Message boxes: each queued answer goes to the next OK/Cancel box, once;
    // then OK. An OK-only box always answers OK and leaves the queue alone.
    void QueueAnswer(MsgResult answer) { answers_.push_back(answer); }
    const std::vector<ShownMessage>& Messages() const { return messages_; }

    void SetNow(const LocalDateTime& now) { now_ = now; }
    bool Ended() const { return ended_; }
    int DoEventsCalls() const { return doEventsCalls_; }
    std::function<void()> onDoEvents;  // runs inside DoEvents, as a click arriving then would

private:
    struct Entry {
        std::wstring path;  // normalized: "\" separators, no trailing "\"
        std::uint32_t attributes = 0;
        std::string bytes;
        bool locked = false;
    };

    Entry* Find(const std::wstring& normalizedPath);
    Entry& Put(const std::wstring& normalizedPath, std::uint32_t attributes);
    void AddParents(const std::wstring& normalizedPath);
    std::vector<std::wstring> ListFolder(const std::wstring& folder, const std::wstring& namePattern,
                                         std::uint32_t mask);
    std::optional<std::uint32_t> VolumeFault(const std::wstring& path) const;
    void RaiseIfVolumeUnreachable(const std::wstring& path);

    std::vector<Entry> entries_{Entry{L"C:", kAttrDirectory, {}, false}};
    std::vector<std::pair<std::wstring, std::uint32_t>> volumeFaults_;  // normalized root, Win32 error
    std::vector<std::wstring> found_;
    std::size_t nextFound_ = 0;
    std::vector<ShownMessage> messages_;
    std::deque<MsgResult> answers_;
    std::wstring ownFolder_ = L"C:\\KdeskSupport";
    LocalDateTime now_{2024, 3, 15, 10, 20, 30};
    bool ended_ = false;
    int doEventsCalls_ = 0;
};

}  // namespace kdesk
