#pragma once
// Version resources through version.dll (loaded on first need); modification dates from the file
// system's last-write time, in local time.
#include "platform/version_info.h"

namespace kdesk {

class Win32VersionInfo : public VersionInfo {
public:
    std::uint32_t GetFileVersionInfoSize(const std::wstring& path) override;
    bool GetFileVersionInfo(const std::wstring& path, std::vector<std::uint8_t>& block) override;
    std::optional<std::vector<std::uint8_t>> QueryTranslation(const std::vector<std::uint8_t>& block) override;
    std::optional<std::wstring> QueryString(const std::vector<std::uint8_t>& block,
                                            const std::wstring& subBlock) override;
    std::optional<LocalDateTime> FileLastModified(const std::wstring& path) override;
};

}  // namespace kdesk
