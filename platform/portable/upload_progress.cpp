#include "platform/portable/upload_progress.h"

#include <algorithm>

namespace kdesk {
namespace {

// Megabytes rounded to tenths, half up: "7,1".
std::wstring Megabytes(std::uint64_t bytes) {
    const std::uint64_t tenths = bytes / 100000 + (bytes % 100000 >= 50000 ? 1 : 0);
    return std::to_wstring(tenths / 10) + L',' + std::to_wstring(tenths % 10);
}

}  // namespace

std::wstring MegabytesSentText(std::uint64_t sent, std::uint64_t total) {
    return Megabytes(sent) + L" di " + Megabytes(total) + L" MB";
}

int ProgressPermille(std::uint64_t sent, std::uint64_t total) {
    if (total == 0 || sent >= total) return 1000;
    // Divided first, so that no product overflows whatever the sizes.
    const std::uint64_t step = total / 1000;
    if (step == 0) return static_cast<int>(sent * 1000 / total);
    return static_cast<int>(std::min<std::uint64_t>(sent / step, 999));
}

}  // namespace kdesk
