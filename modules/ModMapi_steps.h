#pragma once
// The two failure styles of the attachment list and the mail: skip a failed step
// silently, or show "<operation>: <description> - <number>" and go on.
#include <exception>
#include <new>
#include <string>

#include "platform/runtime.h"
#include "platform/runtime_error.h"

namespace kdesk {

// Runs one step; a failure is passed over. Returns whether the step succeeded.
template <class Step>
bool SkipOnError(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs one step of a named operation; a failure is shown in an OK box with the
// program title and the operation goes on with its next step.
class ShowErrorAndGoOn {
public:
    ShowErrorAndGoOn(Runtime& runtime, std::wstring operation)
        : runtime_(runtime), operation_(std::move(operation)) {}

    template <class Step>
    bool operator()(Step&& step) const noexcept {
        try {
            step();
            return true;
        } catch (const RuntimeError& error) {
            Show(error.Number(), error.Description());
        } catch (const std::bad_alloc&) {
            Show(kErrOutOfMemory, L"Out of memory");
        } catch (...) {
            Show(kErrInvalidProcedureCall, L"Invalid procedure call or argument");
        }
        return false;
    }

private:
    static constexpr std::int32_t kErrOutOfMemory = 7;

    void Show(std::int32_t number, const std::wstring& description) const noexcept {
        SkipOnError([&] {
            runtime_.MsgBox(operation_ + L": " + description + L" - " + std::to_wstring(number), MsgButtons::Ok);
        });
    }

    Runtime& runtime_;
    std::wstring operation_;
};

}  // namespace kdesk
