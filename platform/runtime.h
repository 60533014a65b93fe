#pragma once
// Runtime services shared by most operations: message boxes, directory search,
// attribute query, sequential text input, program facts, event processing,
// ending the program, ANSI conversion, the clock and locale date formatting.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kdesk {

enum class MsgButtons { Ok, OkCancel };
enum class MsgResult { Ok, Cancel };

// File attribute bits, as the platform reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

// Directory search masks.
inline constexpr std::uint32_t kDirOrdinaryFiles = 0;
inline constexpr std::uint32_t kDirWithFolders = kAttrDirectory;

struct LocalDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

struct ProgramFacts {
    std::wstring ownFolder;  // without trailing backslash
    std::wstring title;
    std::int16_t major = 0, minor = 0, revision = 0;
    std::wstring description;
};

// A file opened for sequential input. Read returns the number of bytes read,
// 0 at the end; a read failure raises RuntimeError.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class Runtime {
public:
    virtual ~Runtime() = default;

    // Modal box without icon. No title means the program title; an empty title
    // gives an empty title bar. Closing the box counts as Cancel.
    virtual MsgResult MsgBox(const std::wstring& prompt, MsgButtons buttons,
                             const std::optional<std::wstring>& title = std::nullopt) = 0;

    // Starts a directory search; returns the first matching name (without folder)
    // or empty text. Mask 0: ordinary files only; mask 16: folders too. A folder
    // that does not exist finds nothing; a volume that cannot be reached raises
    // RuntimeError 71 (drive not ready) or 52 (drive, server or share).
    virtual std::wstring Dir(const std::wstring& pattern, std::uint32_t mask) = 0;
    // Next name of the current search, empty text when there is none.
    virtual std::wstring DirNext() = 0;

    // Attribute bits of a path; nullopt when the path does not exist.
    virtual std::optional<std::uint32_t> GetAttr(const std::wstring& path) = 0;

    // Opens a file for sequential input; raises RuntimeError when it cannot.
    virtual std::unique_ptr<InputFile> OpenForInput(const std::wstring& path) = 0;

    virtual ProgramFacts Facts() = 0;

    // Lets the window system handle the events that are pending.
    virtual void DoEvents() = 0;
    // Ends the program at once; the caller returns right after.
    virtual void EndProgram() = 0;

    virtual std::string ToAnsi(const std::wstring& text) = 0;
    virtual std::wstring FromAnsi(const std::string& bytes) = 0;

    // Local date and time, taken in one reading.
    virtual LocalDateTime Now() = 0;
    // The user's locale short date and time; the date alone at exactly midnight.
    virtual std::wstring FormatDateTime(const LocalDateTime& when) = 0;
};

}  // namespace kdesk
