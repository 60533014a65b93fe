#pragma once
// mapi32.dll loaded at run time, its Simple MAPI entry points, and owners of
// what the library hands out (a session, a buffer).
#include <windows.h>

#include <utility>

#include "platform/win32/mail/mapi/mapi_unicode.h"

namespace kdesk {

class MapiLibrary {
public:
    // Loads the library from the system folder (Windows' Simple MAPI stub, which
    // loads the mail client's own DLL); raises the mail layer's error when it is missing.
    explicit MapiLibrary(const wchar_t* fileName = L"mapi32.dll");
    ~MapiLibrary();
    MapiLibrary(MapiLibrary&& other) noexcept;
    MapiLibrary& operator=(MapiLibrary&& other) noexcept;
    MapiLibrary(const MapiLibrary&) = delete;
    MapiLibrary& operator=(const MapiLibrary&) = delete;

    // Required entry points raise the mail layer's error when missing.
    MapiLogonFn Logon() const;
    MapiLogoffFn Logoff() const;
    MapiResolveNameFn ResolveName() const;
    MapiSendMailFn SendMail() const;
    MapiFreeBufferFn FreeBuffer() const;
    // Present only where the system offers Unicode sending; nullptr otherwise.
    MapiSendMailWFn SendMailW() const;

private:
    FARPROC Required(const char* name) const;

    HMODULE module_ = nullptr;
};

// A buffer that Simple MAPI allocated, released with MAPIFreeBuffer.
class MapiBuffer {
public:
    MapiBuffer(const MapiLibrary& library, void* buffer) : freeBuffer_(library.FreeBuffer()), buffer_(buffer) {}
    ~MapiBuffer() {
        if (buffer_) freeBuffer_(buffer_);
    }
    MapiBuffer(MapiBuffer&& other) noexcept
        : freeBuffer_(other.freeBuffer_), buffer_(std::exchange(other.buffer_, nullptr)) {}
    MapiBuffer& operator=(MapiBuffer&&) = delete;
    MapiBuffer(const MapiBuffer&) = delete;
    MapiBuffer& operator=(const MapiBuffer&) = delete;

private:
    MapiFreeBufferFn freeBuffer_;
    void* buffer_;
};

// An open Simple MAPI session, closed with MAPILogoff when still open at the end.
class MapiSession {
public:
    MapiSession() = default;
    MapiSession(MapiLogoffFn logoff, LHANDLE handle) : logoff_(logoff), handle_(handle) {}
    ~MapiSession() { Close(); }
    MapiSession(MapiSession&& other) noexcept
        : logoff_(other.logoff_), handle_(std::exchange(other.handle_, LHANDLE{})) {}
    MapiSession& operator=(MapiSession&& other) noexcept {
        if (this != &other) {
            Close();
            logoff_ = other.logoff_;
            handle_ = std::exchange(other.handle_, LHANDLE{});
        }
        return *this;
    }
    MapiSession(const MapiSession&) = delete;
    MapiSession& operator=(const MapiSession&) = delete;

    LHANDLE Handle() const { return handle_; }
    bool IsOpen() const { return handle_ != 0; }
    // Logs off; returns MAPILogoff's code (0 when there was nothing to close).
    ULONG Close() {
        if (!handle_) return 0;
        return logoff_(std::exchange(handle_, LHANDLE{}), 0, 0, 0);
    }

private:
    MapiLogoffFn logoff_ = nullptr;
    LHANDLE handle_ = 0;
};

}  // namespace kdesk
