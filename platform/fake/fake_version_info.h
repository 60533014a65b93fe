#pragma once
// Version blocks and modification dates of in-memory files, read with the
// portable PE reader. Paths compare case-insensitively, as on Windows.
#include <map>

#include "platform/version_info.h"

namespace kdesk {

class FakeVersionInfo : public VersionInfo {
public:
    std::uint32_t GetFileVersionInfoSize(const std::wstring& path) override;
    bool GetFileVersionInfo(const std::wstring& path, std::vector<std::uint8_t>& block) override;
    std::optional<std::vector<std::uint8_t>> QueryTranslation(const std::vector<std::uint8_t>& block) override;
    std::optional<std::wstring> QueryString(const std::vector<std::uint8_t>& block,
                                            const std::wstring& subBlock) override;
    std::optional<LocalDateTime> FileLastModified(const std::wstring& path) override;

    // A file with its bytes (a PE image, or anything else) and last-write time.
    void AddFile(const std::wstring& path, std::vector<std::uint8_t> bytes,
                 const LocalDateTime& lastModified = {2024, 1, 15, 10, 30, 0});
    void RemoveFile(const std::wstring& path);
    // The user's language, which picks among a resource's languages.
    void SetUserLanguage(std::uint16_t language) { userLanguage_ = language; }

private:
    struct File {
        std::vector<std::uint8_t> bytes;
        LocalDateTime lastModified;
    };
    const File* Find(const std::wstring& path) const;
    std::optional<std::vector<std::uint8_t>> VersionBlockOf(const std::wstring& path) const;

    std::map<std::wstring, File> files_;  // by lower-case path
    std::uint16_t userLanguage_ = 0x0409;
};

}  // namespace kdesk
