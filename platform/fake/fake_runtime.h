#pragma once
// Placeholder: the in-memory runtime (file system, message boxes, clock) comes next.
#include "platform/runtime.h"
#include "platform/runtime_error.h"

namespace kdesk {

class FakeRuntime : public Runtime {
public:
    MsgResult MsgBox(const std::wstring&, MsgButtons, const std::optional<std::wstring>&) override {
        return MsgResult::Ok;
    }
    std::wstring Dir(const std::wstring&, std::uint32_t) override { return {}; }
    std::wstring DirNext() override { return {}; }
    std::optional<std::uint32_t> GetAttr(const std::wstring&) override { return std::nullopt; }
    std::unique_ptr<InputFile> OpenForInput(const std::wstring&) override {
        throw RuntimeError(kErrFileNotFound, L"File not found");
    }
    ProgramFacts Facts() override { return {}; }
    void DoEvents() override {}
    void EndProgram() override {}
    std::string ToAnsi(const std::wstring&) override { return {}; }
    std::wstring FromAnsi(const std::string&) override { return {}; }
    LocalDateTime Now() override { return {}; }
    std::wstring FormatDateTime(const LocalDateTime&) override { return {}; }
};

}  // namespace kdesk
