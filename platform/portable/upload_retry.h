#pragma once
// Which failed uploads are worth trying again later: those a line that comes
// back or a server that recovers can mend. An address, a certificate, a proxy
// that wants a password or a server's refusal stays as it is, so such a
// message is not kept for later.
#include <cstdint>

namespace kdesk {

// `number` is what the failed upload raised: the HTTP status where the server
// answered, else the Windows (WinHTTP or socket) error.
bool FailureCanPass(std::uint32_t number);

}  // namespace kdesk
