#include "platform/win32/mail/mapi/mapi_library.h"

#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/system_library.h"

namespace kdesk {

MapiLibrary::MapiLibrary(const wchar_t* fileName) : module_(LoadSystemLibrary(fileName)) {
    if (!module_) throw MailError(MailFault::NoMapiLibrary);
}

MapiLibrary::~MapiLibrary() {
    if (module_) FreeLibrary(module_);
}

MapiLibrary::MapiLibrary(MapiLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}

MapiLibrary& MapiLibrary::operator=(MapiLibrary&& other) noexcept {
    if (this != &other) {
        if (module_) FreeLibrary(module_);
        module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
}

FARPROC MapiLibrary::Required(const char* name) const {
    FARPROC entry = GetProcAddress(module_, name);
    if (!entry) {
        std::wstring wideName;
        for (const char* c = name; *c; ++c) wideName += static_cast<wchar_t>(*c);
        throw MailError(MailFault::NoEntryPoint, wideName);
    }
    return entry;
}

// GetProcAddress hands out a generic function pointer; each is cast to its own type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
MapiLogonFn MapiLibrary::Logon() const { return reinterpret_cast<MapiLogonFn>(Required("MAPILogon")); }
MapiLogoffFn MapiLibrary::Logoff() const { return reinterpret_cast<MapiLogoffFn>(Required("MAPILogoff")); }
MapiResolveNameFn MapiLibrary::ResolveName() const {
    return reinterpret_cast<MapiResolveNameFn>(Required("MAPIResolveName"));
}
MapiSendMailFn MapiLibrary::SendMail() const { return reinterpret_cast<MapiSendMailFn>(Required("MAPISendMail")); }
MapiFreeBufferFn MapiLibrary::FreeBuffer() const {
    return reinterpret_cast<MapiFreeBufferFn>(Required("MAPIFreeBuffer"));
}
MapiSendMailWFn MapiLibrary::SendMailW() const {
    return reinterpret_cast<MapiSendMailWFn>(GetProcAddress(module_, "MAPISendMailW"));
}
#pragma GCC diagnostic pop

}  // namespace kdesk
