#include "platform/portable/command_line.h"

#include "platform/portable/case_fold.h"

namespace kdesk {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

bool AsksToSendWaitingOnly(std::wstring_view arguments) {
    while (!arguments.empty()) {
        while (!arguments.empty() && IsBlank(arguments.front())) arguments.remove_prefix(1);
        std::size_t end = 0;
        while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
        std::wstring_view word = arguments.substr(0, end);
        arguments.remove_prefix(end);
        if (word.size() >= 2 && word.front() == L'"' && word.back() == L'"') word = word.substr(1, word.size() - 2);
        if (EqualIgnoringCase(word, L"/invia-sospesi")) return true;
    }
    return false;
}

}  // namespace kdesk
