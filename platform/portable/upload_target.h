#pragma once
// Where an uploaded message goes: the maker's drop-box folder (from the build,
// or from the installation's registry value, which may also turn it off), the
// message's unguessable file name there, and the finished message's sender and
// Message-ID.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kdesk {

using RandomBytes = std::array<std::uint8_t, 16>;

// The registry's value when present (empty: the route is off), else the build's.
std::wstring UploadFolderUrl(const std::optional<std::wstring>& registryValue, std::wstring_view buildDefault);

// "<stem>_<32 hex digits>.eml", every character outside A-Za-z0-9._- of the
// stem as "_", so the name stands in a URL as it is.
std::wstring UploadFileName(std::wstring_view stem, const RandomBytes& random);

// Whether a file name has the shape UploadFileName gives.
bool IsUploadFileName(std::wstring_view name);

// The folder URL and the file name joined by exactly one "/".
std::wstring UploadUrl(std::wstring_view folderUrl, std::wstring_view fileName);

// "<32 hex digits@domain>", the domain taken from the support mailbox.
std::string MessageIdFor(const RandomBytes& random, std::string_view supportMailbox);

}  // namespace kdesk
