#pragma once
// The upload window's figures: megabytes sent of the total, as the operator
// reads them ("7,1 di 20,3 MB": millions of bytes, one decimal, Italian comma),
// and the progress bar's position.
#include <cstdint>
#include <string>

namespace kdesk {

std::wstring MegabytesSentText(std::uint64_t sent, std::uint64_t total);

// Thousandths of the total sent, 0 to 1000 (1000 for an empty total).
int ProgressPermille(std::uint64_t sent, std::uint64_t total);

}  // namespace kdesk
