#pragma once
// The one exception that crosses from a service into the logic: a run-time error
// with a 32-bit number and a description. Each operation catches its own.
#include <cstdint>
#include <exception>
#include <string>

namespace kdesk {

class RuntimeError : public std::exception {
public:
    RuntimeError(std::int32_t number, std::wstring description)
        : number_(number), description_(std::move(description)) {}

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return "KdeskSupport run-time error"; }

private:
    std::int32_t number_;
    std::wstring description_;
};

// Run-time error numbers the logic raises itself.
inline constexpr std::int32_t kErrInvalidProcedureCall = 5;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrPermissionDenied = 70;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrInputPastEnd = 62;
inline constexpr std::int32_t kErrDeviceIo = 57;
inline constexpr std::int32_t kErrCancel = 32755;  // the open-file dialog's cancel error

}  // namespace kdesk
