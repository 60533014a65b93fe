#pragma once
// The Task Scheduler's root folder, reached through COM with ole32 and
// oleaut32 loaded from the system folder, so the program imports neither.
// One object per use, on the calling thread: it joins the thread to COM's
// multithreaded apartment (or uses the apartment the thread already has) and
// leaves it again when destroyed.
#include <windows.h>
#include <taskschd.h>

#include <string>
#include <utility>

#include "platform/win32/system_library.h"

namespace kdesk {

// The COM and BSTR functions the scheduler's interface needs.
struct ComFunctions {
    SystemLibrary ole32{L"ole32.dll"};
    SystemLibrary oleaut32{L"oleaut32.dll"};
    decltype(&CoInitializeEx) initialize = ole32.Function<decltype(CoInitializeEx)>("CoInitializeEx");
    decltype(&CoUninitialize) uninitialize = ole32.Function<decltype(CoUninitialize)>("CoUninitialize");
    decltype(&CoCreateInstance) createInstance = ole32.Function<decltype(CoCreateInstance)>("CoCreateInstance");
    decltype(&SysAllocString) allocString = oleaut32.Function<decltype(SysAllocString)>("SysAllocString");
    decltype(&SysFreeString) freeString = oleaut32.Function<decltype(SysFreeString)>("SysFreeString");
    decltype(&VariantClear) variantClear = oleaut32.Function<decltype(VariantClear)>("VariantClear");

    bool Complete() const {
        return initialize && uninitialize && createInstance && allocString && freeString && variantClear;
    }
};

// An interface pointer, released when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&&) = delete;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For an out parameter: the previous pointer is released first.
    Interface** Out() {
        Reset();
        return &pointer_;
    }
    void Reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

// A BSTR, freed when it goes.
class Bstr {
public:
    Bstr(const ComFunctions& com, const std::wstring& text) : com_(com), text_(com.allocString(text.c_str())) {}
    explicit Bstr(const ComFunctions& com) : com_(com) {}
    ~Bstr() { com_.freeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return text_; }
    BSTR* Out() {
        com_.freeString(std::exchange(text_, nullptr));
        return &text_;
    }

private:
    const ComFunctions& com_;
    BSTR text_ = nullptr;
};

// A VARIANT, empty until filled, cleared when it goes.
class Variant {
public:
    explicit Variant(const ComFunctions& com) : com_(com) { value_.vt = VT_EMPTY; }
    ~Variant() { com_.variantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    const VARIANT& Get() const { return value_; }

private:
    const ComFunctions& com_;
    VARIANT value_{};
};

class TaskSchedulerRoot {
public:
    TaskSchedulerRoot();
    ~TaskSchedulerRoot();
    TaskSchedulerRoot(const TaskSchedulerRoot&) = delete;
    TaskSchedulerRoot& operator=(const TaskSchedulerRoot&) = delete;

    const ComFunctions& Com() const { return com_; }
    // The root folder; empty where COM or the service is not available.
    ITaskFolder* Folder() const { return folder_.Get(); }

private:
    ComFunctions com_;
    bool uninitialize_ = false;
    ComPtr<ITaskService> service_;
    ComPtr<ITaskFolder> folder_;
};

}  // namespace kdesk
