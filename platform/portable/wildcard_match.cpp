#include "platform/portable/wildcard_match.h"

#include <vector>

#include "platform/portable/case_fold.h"

namespace kdesk {

namespace {

enum class TokenKind { Literal, Star, StarToLastDot, OptionalChar, DotOrEnd };

struct Token {
    TokenKind kind;
    wchar_t ch;
};

std::vector<Token> Tokenize(std::wstring_view pattern) {
    std::vector<Token> tokens;
    if (pattern == L"*.*") return {{TokenKind::Star, L'*'}};
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (c == L'?') {
            tokens.push_back({TokenKind::OptionalChar, c});
        } else if (c == L'*') {
            tokens.push_back({next == L'.' ? TokenKind::StarToLastDot : TokenKind::Star, c});
        } else if (c == L'.' && (next == L'*' || next == L'?' || next == L'\0')) {
            tokens.push_back({TokenKind::DotOrEnd, c});
        } else {
            tokens.push_back({TokenKind::Literal, FoldCase(c)});
        }
    }
    return tokens;
}

// matches[j]: whether the tokens from the current one on match name[j..].
// Built from the last token backwards, one row per token.
std::vector<char> MatchRow(const Token& token, std::wstring_view name, const std::vector<char>& next) {
    const std::size_t n = name.size();
    const std::size_t lastDot = name.rfind(L'.');
    std::vector<char> row(n + 1, 0);
    for (std::size_t j = n + 1; j-- > 0;) {
        const bool atEnd = j == n;
        const bool atDot = !atEnd && name[j] == L'.';
        switch (token.kind) {
            case TokenKind::Literal:
                row[j] = !atEnd && FoldCase(name[j]) == token.ch && next[j + 1];
                break;
            case TokenKind::Star:
                row[j] = next[j] || (!atEnd && row[j + 1]);
                break;
            case TokenKind::StarToLastDot:
                if (lastDot == std::wstring_view::npos || j > lastDot)
                    row[j] = next[j] || (!atEnd && row[j + 1]);
                else
                    row[j] = next[j] || (j < lastDot && row[j + 1]);
                break;
            case TokenKind::OptionalChar:
                row[j] = (!atEnd && !atDot && next[j + 1]) || ((atEnd || atDot) && next[j]);
                break;
            case TokenKind::DotOrEnd:
                row[j] = (atDot && next[j + 1]) || (atEnd && next[j]);
                break;
        }
    }
    return row;
}

}  // namespace

bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name) {
    const std::vector<Token> tokens = Tokenize(pattern);
    std::vector<char> row(name.size() + 1, 0);
    row[name.size()] = 1;
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) row = MatchRow(*token, name, row);
    return row[0] != 0;
}

bool HasWildcard(std::wstring_view text) { return text.find_first_of(L"*?") != std::wstring_view::npos; }

}  // namespace kdesk
