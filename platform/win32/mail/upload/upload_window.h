#pragma once
// The small window the operator sees while the message is uploaded: owned by
// the main window, which it disables like a modal dialog, with "Invio al
// supporto in corso...", a progress bar, the megabytes sent of the total and
// one button, "Annulla" (Esc and the close box too). Its message loop keeps
// every window of the program repainting while the worker sends.
#include <windows.h>

#include <memory>
#include <optional>
#include <type_traits>

#include "platform/win32/mail/upload/upload_transfer.h"
#include "platform/win32/system_library.h"

namespace kdesk {

inline constexpr wchar_t kUploadWindowClass[] = L"KdeskSupportUpload";

class UploadWindow {
public:
    enum class Ending {
        Finished,   // the worker is done, well or not
        Cancelled,  // the operator pressed "Annulla"
        Stalled,    // nothing moved for kUploadStallMs
    };
    // Nothing moving for this long is a failed upload, never a hang.
    static constexpr ULONGLONG kUploadStallMs = 60'000;

    // Shows the window centred over `owner` and disables the owner. Raises
    // RuntimeError when the window cannot be made.
    UploadWindow(HWND owner, UploadTransfer& transfer);
    // Enables the owner before the window goes, so that the owner is activated.
    ~UploadWindow();
    UploadWindow(const UploadWindow&) = delete;
    UploadWindow& operator=(const UploadWindow&) = delete;

    // The modal loop, until the transfer ends, the operator cancels or it stalls.
    Ending Run();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    LRESULT Handle(HWND window, UINT message, WPARAM wp, LPARAM lp);
    void CreateControls();
    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, RECT r, int id);
    void Relayout(int dpi, const RECT& suggested);
    void ShowProgress();
    void Cancel();
    void CheckStall();

    struct FontDeleter {
        void operator()(HFONT font) const noexcept { DeleteObject(font); }
    };
    struct WindowDeleter {
        void operator()(HWND window) const noexcept { DestroyWindow(window); }
    };

    HWND owner_;
    UploadTransfer& transfer_;
    int dpi_;
    std::optional<SystemLibrary> commonControls_;  // the progress bar's class
    std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font_;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter> window_;
    HWND bar_ = nullptr;
    HWND size_ = nullptr;
    std::optional<Ending> ending_;
    ULONGLONG cancelledAt_ = 0;
};

}  // namespace kdesk
