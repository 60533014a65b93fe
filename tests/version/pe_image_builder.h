#pragma once
// Builds version blocks and small PE images that carry them, for the tests.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kdesk::test {

struct StringTable {
    std::wstring key;  // e.g. "041004B0"
    std::vector<std::pair<std::wstring, std::wstring>> values;
};

struct VersionResource {
    std::vector<StringTable> tables;
    // Raw bytes of "\VarFileInfo\Translation"; nullopt leaves VarFileInfo out.
    std::optional<std::vector<std::uint8_t>> translation;
};

std::vector<std::uint8_t> TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& entries);

// A resource with one string table and its matching translation entry.
VersionResource SimpleResource(std::uint16_t language, std::uint16_t codePage,
                               std::vector<std::pair<std::wstring, std::wstring>> values);

// All eight keys the program reads, with ProductVersion as given.
std::vector<std::pair<std::wstring, std::wstring>> EightKeys(const std::wstring& productVersion);

std::vector<std::uint8_t> BuildVersionBlock(const VersionResource& resource);

// A PE32 (or PE32+) image with one section holding the resource directory and
// the version block.
std::vector<std::uint8_t> BuildPeImage(const std::vector<std::uint8_t>& versionBlock, bool pe32Plus = false);

// The same with one version resource per language, in the order given.
struct LanguageBlock {
    std::uint16_t language = 0;
    std::vector<std::uint8_t> block;
};
std::vector<std::uint8_t> BuildPeImage(const std::vector<LanguageBlock>& blocks, bool pe32Plus = false);

}  // namespace kdesk::test
