#pragma once
// The one exception that crosses from a service into the logic: a run-time error
// with a 32-bit number and a description. Each operation catches its own.
#include <cstdint>
#include <exception>
#include <string>

namespace kdesk {

// Run-time error numbers the program raises itself.
inline constexpr std::int32_t kErrInvalidProcedureCall = 5;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrOutOfMemory = 7;
inline constexpr std::int32_t kErrOutOfStringSpace = 14;
inline constexpr std::int32_t kErrBadFileName = 52;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrDeviceIo = 57;
inline constexpr std::int32_t kErrInputPastEnd = 62;
inline constexpr std::int32_t kErrPermissionDenied = 70;
inline constexpr std::int32_t kErrDiskNotReady = 71;
inline constexpr std::int32_t kErrPathFileAccess = 75;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrCancel = 32755;  // the open-file dialog's cancel error

// The Italian description of one of the numbers above; empty text for any other.
std::wstring RuntimeErrorText(std::int32_t number);

class RuntimeError : public std::exception {
public:
    // A run-time error of the program's own, described as the table words it.
    explicit RuntimeError(std::int32_t number) : RuntimeError(number, RuntimeErrorText(number)) {}
    RuntimeError(std::int32_t number, std::wstring description)
        : number_(number), description_(std::move(description)) {}

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return "KdeskSupport run-time error"; }

private:
    std::int32_t number_;
    std::wstring description_;
};

}  // namespace kdesk
