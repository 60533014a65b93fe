#pragma once
// The program-wide state: one instance for the whole run, all fields empty or zero at start.
#include <cstdint>
#include <string>

namespace kdesk {

struct ModVariables {
    std::wstring gDataPath;    // data-exchange folder
    std::wstring gAppPath;     // application folder
    std::wstring gTxtPath;     // gAppPath as read before the registry override
    std::wstring gDriverType;  // fiscal-printer driver type
    std::int16_t gComPort = 0;      // 0 to 4; 0 when no port was found
    std::int16_t gAttachIndex = 0;  // last attachment added, -1 when none
};

}  // namespace kdesk
