#pragma once
// Names of the unsent drafts kept in the outbox folder, and which old ones go.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kdesk {

// The subject as a file name stem: characters a Windows file name cannot hold
// become "_", trailing dots and blanks go, at most 100 characters; a reserved
// device name (CON, NUL, COM1, ...) gets "_" in front; "messaggio" when empty.
std::wstring DraftFileStem(std::wstring_view subject);

// "stem.eml" for the first try, "stem (n).eml" for the nth.
std::wstring DraftFileName(std::wstring_view stem, int attempt);

struct DraftFile {
    std::wstring name;
    std::uint64_t lastWrite = 0;
};

// The drafts to remove so that only the `keep` newest stay.
std::vector<std::wstring> DraftsToRemove(std::vector<DraftFile> drafts, std::size_t keep);

}  // namespace kdesk
