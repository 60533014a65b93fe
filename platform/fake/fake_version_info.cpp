#include "platform/fake/fake_version_info.h"

#include <algorithm>
#include <cwctype>

#include "platform/portable/pe_version_reader.h"

namespace kdesk {
namespace {

std::wstring FoldCase(const std::wstring& path) {
    std::wstring folded = path;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); });
    return folded;
}

}  // namespace

void FakeVersionInfo::AddFile(const std::wstring& path, std::vector<std::uint8_t> bytes,
                              const LocalDateTime& lastModified) {
    files_[FoldCase(path)] = {std::move(bytes), lastModified};
}

void FakeVersionInfo::RemoveFile(const std::wstring& path) { files_.erase(FoldCase(path)); }

const FakeVersionInfo::File* FakeVersionInfo::Find(const std::wstring& path) const {
    auto it = files_.find(FoldCase(path));
    return it == files_.end() ? nullptr : &it->second;
}

std::optional<std::vector<std::uint8_t>> FakeVersionInfo::VersionBlockOf(const std::wstring& path) const {
    const File* file = Find(path);
    if (!file) return std::nullopt;
    return pe::FindVersionBlock(file->bytes, userLanguage_);
}

std::uint32_t FakeVersionInfo::GetFileVersionInfoSize(const std::wstring& path) {
    auto block = VersionBlockOf(path);
    return block ? static_cast<std::uint32_t>(block->size()) : 0;
}

// Like version.dll, copies as much of the block as the caller's buffer holds.
bool FakeVersionInfo::GetFileVersionInfo(const std::wstring& path, std::vector<std::uint8_t>& block) {
    auto found = VersionBlockOf(path);
    if (!found || block.empty()) return false;
    std::copy_n(found->begin(), std::min(found->size(), block.size()), block.begin());
    return true;
}

std::optional<std::vector<std::uint8_t>> FakeVersionInfo::QueryTranslation(const std::vector<std::uint8_t>& block) {
    return pe::QueryBinaryValue(block, L"\\VarFileInfo\\Translation");
}

std::optional<std::wstring> FakeVersionInfo::QueryString(const std::vector<std::uint8_t>& block,
                                                         const std::wstring& subBlock) {
    return pe::QueryStringValue(block, subBlock);
}

std::optional<LocalDateTime> FakeVersionInfo::FileLastModified(const std::wstring& path) {
    const File* file = Find(path);
    if (!file) return std::nullopt;
    return file->lastModified;
}

}  // namespace kdesk
