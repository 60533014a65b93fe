#pragma once
// Names of the unsent drafts kept in the outbox folder, the mark that tells the
// program's own drafts from other files there, and which old ones go.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk {

// The subject as a file name stem: characters a Windows file name cannot hold
// become "_", trailing dots and blanks go, at most 100 characters (never half a
// surrogate pair); a name Windows takes for a device (CON, NUL, COM1, CONIN$,
// ...) gets "_" in front; "messaggio" when empty.
std::wstring DraftFileStem(std::wstring_view subject);

// "stem.eml" for the first try, "stem (n).eml" for the nth (or another extension).
std::wstring DraftFileName(std::wstring_view stem, int attempt, std::wstring_view extension = L".eml");

// The header line that marks a draft as written by this program; the clean-up
// looks for it in the first bytes of a file.
std::string DraftMarkHeader(std::string_view version);
inline constexpr std::size_t kDraftMarkSearch = 512;
bool CarriesDraftMark(std::string_view firstBytes);

// Whether a long file name ends in exactly this extension (".eml"), letter
// case aside: a wildcard search also matches "x.emlx" through its short name.
bool HasExtension(std::wstring_view name, std::wstring_view extension);

// Whether a file name is one the program writes a draft or an archive under
// until it is complete: "<stem>.eml.part" or "<stem>.zip.part" (with " (n)"
// after the stem), the stem being a subject that ends in its time stamp
// "_yyyymmdd_hhmmss", or one cut to the stem's length. Other files stay.
bool IsPartName(std::wstring_view name);

struct DraftFile {
    std::wstring name;
    std::uint64_t lastWrite = 0;
};

// The drafts to remove so that only the `keep` newest stay.
std::vector<std::wstring> DraftsToRemove(std::vector<DraftFile> drafts, std::size_t keep);

}  // namespace kdesk
