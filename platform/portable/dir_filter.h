#pragma once
// Which entries a directory search lists for an attribute mask: an entry that is
// hidden, system or a folder is listed only when the mask asks for each of those
// bits it has. Mask 0 lists ordinary files (read-only and archive ones too); mask
// 16 adds folders, though not hidden or system ones.
#include <cstdint>

#include "platform/runtime.h"

namespace kdesk {

constexpr bool IsListedByMask(std::uint32_t attributes, std::uint32_t mask) {
    constexpr std::uint32_t kRestricted = kAttrHidden | kAttrSystem | kAttrDirectory;
    return (attributes & kRestricted & ~mask) == 0;
}

}  // namespace kdesk
