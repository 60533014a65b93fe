#include "platform/portable/pe_machine.h"

namespace kdesk::pe {
namespace {

constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kLoadConfigDirectory = 10;
constexpr std::size_t kChpeMetadataPointer = 0xC8;

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[offset + i];
    return value;
}

// A field within the bytes; nullopt past their end.
std::optional<std::uint64_t> Field(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::size_t size) {
    if (offset > bytes.size() || bytes.size() - offset < size) return std::nullopt;
    return LittleEndian(bytes, static_cast<std::size_t>(offset), size);
}

// The PE signature's offset, when the bytes hold a PE file header after it.
std::optional<std::size_t> PeHeader(std::span<const std::uint8_t> head) {
    if (head.size() < kPeOffsetField + 4 || head[0] != 'M' || head[1] != 'Z') return std::nullopt;
    const auto pe = static_cast<std::size_t>(LittleEndian(head, kPeOffsetField, 4));
    if (pe > head.size() || head.size() - pe < 6) return std::nullopt;
    if (LittleEndian(head, pe, 4) != 0x00004550u) return std::nullopt;  // "PE\0\0"
    return pe;
}

}  // namespace

std::optional<std::uint16_t> ImageMachine(std::span<const std::uint8_t> head) {
    const auto pe = PeHeader(head);
    if (!pe) return std::nullopt;
    return static_cast<std::uint16_t>(LittleEndian(head, *pe + 4, 2));
}

std::optional<std::uint64_t> LoadConfigOffset(std::span<const std::uint8_t> head) {
    const auto pe = PeHeader(head);
    if (!pe) return std::nullopt;
    const std::uint64_t fileHeader = *pe + 4;
    const std::uint64_t optional = fileHeader + 20;
    const auto sections = Field(head, fileHeader + 2, 2);
    const auto optionalSize = Field(head, fileHeader + 16, 2);
    const auto magic = Field(head, optional, 2);
    const auto directories = Field(head, optional + 108, 4);
    const std::uint64_t entry = 112 + 8 * kLoadConfigDirectory;
    if (!sections || !optionalSize || magic != kMagicPe32Plus || !directories ||
        *directories <= kLoadConfigDirectory || *optionalSize < entry + 8)
        return std::nullopt;
    const auto rva = Field(head, optional + entry, 4);
    if (!rva || *rva == 0) return std::nullopt;
    for (std::uint64_t i = 0; i < *sections; ++i) {
        const std::uint64_t section = optional + *optionalSize + 40 * i;
        const auto address = Field(head, section + 12, 4);
        const auto rawSize = Field(head, section + 16, 4);
        const auto rawOffset = Field(head, section + 20, 4);
        if (!address || !rawSize || !rawOffset) return std::nullopt;
        if (*rva >= *address && *rva - *address < *rawSize) return *rawOffset + (*rva - *address);
    }
    return std::nullopt;
}

bool NamesChpeMetadata(std::span<const std::uint8_t> loadConfig) {
    const auto size = Field(loadConfig, 0, 4);
    const auto pointer = Field(loadConfig, kChpeMetadataPointer, 8);
    return size && *size >= kChpeMetadataPointer + 8 && pointer && *pointer != 0;
}

bool LoadsInto(std::uint16_t dll, bool arm64x, std::uint16_t program, std::uint16_t native) {
    return dll == program || (program == kMachineAmd64 && native == kMachineArm64 && dll == kMachineArm64 && arm64x);
}

}  // namespace kdesk::pe
