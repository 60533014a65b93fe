#pragma once
// Reading the point-of-sale installation's registry values.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kdesk {

bool ReadRegistryValue(Platform& platform, std::uint32_t root, const std::wstring& keyPath,
                       const std::wstring& valueName, std::wstring& value);
bool IsValidKeyPath(const std::wstring& keyPath);
void CheckRegistryResult(std::int32_t status);
std::wstring ReadCustomPathDataDir(Platform& platform);
std::wstring ReadAppPath(Platform& platform);
// The maker's drop-box folder URL set for this installation (value UploadUrl);
// nullopt when the value is not there.
std::optional<std::wstring> ReadUploadUrl(Platform& platform);

}  // namespace kdesk
