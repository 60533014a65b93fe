#pragma once
// The Wine prefix's screen DPI (the LogPixels values Wine reads at a process's
// start) for the programs started while an object lives; the previous values
// come back when it goes.
#include <windows.h>

#include <optional>
#include <vector>

namespace kdesk::e2e {

class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi);
    ~PrefixDpi();
    PrefixDpi(const PrefixDpi&) = delete;
    PrefixDpi& operator=(const PrefixDpi&) = delete;

private:
    struct Saved {
        HKEY root;
        const wchar_t* path;
        std::optional<DWORD> value;
    };
    std::vector<Saved> saved_;
};

}  // namespace kdesk::e2e
