#include "platform/win32/mail/https_upload.h"

#include "platform/runtime_error.h"

namespace kdesk {

UploadResult UploadFile(HWND, const std::wstring&, const std::wstring&) {
    throw RuntimeError(ERROR_CALL_NOT_IMPLEMENTED, L"Invio al supporto non disponibile");
}

}  // namespace kdesk
