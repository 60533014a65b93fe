#pragma once
// The upload of a finished message to the maker's drop box: one HTTPS PUT of
// the file over WinHTTP (loaded from the system folder), with the system's TLS
// and the user's proxy, while a small window owned by `owner` shows the
// progress and offers "Annulla". The window keeps repainting throughout: the
// transfer runs on a worker thread that only posts its progress. A message
// that waited goes the same way without the window.
#include <windows.h>

#include <string>

namespace kdesk {

enum class UploadResult {
    Delivered,  // the server answered 200, 201 or 204
    Cancelled,  // the operator pressed "Annulla" (or Esc) before the server answered
};

// Uploads `file` to `url` (https:// only: any other URL is never contacted).
// Raises RuntimeError with an Italian description and the HTTP status where
// the server answered, or the Windows error number where the connection, the
// proxy or TLS failed.
UploadResult UploadFile(HWND owner, const std::wstring& url, const std::wstring& file);

// The same upload without a window, for a message that waited: returns once
// the server stored it, raises as UploadFile does otherwise.
void UploadFileUnseen(const std::wstring& url, const std::wstring& file);

}  // namespace kdesk
