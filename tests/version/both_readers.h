#pragma once
// Reads a file's version strings twice: through version.dll and through the
// portable reader over the file's bytes, so that the two can be compared.
#include <optional>
#include <string>
#include <vector>

#include "modules/ModGetVersion.h"

namespace kdesk::test {

struct VersionReading {
    std::int32_t result = 0;
    VersionStrings strings;
    std::optional<std::vector<std::uint8_t>> translation;
    bool operator==(const VersionReading&) const;
};

VersionReading ReadWithVersionDll(const std::wstring& path);
VersionReading ReadWithPortableReader(const std::wstring& path);

bool IsPeImage(const std::vector<std::uint8_t>& bytes);

std::string Describe(const VersionReading& reading);
std::string Narrow(const std::wstring& text);

}  // namespace kdesk::test
