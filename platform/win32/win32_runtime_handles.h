#pragma once
// Move-only owners of kernel handles that are invalid as INVALID_HANDLE_VALUE:
// find handles (FindClose) and file handles (CloseHandle).
#include <windows.h>

#include <utility>

namespace kdesk {

template <BOOL(WINAPI* Close)(HANDLE)>
class UniqueInvalidableHandle {
public:
    UniqueInvalidableHandle() = default;
    explicit UniqueInvalidableHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueInvalidableHandle() { Reset(); }
    UniqueInvalidableHandle(const UniqueInvalidableHandle&) = delete;
    UniqueInvalidableHandle& operator=(const UniqueInvalidableHandle&) = delete;
    UniqueInvalidableHandle(UniqueInvalidableHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    UniqueInvalidableHandle& operator=(UniqueInvalidableHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void Reset() {
        if (Valid()) Close(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    // Closes the handle and says whether that succeeded: for a written file,
    // the close can be the step that fails.
    bool CloseChecked() {
        const bool closed = Valid() && Close(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

using UniqueFindHandle = UniqueInvalidableHandle<FindClose>;
using UniqueFileHandle = UniqueInvalidableHandle<CloseHandle>;

}  // namespace kdesk
