#pragma once
// The runtime services on Win32: message boxes, directory search, attribute
// query, file input, program facts, event processing, ANSI conversion through
// the ANSI code page, the clock and the user's date and time formats.
#include <windows.h>

#include "platform/runtime.h"
#include "platform/runtime_error.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {

class Win32Runtime : public Runtime {
public:
    Win32Runtime() = default;

    // Owner of the message boxes; without one they are modal to the whole thread.
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    MsgResult MsgBox(const std::wstring& prompt, MsgButtons buttons,
                     const std::optional<std::wstring>& title) override;
    std::wstring Dir(const std::wstring& pattern, std::uint32_t mask) override;
    std::wstring DirNext() override;
    std::optional<std::uint32_t> GetAttr(const std::wstring& path) override;
    std::unique_ptr<InputFile> OpenForInput(const std::wstring& path) override;
    ProgramFacts Facts() override;
    void DoEvents() override;
    void EndProgram() override;
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    LocalDateTime Now() override;
    std::wstring FormatDateTime(const LocalDateTime& when) override;

private:
    std::wstring NextListed(WIN32_FIND_DATAW& data);

    HWND mainWindow_ = nullptr;
    UniqueFindHandle search_;
    std::uint32_t searchMask_ = 0;
};

}  // namespace kdesk
