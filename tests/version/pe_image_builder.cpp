#include "tests/version/pe_image_builder.h"

namespace kdesk::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& out, std::size_t at, std::uint32_t value) {
    PutU16(out, at, value & 0xFFFF);
    PutU16(out, at + 2, value >> 16);
}

void Pad4(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t{3}); }

struct Node {
    std::wstring key;
    Bytes value;
    std::uint16_t valueLength = 0;
    bool isText = false;
    std::vector<Node> children;
};

Bytes Serialize(const Node& node) {
    Bytes out(6);
    for (wchar_t c : node.key) out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    out.insert(out.end(), {0, 0});
    Pad4(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const Node& child : node.children) {
        Pad4(out);
        const Bytes bytes = Serialize(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    PutU16(out, 0, static_cast<std::uint32_t>(out.size()));
    PutU16(out, 2, node.valueLength);
    PutU16(out, 4, node.isText ? 1 : 0);
    return out;
}

Node StringNode(const std::wstring& key, const std::wstring& text) {
    Node node{key, {}, static_cast<std::uint16_t>(text.size() + 1), true, {}};
    for (wchar_t c : text) node.value.insert(node.value.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    node.value.insert(node.value.end(), {0, 0});
    return node;
}

Bytes FixedFileInfo() {
    Bytes info(52);
    PutU32(info, 0, 0xFEEF04BD);
    PutU32(info, 4, 0x00010000);
    return info;
}

}  // namespace

std::vector<std::uint8_t> TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& entries) {
    Bytes out(entries.size() * 4);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        PutU16(out, 4 * i, entries[i].first);
        PutU16(out, 4 * i + 2, entries[i].second);
    }
    return out;
}

VersionResource SimpleResource(std::uint16_t language, std::uint16_t codePage,
                               std::vector<std::pair<std::wstring, std::wstring>> values) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring key;
    for (std::uint16_t v : {language, codePage})
        for (int shift = 12; shift >= 0; shift -= 4) key.push_back(kHex[(v >> shift) & 0xF]);
    return {{{key, std::move(values)}}, TranslationBytes({{language, codePage}})};
}

std::vector<std::pair<std::wstring, std::wstring>> EightKeys(const std::wstring& productVersion) {
    return {{L"CompanyName", L"V.E.L. Vuvivazoror snc"}, {L"FileDescription", L"Punto vendita"},
            {L"FileVersion", productVersion},           {L"InternalName", L"kdmain"},
            {L"LegalCopyright", L"(c) V.E.L."},         {L"OriginalFileName", L"kdmain.exe"},
            {L"ProductName", L"VelKdesk"},              {L"ProductVersion", productVersion}};
}

std::vector<std::uint8_t> BuildVersionBlock(const VersionResource& resource) {
    Node root{L"VS_VERSION_INFO", FixedFileInfo(), 52, false, {}};
    Node stringInfo{L"StringFileInfo", {}, 0, true, {}};
    for (const StringTable& table : resource.tables) {
        Node tableNode{table.key, {}, 0, true, {}};
        for (const auto& [name, text] : table.values) tableNode.children.push_back(StringNode(name, text));
        stringInfo.children.push_back(std::move(tableNode));
    }
    root.children.push_back(std::move(stringInfo));
    if (resource.translation) {
        Node translation{L"Translation", *resource.translation,
                         static_cast<std::uint16_t>(resource.translation->size()), false, {}};
        root.children.push_back(Node{L"VarFileInfo", {}, 0, true, {std::move(translation)}});
    }
    return Serialize(root);
}

std::vector<std::uint8_t> BuildPeImage(const std::vector<std::uint8_t>& versionBlock, bool pe32Plus) {
    return BuildPeImage(std::vector<LanguageBlock>{{0x0410, versionBlock}}, pe32Plus);
}

std::vector<std::uint8_t> BuildPeImage(const std::vector<LanguageBlock>& blocks, bool pe32Plus) {
    constexpr std::size_t kPeOffset = 0x40, kRawOffset = 0x200;
    constexpr std::uint32_t kSectionRva = 0x1000;
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t optional = kPeOffset + 24;
    const std::size_t sectionHeader = optional + optionalSize;

    // Resource directory: type 16 -> id 1 -> one entry per language -> data entries -> blocks.
    const std::size_t languageDir = 48, dataEntries = languageDir + 16 + 8 * blocks.size();
    Bytes rsrc(dataEntries + 16 * blocks.size());
    for (std::size_t level = 0; level < 2; ++level) {
        PutU16(rsrc, level * 24 + 14, 1);
        PutU32(rsrc, level * 24 + 16, level == 0 ? 16 : 1);
        PutU32(rsrc, level * 24 + 20, 0x80000000u | static_cast<std::uint32_t>(level * 24 + 24));
    }
    PutU16(rsrc, languageDir + 14, static_cast<std::uint32_t>(blocks.size()));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        PutU32(rsrc, languageDir + 16 + 8 * i, blocks[i].language);
        PutU32(rsrc, languageDir + 20 + 8 * i, static_cast<std::uint32_t>(dataEntries + 16 * i));
        Pad4(rsrc);
        PutU32(rsrc, dataEntries + 16 * i, kSectionRva + static_cast<std::uint32_t>(rsrc.size()));
        PutU32(rsrc, dataEntries + 16 * i + 4, static_cast<std::uint32_t>(blocks[i].block.size()));
        rsrc.insert(rsrc.end(), blocks[i].block.begin(), blocks[i].block.end());
    }

    Bytes image(kRawOffset);
    image[0] = 'M';
    image[1] = 'Z';
    PutU32(image, 0x3C, kPeOffset);
    PutU32(image, kPeOffset, 0x00004550);
    PutU16(image, kPeOffset + 4, pe32Plus ? 0x8664 : 0x014C);
    PutU16(image, kPeOffset + 6, 1);
    PutU16(image, kPeOffset + 20, static_cast<std::uint32_t>(optionalSize));
    PutU16(image, optional, pe32Plus ? 0x20B : 0x10B);
    const std::size_t directories = optional + (pe32Plus ? 112 : 96);
    PutU32(image, directories - 4, 16);
    PutU32(image, directories + 16, kSectionRva);
    PutU32(image, directories + 20, static_cast<std::uint32_t>(rsrc.size()));
    const char name[] = ".rsrc";
    for (std::size_t i = 0; i < 5; ++i) image[sectionHeader + i] = static_cast<std::uint8_t>(name[i]);
    PutU32(image, sectionHeader + 8, static_cast<std::uint32_t>(rsrc.size()));
    PutU32(image, sectionHeader + 12, kSectionRva);
    PutU32(image, sectionHeader + 16, static_cast<std::uint32_t>(rsrc.size()));
    PutU32(image, sectionHeader + 20, kRawOffset);
    image.insert(image.end(), rsrc.begin(), rsrc.end());
    return image;
}

}  // namespace kdesk::test
