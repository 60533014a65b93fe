#pragma once
// The machine type a PE image is built for, from the first bytes of its file.
#include <cstdint>
#include <optional>
#include <span>

namespace kdesk::pe {

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;
inline constexpr std::uint16_t kMachineArm64 = 0xAA64;

// The file header's machine field; nullopt when the bytes (the DOS header up to
// and including the PE file header) are not those of a PE image.
std::optional<std::uint16_t> ImageMachine(std::span<const std::uint8_t> head);

}  // namespace kdesk::pe

namespace kdesk::pe {

// Whether a DLL built for `dll` loads into a program built for `program` on a
// machine whose own architecture is `native`: the same type, or on ARM64 an
// ARM64X DLL (it carries the ARM64 type) in an x64 program.
bool LoadsInto(std::uint16_t dll, std::uint16_t program, std::uint16_t native);

}  // namespace kdesk::pe
