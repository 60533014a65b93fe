#pragma once
// What a failed upload tells the operator: the Italian description of the
// Windows error where the connection, the proxy or TLS failed, or of the HTTP
// status where the server answered. The number is the error or the status.
#include <cstdint>

#include "platform/runtime_error.h"

namespace kdesk {

// WinHTTP's numbers that the upload raises itself.
inline constexpr std::uint32_t kWinHttpTimeout = 12002;
inline constexpr std::uint32_t kWinHttpInvalidUrl = 12005;
inline constexpr std::uint32_t kWinHttpUnrecognizedScheme = 12006;
inline constexpr std::uint32_t kWinHttpSecureFailure = 12175;

// 200, 201 and 204: the server has stored the message.
bool IsDeliveredStatus(std::uint32_t status);

// A Windows error of WinHTTP, the proxy or the connection.
RuntimeError UploadConnectionError(std::uint32_t error);

// A server's answer other than success.
RuntimeError UploadStatusError(std::uint32_t status);

// Windows refused to enable TLS 1.2 (a system without its TLS 1.2 update).
RuntimeError UploadTlsUnavailableError(std::uint32_t error);

// The message file could not be opened or read.
RuntimeError UploadFileError(std::uint32_t error);

// The certificate error that WinHTTP's secure-failure flags (the
// WINHTTP_CALLBACK_STATUS_FLAG_* bits) name, or `reported` when the flags name
// none: Windows often reports only the generic 12175 and leaves the cause to
// the flags.
std::uint32_t CertificateError(std::uint32_t reported, std::uint32_t secureFailureFlags);

}  // namespace kdesk
