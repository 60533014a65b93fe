#pragma once
// The machine type a PE image is built for, from the first bytes of its file,
// and whether an ARM64 image is ARM64X, from its load configuration.
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

// Where a PE32+ image's load configuration starts in its file, from its
// headers (the file's first bytes, through the section table); nullopt when it
// has none, or the headers given do not say.
std::optional<std::uint64_t> LoadConfigOffset(std::span<const std::uint8_t> head);

// The bytes of a load configuration that NamesChpeMetadata reads.
inline constexpr std::size_t kLoadConfigBytesRead = 0xD0;

// Whether a 64-bit load configuration (its first bytes) points to CHPE
// metadata: an ARM64 image that does is ARM64X, a hybrid whose ARM64EC side
// loads into x64 programs. A configuration too old to hold the pointer has none.
bool NamesChpeMetadata(std::span<const std::uint8_t> loadConfig);

// Whether a DLL built for `dll` loads into a program built for `program` on a
// machine whose own architecture is `native`: the same type, or on ARM64 an
// ARM64X DLL (it carries the ARM64 type) in an x64 program.
bool LoadsInto(std::uint16_t dll, bool arm64x, std::uint16_t program, std::uint16_t native);

}  // namespace kdesk::pe
