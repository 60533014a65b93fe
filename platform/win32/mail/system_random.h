#pragma once
// Bytes from the system's cryptographic random generator, for names and
// identifiers that no one may guess.
#include "platform/portable/upload_target.h"

namespace kdesk {

// Raises RuntimeError when Windows offers no generator (never on a supported system).
RandomBytes SystemRandom();

}  // namespace kdesk
