#include "platform/fake/fake_runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "build_facts.h"
#include "platform/portable/case_fold.h"
#include "platform/portable/cp1252.h"
#include "platform/portable/dir_filter.h"
#include "platform/portable/file_errors.h"
#include "platform/portable/local_date_time.h"
#include "platform/portable/volume_root.h"
#include "platform/portable/wildcard_match.h"

namespace kdesk {

namespace {

bool IsDriveRoot(const std::wstring& path) { return path.size() == 2 && path[1] == L':'; }

// "/" becomes "\", a run of separators inside the path becomes one (as Windows
// reads "D:\Dati\\SR_MATR.001") while a UNC path keeps its leading "\\", and
// trailing separators go, except that "C:\" stays a root "C:".
std::wstring NormalizePath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const std::size_t keep = path.starts_with(L"\\\\") ? 2 : 0;
    const auto repeated = [](wchar_t a, wchar_t b) { return a == L'\\' && b == L'\\'; };
    path.erase(std::unique(path.begin() + static_cast<std::ptrdiff_t>(keep), path.end(), repeated), path.end());
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    return path;
}

bool EndsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

std::wstring ParentOf(const std::wstring& path) {
    const auto cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring{} : path.substr(0, cut);
}

std::wstring NameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

class MemoryInputFile : public InputFile {
public:
    explicit MemoryInputFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, bytes_.size() - pos_);
        std::copy_n(bytes_.data() + pos_, count, buffer);  // not memcpy: undefined for a null buffer
        pos_ += count;
        return count;
    }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

MsgResult FakeRuntime::MsgBox(const std::wstring& prompt, MsgButtons buttons,
                              const std::optional<std::wstring>& title) {
    messages_.push_back({prompt, buttons, title});
    if (buttons == MsgButtons::Ok || answers_.empty()) return MsgResult::Ok;
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

FakeRuntime::Entry* FakeRuntime::Find(const std::wstring& normalizedPath) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return EqualIgnoringCase(e.path, normalizedPath); });
    return it == entries_.end() ? nullptr : &*it;
}

FakeRuntime::Entry& FakeRuntime::Put(const std::wstring& normalizedPath, std::uint32_t attributes) {
    AddParents(normalizedPath);
    Entry* entry = Find(normalizedPath);
    if (!entry) entry = &entries_.emplace_back(Entry{normalizedPath, 0, {}, false});
    entry->attributes = attributes;
    return *entry;
}

void FakeRuntime::AddParents(const std::wstring& normalizedPath) {
    const std::wstring parent = ParentOf(normalizedPath);
    if (parent.size() < 2 || Find(parent)) return;
    AddParents(parent);
    entries_.push_back(Entry{parent, kAttrDirectory, {}, false});
}

void FakeRuntime::AddFolder(const std::wstring& path, std::uint32_t extraAttributes) {
    Entry& folder = Put(NormalizePath(path), kAttrDirectory | extraAttributes);
    folder.bytes.clear();
}

void FakeRuntime::AddFile(const std::wstring& path, std::string bytes, std::uint32_t attributes) {
    Put(NormalizePath(path), attributes & ~kAttrDirectory).bytes = std::move(bytes);
}

void FakeRuntime::LockFile(const std::wstring& path) {
    if (Entry* entry = Find(NormalizePath(path))) entry->locked = true;
}

void FakeRuntime::RemovePath(const std::wstring& path) {
    const std::wstring removed = FoldCase(NormalizePath(path));
    std::erase_if(entries_, [&](const Entry& e) {
        const std::wstring folded = FoldCase(e.path);
        return folded == removed || folded.starts_with(removed + L'\\');
    });
}

void FakeRuntime::SetVolumeFault(const std::wstring& root, std::uint32_t win32Error) {
    volumeFaults_.emplace_back(NormalizePath(root), win32Error);
}

std::optional<std::uint32_t> FakeRuntime::VolumeFault(const std::wstring& path) const {
    const std::wstring root = NormalizePath(VolumeRoot(path));
    if (root.empty()) return std::nullopt;
    for (const auto& [faulty, error] : volumeFaults_)
        if (EqualIgnoringCase(faulty, root)) return error;
    return std::nullopt;
}

// As the Win32 search: a volume that is faulty, or that nothing was ever added
// on, cannot be reached.
void FakeRuntime::RaiseIfVolumeUnreachable(const std::wstring& path) {
    if (const auto fault = VolumeFault(path)) throw UnreachableVolumeError(*fault);
    const std::wstring root = NormalizePath(VolumeRoot(path));
    if (!root.empty() && !Find(root)) throw UnreachableVolumeError(kWin32PathNotFound);
}

std::vector<std::wstring> FakeRuntime::ListFolder(const std::wstring& folder, const std::wstring& namePattern,
                                                  std::uint32_t mask) {
    std::vector<std::wstring> names;
    auto offer = [&](const std::wstring& name, std::uint32_t attributes) {
        if (MatchesWildcard(namePattern, name) && IsListedByMask(attributes, mask)) names.push_back(name);
    };
    if (!IsDriveRoot(folder)) {
        offer(L".", kAttrDirectory);
        offer(L"..", kAttrDirectory);
    }
    for (const Entry& e : entries_)
        if (EqualIgnoringCase(ParentOf(e.path), folder)) offer(NameOf(e.path), e.attributes);
    return names;
}

std::wstring FakeRuntime::Dir(const std::wstring& pattern, std::uint32_t mask) {
    found_.clear();
    nextFound_ = 0;
    std::wstring slashed = pattern;
    std::replace(slashed.begin(), slashed.end(), L'/', L'\\');
    const auto cut = slashed.rfind(L'\\');
    if (cut == std::wstring::npos) return {};
    const std::wstring folder = NormalizePath(slashed.substr(0, cut + 1));
    const std::wstring namePattern = cut + 1 == slashed.size() ? L"*" : slashed.substr(cut + 1);
    RaiseIfVolumeUnreachable(folder);
    const Entry* entry = HasWildcard(folder) ? nullptr : Find(folder);
    if (entry && (entry->attributes & kAttrDirectory)) found_ = ListFolder(folder, namePattern, mask);
    return DirNext();
}

std::wstring FakeRuntime::DirNext() { return nextFound_ < found_.size() ? found_[nextFound_++] : std::wstring{}; }

std::optional<std::uint32_t> FakeRuntime::GetAttr(const std::wstring& path) {
    if (HasWildcard(path) || VolumeFault(path)) return std::nullopt;
    const Entry* entry = Find(NormalizePath(path));
    if (!entry) return std::nullopt;
    if (EndsWithSeparator(path) && !(entry->attributes & kAttrDirectory)) return std::nullopt;
    return entry->attributes;
}

std::unique_ptr<InputFile> FakeRuntime::OpenForInput(const std::wstring& path) {
    if (path.empty()) throw FileErrorFromWin32(kWin32PathNotFound);
    if (HasWildcard(path)) throw FileErrorFromWin32(kWin32InvalidName);
    if (const auto fault = VolumeFault(path)) throw FileErrorFromWin32(*fault);
    const std::wstring normalized = NormalizePath(path);
    const Entry* entry = Find(normalized);
    if (!entry) {
        const Entry* parent = Find(ParentOf(normalized));
        const bool parentIsFolder = parent && (parent->attributes & kAttrDirectory);
        throw FileErrorFromWin32(parentIsFolder ? kWin32FileNotFound : kWin32PathNotFound);
    }
    if (entry->locked) throw FileErrorFromWin32(kWin32SharingViolation);
    if (entry->attributes & kAttrDirectory) throw FileErrorFromWin32(kWin32AccessDenied);
    return std::make_unique<MemoryInputFile>(entry->bytes);
}

ProgramFacts FakeRuntime::Facts() {
    return {ownFolder_,           L"" KDESK_TITLE_TEXT,   KDESK_VERSION_MAJOR,
            KDESK_VERSION_MINOR, KDESK_VERSION_REVISION, L"" KDESK_DESCRIPTION_TEXT};
}

void FakeRuntime::DoEvents() {
    ++doEventsCalls_;
    if (onDoEvents) onDoEvents();
}

std::string FakeRuntime::ToAnsi(const std::wstring& text) { return ToCp1252(text); }

std::wstring FakeRuntime::FromAnsi(const std::string& bytes) { return FromCp1252(bytes); }

std::wstring FakeRuntime::FormatDateTime(const LocalDateTime& when) {
    if (!IsValidLocalDateTime(when)) return {};
    wchar_t text[32];
    if (IsMidnight(when))
        std::swprintf(text, std::size(text), L"%02d/%02d/%04d", when.day, when.month, when.year);
    else
        std::swprintf(text, std::size(text), L"%02d/%02d/%04d %02d:%02d:%02d", when.day, when.month, when.year,
                      when.hour, when.minute, when.second);
    return text;
}

}  // namespace kdesk
