#include "platform/win32/mail/system_random.h"

#include <windows.h>

#include "platform/runtime_error.h"
#include "platform/win32/system_library.h"

namespace kdesk {

RandomBytes SystemRandom() {
    RandomBytes bytes{};
    // RtlGenRandom, exported by advapi32 as SystemFunction036 since Windows XP.
    using GenRandom = BOOLEAN WINAPI(PVOID, ULONG);
    const SystemLibrary advapi32(L"advapi32.dll");
    if (auto* generate = advapi32.Function<GenRandom>("SystemFunction036"))
        if (generate(bytes.data(), static_cast<ULONG>(bytes.size()))) return bytes;
    // BCryptGenRandom with the system's preferred generator, where RtlGenRandom is missing.
    using BCryptGenRandom = LONG WINAPI(PVOID, PUCHAR, ULONG, ULONG);
    constexpr ULONG kUseSystemPreferredRng = 0x00000002;
    const SystemLibrary bcrypt(L"bcrypt.dll");
    if (auto* generate = bcrypt.Function<BCryptGenRandom>("BCryptGenRandom"))
        if (generate(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()), kUseSystemPreferredRng) >= 0) return bytes;
    throw RuntimeError(ERROR_NOT_SUPPORTED, L"Generatore casuale di Windows non disponibile");
}

}  // namespace kdesk
