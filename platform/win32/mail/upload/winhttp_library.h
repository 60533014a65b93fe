#pragma once
// winhttp.dll, loaded from the system folder on first use, with the functions
// the upload calls, and the owner of one HINTERNET handle.
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <utility>

#include "platform/win32/system_library.h"

namespace kdesk {

class WinHttp {
public:
    // Raises RuntimeError (126, 127) when the DLL or a function is missing.
    static std::shared_ptr<const WinHttp> Load();

    decltype(&WinHttpCrackUrl) crackUrl = nullptr;
    decltype(&WinHttpOpen) open = nullptr;
    decltype(&WinHttpConnect) connect = nullptr;
    decltype(&WinHttpOpenRequest) openRequest = nullptr;
    decltype(&WinHttpCloseHandle) closeHandle = nullptr;
    decltype(&WinHttpSetOption) setOption = nullptr;
    decltype(&WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&WinHttpSetStatusCallback) setStatusCallback = nullptr;
    decltype(&WinHttpSendRequest) sendRequest = nullptr;
    decltype(&WinHttpWriteData) writeData = nullptr;
    decltype(&WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&WinHttpQueryAuthSchemes) queryAuthSchemes = nullptr;
    decltype(&WinHttpSetCredentials) setCredentials = nullptr;
    decltype(&WinHttpGetIEProxyConfigForCurrentUser) getIEProxyConfig = nullptr;
    decltype(&WinHttpGetProxyForUrl) getProxyForUrl = nullptr;

    explicit WinHttp(SystemLibrary library) : library_(std::move(library)) {}

private:
    SystemLibrary library_;
};

// One HINTERNET, closed with the loaded WinHttpCloseHandle; the functions stay
// loaded while it lives.
class InternetHandle {
public:
    InternetHandle() = default;
    InternetHandle(std::shared_ptr<const WinHttp> api, HINTERNET handle) : api_(std::move(api)), handle_(handle) {}
    ~InternetHandle() { Reset(); }
    InternetHandle(InternetHandle&& other) noexcept
        : api_(std::move(other.api_)), handle_(std::exchange(other.handle_, nullptr)) {}
    InternetHandle& operator=(InternetHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            api_ = std::move(other.api_);
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET Get() const { return handle_; }
    HINTERNET Release() { return std::exchange(handle_, nullptr); }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset() {
        if (handle_) api_->closeHandle(std::exchange(handle_, nullptr));
    }

private:
    std::shared_ptr<const WinHttp> api_;
    HINTERNET handle_ = nullptr;
};

}  // namespace kdesk
