#pragma once
// The modal About box: a window of its own class built from its layout table,
// loaded afresh at every opening and centred over its owner.
#include <windows.h>

#include <memory>

#include "platform/runtime.h"

namespace kdesk {

inline constexpr wchar_t kAboutWindowClass[] = L"KdeskSupportAbout";

class AboutBox {
public:
    AboutBox(HINSTANCE instance, Runtime& runtime);
    ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    // Loads the box, shows it over `owner` and returns when it is unloaded.
    // Throws std::runtime_error when the box cannot be built.
    void ShowModal(HWND owner);

private:
    struct Loaded;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    LRESULT Handle(HWND window, UINT message, WPARAM wp, LPARAM lp);
    void Paint(HWND window);
    void RunModalLoop(HWND owner);

    HINSTANCE instance_;
    Runtime& runtime_;
    std::unique_ptr<Loaded> loaded_;
};

}  // namespace kdesk
