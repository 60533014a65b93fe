#include "platform/portable/pe_machine.h"

namespace kdesk::pe {
namespace {

constexpr std::size_t kPeOffsetField = 0x3C;

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[offset + i];
    return value;
}

}  // namespace

std::optional<std::uint16_t> ImageMachine(std::span<const std::uint8_t> head) {
    if (head.size() < kPeOffsetField + 4 || head[0] != 'M' || head[1] != 'Z') return std::nullopt;
    const std::size_t pe = LittleEndian(head, kPeOffsetField, 4);
    if (pe > head.size() || head.size() - pe < 6) return std::nullopt;
    if (LittleEndian(head, pe, 4) != 0x00004550u) return std::nullopt;  // "PE\0\0"
    return static_cast<std::uint16_t>(LittleEndian(head, pe + 4, 2));
}

}  // namespace kdesk::pe

namespace kdesk::pe {

bool LoadsInto(std::uint16_t dll, std::uint16_t program, std::uint16_t native) {
    return dll == program || (program == kMachineAmd64 && native == kMachineArm64 && dll == kMachineArm64);
}

}  // namespace kdesk::pe
