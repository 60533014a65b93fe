#pragma once
// Placeholder: the in-memory runtime comes next. The test-facing members below
// are the agreed interface; their bodies are stubs until then.
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
                     const std::optional<std::wstring>& title) override {
        messages_.push_back({prompt, buttons, title});
        return MsgResult::Ok;
    }
    std::wstring Dir(const std::wstring&, std::uint32_t) override { return {}; }
    std::wstring DirNext() override { return {}; }
    std::optional<std::uint32_t> GetAttr(const std::wstring&) override { return std::nullopt; }
    std::unique_ptr<InputFile> OpenForInput(const std::wstring&) override {
        throw RuntimeError(kErrFileNotFound, L"File not found");
    }
    ProgramFacts Facts() override { return {}; }
    void DoEvents() override {
        if (onDoEvents) onDoEvents();
    }
    void EndProgram() override { ended_ = true; }
    std::string ToAnsi(const std::wstring&) override { return {}; }
    std::wstring FromAnsi(const std::string&) override { return {}; }
    LocalDateTime Now() override { return now_; }
    std::wstring FormatDateTime(const LocalDateTime&) override { return {}; }

    // File system (Windows paths, case-insensitive); parents are created as needed.
    void AddFolder(const std::wstring&) {}
    void AddFile(const std::wstring&, std::string = {}, std::uint32_t = kAttrArchive) {}
    void LockFile(const std::wstring&) {}  // opening it raises error 70
    void RemovePath(const std::wstring&) {}
    void SetOwnFolder(const std::wstring&) {}

    // Message boxes: each answer is used once, then OK.
    void QueueAnswer(MsgResult) {}
    const std::vector<ShownMessage>& Messages() const { return messages_; }

    void SetNow(const LocalDateTime& now) { now_ = now; }
    bool Ended() const { return ended_; }
    std::function<void()> onDoEvents;  // runs inside DoEvents, as a click arriving then would

private:
    std::vector<ShownMessage> messages_;
    LocalDateTime now_;
    bool ended_ = false;
};

}  // namespace kdesk
