#pragma once
// Placeholder: version.dll and file dates come next.
#include "platform/version_info.h"

namespace kdesk {

class Win32VersionInfo : public VersionInfo {
public:
    std::uint32_t GetFileVersionInfoSize(const std::wstring&) override { return 0; }
    bool GetFileVersionInfo(const std::wstring&, std::vector<std::uint8_t>&) override { return false; }
    std::optional<std::vector<std::uint8_t>> QueryTranslation(const std::vector<std::uint8_t>&) override {
        return std::nullopt;
    }
    std::optional<std::wstring> QueryString(const std::vector<std::uint8_t>&, const std::wstring&) override {
        return std::nullopt;
    }
    std::optional<LocalDateTime> FileLastModified(const std::wstring&) override { return std::nullopt; }
};

}  // namespace kdesk
