#include "platform/portable/draft_files.h"

#include <algorithm>
#include <array>

#include "platform/portable/case_fold.h"

namespace kdesk {
namespace {

constexpr std::size_t kMaxStem = 100;
constexpr std::wstring_view kForbidden = L"\\/:*?\"<>|";
constexpr std::string_view kMarkPrefix = "X-Mailer: KdeskSupport ";

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// COM and LPT take a digit, and also a superscript one: Windows maps "COM\u00b9" to COM1.
bool IsPortDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'\u00b9' || c == L'\u00b2' || c == L'\u00b3'; }

bool IsReservedDeviceName(std::wstring_view stem) {
    static constexpr std::array<std::wstring_view, 6> kDevices{L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    // Windows takes the part before the first dot, without trailing blanks and
    // dots, for the device: "NUL .txt" opens NUL.
    std::wstring_view base = stem.substr(0, stem.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L'.')) base.remove_suffix(1);
    if (std::ranges::any_of(kDevices, [&](std::wstring_view name) { return EqualIgnoringCase(base, name); }))
        return true;
    return base.size() == 4 && (EqualIgnoringCase(base.substr(0, 3), L"COM") || EqualIgnoringCase(base.substr(0, 3), L"LPT")) &&
           IsPortDigit(base[3]);
}

bool AllDigits(std::wstring_view text) {
    return std::ranges::all_of(text, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// "_yyyymmdd_hhmmss", as every subject the program sends ends.
bool EndsInTimeStamp(std::wstring_view stem) {
    constexpr std::size_t kLength = 16;
    if (stem.size() < kLength) return false;
    const std::wstring_view tail = stem.substr(stem.size() - kLength);
    return tail[0] == L'_' && tail[9] == L'_' && AllDigits(tail.substr(1, 8)) && AllDigits(tail.substr(10));
}

// The stem without the " (n)" of a name that was taken.
std::wstring_view WithoutAttemptNumber(std::wstring_view stem) {
    if (!stem.ends_with(L')')) return stem;
    const std::size_t open = stem.rfind(L" (");
    if (open == std::wstring_view::npos) return stem;
    const std::wstring_view number = stem.substr(open + 2, stem.size() - open - 3);
    return !number.empty() && AllDigits(number) ? stem.substr(0, open) : stem;
}

}  // namespace

std::wstring DraftFileStem(std::wstring_view subject) {
    std::size_t length = std::min(subject.size(), kMaxStem);
    if (length > 0 && length < subject.size() && IsHighSurrogate(subject[length - 1])) --length;
    std::wstring stem;
    for (wchar_t c : subject.substr(0, length))
        stem += (c < 0x20 || kForbidden.find(c) != std::wstring_view::npos) ? L'_' : c;
    while (!stem.empty() && (stem.back() == L'.' || stem.back() == L' ')) stem.pop_back();
    if (stem.empty()) return L"messaggio";
    return IsReservedDeviceName(stem) ? L"_" + stem : stem;
}

std::wstring DraftFileName(std::wstring_view stem, int attempt, std::wstring_view extension) {
    std::wstring name(stem);
    if (attempt > 1) name += L" (" + std::to_wstring(attempt) + L")";
    return name.append(extension);
}

std::string DraftMarkHeader(std::string_view version) {
    std::string header(kMarkPrefix);
    header += version;
    return header + "\r\n";
}

bool CarriesDraftMark(std::string_view firstBytes) {
    const std::string_view head = firstBytes.substr(0, kDraftMarkSearch);
    return head.starts_with(kMarkPrefix) || head.find("\r\n" + std::string(kMarkPrefix)) != std::string_view::npos;
}

bool HasExtension(std::wstring_view name, std::wstring_view extension) {
    return name.size() > extension.size() && EqualIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

bool IsPartName(std::wstring_view name) {
    if (!HasExtension(name, L".eml.part") && !HasExtension(name, L".zip.part")) return false;
    std::wstring_view stem = name.substr(0, name.size() - std::wstring_view(L".eml.part").size());
    stem = WithoutAttemptNumber(stem);
    // A subject cut to the stem's length has lost its time stamp.
    return EndsInTimeStamp(stem) || stem.size() + 1 >= kMaxStem;
}

std::vector<std::wstring> DraftsToRemove(std::vector<DraftFile> drafts, std::size_t keep) {
    std::ranges::stable_sort(drafts, std::ranges::greater{}, &DraftFile::lastWrite);
    std::vector<std::wstring> old;
    for (std::size_t i = keep; i < drafts.size(); ++i) old.push_back(drafts[i].name);
    return old;
}

}  // namespace kdesk
