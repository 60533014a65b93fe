#include "modules/ModGetVersion.h"

namespace kdesk {

// Placeholder until the version reader lands.
std::int32_t ReadVersionStrings(Platform&, const std::wstring&, VersionStrings& strings) {
    strings = {};
    return 2;
}
std::wstring GetFileVersionString(Platform&, const std::wstring&) { return {}; }
std::wstring GetFileDateLastModified(Platform&, const std::wstring&) { return {}; }

}  // namespace kdesk
