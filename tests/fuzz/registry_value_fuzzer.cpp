// libFuzzer target: a registry value of arbitrary type and bytes, read through
// ReadRegistryValue over the in-memory registry. The first four bytes are the
// value's type (little-endian); the rest are its data. Whatever the value holds,
// the key is closed again and a value the reader accepts fits its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "modules/modRegistry.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_version_info.h"

namespace {

constexpr char kKey[] = "SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
constexpr wchar_t kKeyWide[] = L"SOFTWARE\\VEL Vuvivazoror\\VELKDESK";
constexpr std::size_t kReaderBuffer = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t type = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    const std::vector<std::uint8_t> bytes(data + 4, data + size);

    kdesk::FakeRuntime runtime;
    kdesk::FakeRegistry registry;
    kdesk::FakeShell shell;
    kdesk::FakeVersionInfo versionInfo;
    kdesk::Platform platform{runtime, registry, shell, versionInfo};
    registry.SetValue(kKey, "CustomPathDataDir", type, bytes);

    std::wstring value = L"unchanged";
    const bool read =
        kdesk::ReadRegistryValue(platform, kdesk::kHkeyCurrentUser, kKeyWide, L"CustomPathDataDir", value);
    if (registry.OpenHandles() != 0) std::abort();
    if (read != (!bytes.empty() && bytes.size() <= kReaderBuffer)) std::abort();
    if (!read && value != L"unchanged") std::abort();
    if (value.size() > 2 + 2 * kReaderBuffer) std::abort();  // a DWORD's bytes: "&h" and two digits each
    return 0;
}
