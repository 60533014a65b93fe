#pragma once
// Checks on a local date and time before it is formatted.
#include "platform/runtime.h"

namespace kdesk {

// A real calendar date from 1601 to 30827 (the range Windows formats) and a
// time of day.
bool IsValidLocalDateTime(const LocalDateTime& when);
bool IsMidnight(const LocalDateTime& when);

}  // namespace kdesk
