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
            Show(error);
        } catch (const std::bad_alloc&) {
            Show(kErrOutOfMemory);
        } catch (...) {
            Show(kErrInvalidProcedureCall);
        }
        return false;
    }

private:
    // One of the program's own errors, with the description from its table.
    void Show(std::int32_t number) const noexcept {
        SkipOnError([&] { Show(RuntimeError(number)); });
    }

    void Show(const RuntimeError& error) const noexcept {
        SkipOnError([&] {
            runtime_.MsgBox(operation_ + L": " + error.Description() + L" - " + std::to_wstring(error.Number()),
                            MsgButtons::Ok);
        });
    }

    Runtime& runtime_;
    std::wstring operation_;
};

}  // namespace kdesk
