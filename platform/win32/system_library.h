#pragma once
// A Windows DLL loaded on first need rather than at process start, so that the
// main window appears without waiting for libraries only some commands use.
// Every such DLL comes from the Windows system folder only: a DLL of the same
// name beside the program (a USB stick, the Downloads folder) is never loaded.
#include <windows.h>

#include <utility>

namespace kdesk {

// The DLL from the system folder; nullptr when it cannot be loaded there.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName) : module_(LoadSystemLibrary(fileName)) {}
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }
    SystemLibrary(SystemLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
    SystemLibrary& operator=(SystemLibrary&&) = delete;
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const { return module_ != nullptr; }

    // The exported function with the type of `Declared`; nullptr when missing.
    template <typename Declared>
    Declared* Function(const char* name) const {
        if (!module_) return nullptr;
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): GetProcAddress returns a generic pointer
        return reinterpret_cast<Declared*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

}  // namespace kdesk
