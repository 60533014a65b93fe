#include "platform/portable/pe_version_reader.h"

#include <algorithm>

namespace kdesk::pe {
namespace {

// Every read goes through these: nullopt when any byte lies outside the view.
std::optional<std::uint16_t> ReadU16(ByteView bytes, std::size_t offset) {
    if (offset >= bytes.size() || bytes.size() - offset < 2) return std::nullopt;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::optional<std::uint32_t> ReadU32(ByteView bytes, std::size_t offset) {
    auto low = ReadU16(bytes, offset);
    auto high = offset <= SIZE_MAX - 2 ? ReadU16(bytes, offset + 2) : std::nullopt;
    if (!low || !high) return std::nullopt;
    return static_cast<std::uint32_t>(*low | (std::uint32_t{*high} << 16));
}

// Offsets handled here never come near SIZE_MAX: they are bounded by a buffer's
// size plus a 16-bit length.
std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// ---- PE image: headers, sections, resource directory ----

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct ImageLayout {
    std::uint32_t resourceRva = 0;
    std::vector<Section> sections;
};

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;

std::optional<ImageLayout> ReadLayout(ByteView image) {
    if (image.size() < 2 || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    auto peOffset = ReadU32(image, 0x3C);
    if (!peOffset || ReadU32(image, *peOffset) != 0x00004550u) return std::nullopt;
    const std::size_t fileHeader = std::size_t{*peOffset} + 4;
    auto sectionCount = ReadU16(image, fileHeader + 2);
    auto optionalSize = ReadU16(image, fileHeader + 16);
    const std::size_t optional = fileHeader + 20;
    auto magic = ReadU16(image, optional);
    if (!sectionCount || !optionalSize || !magic) return std::nullopt;

    std::size_t directories = 0;
    if (*magic == kMagicPe32) directories = 96;
    else if (*magic == kMagicPe32Plus) directories = 112;
    else return std::nullopt;
    auto directoryCount = ReadU32(image, optional + directories - 4);
    const std::size_t resourceEntry = directories + std::size_t{8} * kResourceDirectoryIndex;
    if (!directoryCount || *directoryCount <= kResourceDirectoryIndex || resourceEntry + 8 > *optionalSize)
        return std::nullopt;

    ImageLayout layout;
    layout.resourceRva = ReadU32(image, optional + resourceEntry).value_or(0);
    if (layout.resourceRva == 0) return std::nullopt;
    const std::size_t table = optional + *optionalSize;
    for (std::size_t i = 0; i < *sectionCount; ++i) {
        const std::size_t header = table + 40 * i;
        auto va = ReadU32(image, header + 12);
        auto rawSize = ReadU32(image, header + 16);
        auto rawOffset = ReadU32(image, header + 20);
        if (!va || !rawSize || !rawOffset) return std::nullopt;
        layout.sections.push_back({*va, *rawSize, *rawOffset});
    }
    return layout;
}

// The file bytes from an RVA to the end of its section's raw data (within the file).
std::optional<ByteView> ViewAtRva(ByteView image, const ImageLayout& layout, std::uint32_t rva) {
    for (const Section& section : layout.sections) {
        if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize) continue;
        // 64-bit sums: two 32-bit fields can overflow a 32-bit size_t.
        const std::uint64_t start = std::uint64_t{section.rawOffset} + (rva - section.virtualAddress);
        const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{section.rawOffset} + section.rawSize,
                                                          image.size());
        if (start >= end) return std::nullopt;
        return image.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    }
    return std::nullopt;
}

struct DirectoryEntry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;
};

std::optional<std::vector<DirectoryEntry>> ReadDirectory(ByteView resources, std::size_t offset) {
    auto named = ReadU16(resources, offset + 12);
    auto ids = ReadU16(resources, offset + 14);
    if (!named || !ids) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    const std::size_t count = std::size_t{*named} + *ids;
    for (std::size_t i = 0; i < count; ++i) {
        auto name = ReadU32(resources, offset + 16 + 8 * i);
        auto target = ReadU32(resources, offset + 20 + 8 * i);
        if (!name || !target) break;  // a table cut short keeps the entries it has
        entries.push_back({*name, *target});
    }
    return entries;
}

// The subdirectory an entry leads to, as an offset into the resource section.
std::optional<std::size_t> Subdirectory(const DirectoryEntry& entry) {
    if (!(entry.target & kHighBit)) return std::nullopt;
    return entry.target & ~kHighBit;
}

// Resource loader order: neutral, the user's language, its primary language
// (neutral and default sublanguage), English, and else the first entry.
std::optional<DirectoryEntry> PreferredLanguage(const std::vector<DirectoryEntry>& languages,
                                                std::uint16_t userLanguage) {
    const std::uint32_t primary = userLanguage & 0x3FF;
    for (std::uint32_t wanted : {std::uint32_t{0}, std::uint32_t{userLanguage}, primary, primary | 0x400,
                                 std::uint32_t{kLanguageEnglishUs}}) {
        auto match = std::find_if(languages.begin(), languages.end(),
                                  [wanted](const DirectoryEntry& e) { return e.name == wanted; });
        if (match != languages.end()) return *match;
    }
    if (languages.empty()) return std::nullopt;
    return languages.front();
}

std::optional<std::size_t> VersionLanguageDataEntry(ByteView resources, std::uint16_t userLanguage) {
    auto types = ReadDirectory(resources, 0);
    if (!types) return std::nullopt;
    auto version = std::find_if(types->begin(), types->end(), [](const DirectoryEntry& e) {
        return !(e.name & kHighBit) && e.name == kRtVersion;
    });
    if (version == types->end()) return std::nullopt;
    auto namesOffset = Subdirectory(*version);
    auto names = namesOffset ? ReadDirectory(resources, *namesOffset) : std::nullopt;
    if (!names || names->empty()) return std::nullopt;
    auto languagesOffset = Subdirectory(names->front());
    auto languages = languagesOffset ? ReadDirectory(resources, *languagesOffset) : std::nullopt;
    auto language = languages ? PreferredLanguage(*languages, userLanguage) : std::nullopt;
    if (!language || (language->target & kHighBit)) return std::nullopt;
    return language->target;
}

// ---- VS_VERSIONINFO tree: nodes of wLength, wValueLength, wType, szKey, value, children ----

struct Node {
    std::size_t start = 0;
    std::size_t end = 0;  // within the parent and the block
    std::uint16_t length = 0;
    std::uint16_t valueLength = 0;
    bool isText = false;
    std::u16string key;
    bool keyTerminated = false;
    std::size_t value = 0;
    std::size_t children = 0;
};

std::optional<Node> ReadNode(ByteView block, std::size_t start, std::size_t limit) {
    if (start >= limit || limit - start < 6) return std::nullopt;
    Node node;
    node.start = start;
    node.length = ReadU16(block, start).value_or(0);
    if (node.length == 0) return std::nullopt;
    node.end = std::min(limit, start + node.length);
    node.valueLength = ReadU16(block, start + 2).value_or(0);
    node.isText = ReadU16(block, start + 4).value_or(0) != 0;
    std::size_t at = start + 6;
    for (; at + 2 <= node.end; at += 2) {
        const auto unit = *ReadU16(block, at);
        if (unit == 0) {
            node.keyTerminated = true;
            break;
        }
        node.key.push_back(static_cast<char16_t>(unit));
    }
    node.value = Align4(at + 2);
    node.children = Align4(node.value + std::size_t{node.valueLength} * (node.isText ? 2 : 1));
    return node;
}

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool KeyMatches(const Node& node, std::wstring_view name) {
    if (!node.keyTerminated || node.key.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (FoldAscii(static_cast<wchar_t>(node.key[i])) != FoldAscii(name[i])) return false;
    return true;
}

// Children advance by at least 4 bytes each (a zero length ends the scan), so the
// scan ends; the path has finitely many components, so the walk ends.
std::optional<Node> FindChild(ByteView block, const Node& parent, std::wstring_view name) {
    for (std::size_t at = parent.children; at < parent.end;) {
        auto child = ReadNode(block, at, parent.end);
        if (!child) return std::nullopt;
        if (KeyMatches(*child, name)) return child;
        at = Align4(at + child->length);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> FindVersionBlock(ByteView image, std::uint16_t userLanguage) {
    auto layout = ReadLayout(image);
    if (!layout) return std::nullopt;
    auto resources = ViewAtRva(image, *layout, layout->resourceRva);
    if (!resources) return std::nullopt;
    auto dataEntry = VersionLanguageDataEntry(*resources, userLanguage);
    if (!dataEntry) return std::nullopt;
    auto rva = ReadU32(*resources, *dataEntry);
    auto size = ReadU32(*resources, *dataEntry + 4);
    if (!rva || !size || *size == 0) return std::nullopt;
    auto data = ViewAtRva(image, *layout, *rva);
    if (!data || data->size() < *size) return std::nullopt;
    return std::vector<std::uint8_t>(data->begin(), data->begin() + *size);
}

std::optional<VersionValue> QueryVersionValue(ByteView block, std::wstring_view subBlock) {
    auto node = ReadNode(block, 0, block.size());
    if (!node) return std::nullopt;
    while (!subBlock.empty()) {
        const std::size_t slash = subBlock.find(L'\\');
        const std::wstring_view name = subBlock.substr(0, slash);
        subBlock = slash == std::wstring_view::npos ? std::wstring_view{} : subBlock.substr(slash + 1);
        if (name.empty()) continue;
        node = FindChild(block, *node, name);
        if (!node) return std::nullopt;
    }
    VersionValue value;
    value.bytes = node->value < block.size() ? block.subspan(node->value) : ByteView{};
    value.valueLength = node->valueLength;
    value.isText = node->isText;
    return value;
}

std::optional<std::vector<std::uint8_t>> QueryBinaryValue(ByteView block, std::wstring_view subBlock) {
    auto value = QueryVersionValue(block, subBlock);
    if (!value) return std::nullopt;
    const auto bytes = value->bytes.first(std::min<std::size_t>(value->valueLength, value->bytes.size()));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::wstring> QueryStringValue(ByteView block, std::wstring_view subBlock) {
    auto value = QueryVersionValue(block, subBlock);
    if (!value) return std::nullopt;
    std::wstring text;
    if (value->valueLength == 0) return text;
    for (std::size_t at = 0; at + 2 <= value->bytes.size(); at += 2) {
        const auto unit = *ReadU16(value->bytes, at);
        if (unit == 0) break;
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

}  // namespace kdesk::pe
