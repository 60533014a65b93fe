#include "platform/portable/draft_files.h"

#include <algorithm>
#include <array>

#include "platform/portable/case_fold.h"

namespace kdesk {
namespace {

constexpr std::size_t kMaxStem = 100;
constexpr std::wstring_view kForbidden = L"\\/:*?\"<>|";

bool IsReservedDeviceName(std::wstring_view stem) {
    static constexpr std::array<std::wstring_view, 22> kReserved{
        L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",
        L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
    // Windows treats "NUL.txt" like "NUL": the part before the first dot counts.
    const std::wstring_view base = stem.substr(0, stem.find(L'.'));
    return std::ranges::any_of(kReserved, [&](std::wstring_view name) { return EqualIgnoringCase(base, name); });
}

}  // namespace

std::wstring DraftFileStem(std::wstring_view subject) {
    std::wstring stem;
    for (wchar_t c : subject.substr(0, kMaxStem))
        stem += (c < 0x20 || kForbidden.find(c) != std::wstring_view::npos) ? L'_' : c;
    while (!stem.empty() && (stem.back() == L'.' || stem.back() == L' ')) stem.pop_back();
    if (stem.empty()) return L"messaggio";
    return IsReservedDeviceName(stem) ? L"_" + stem : stem;
}

std::wstring DraftFileName(std::wstring_view stem, int attempt) {
    std::wstring name(stem);
    if (attempt > 1) name += L" (" + std::to_wstring(attempt) + L")";
    return name + L".eml";
}

std::vector<std::wstring> DraftsToRemove(std::vector<DraftFile> drafts, std::size_t keep) {
    std::ranges::stable_sort(drafts, std::ranges::greater{}, &DraftFile::lastWrite);
    std::vector<std::wstring> old;
    for (std::size_t i = keep; i < drafts.size(); ++i) old.push_back(drafts[i].name);
    return old;
}

}  // namespace kdesk
