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

// Whether the tokens from `token` on match name[j..]; `next` holds the answers
// for the tokens after it, `row` those already found for this token at j + 1.
bool MatchesFrom(const Token& token, std::wstring_view name, std::size_t j, const std::vector<char>& next,
                 const std::vector<char>& row) {
    const std::size_t n = name.size();
    const bool atEnd = j == n;
    const bool atDot = !atEnd && name[j] == L'.';
    const bool restFromHere = next[j] != 0;
    const bool restFromNext = !atEnd && next[j + 1] != 0;
    const bool thisFromNext = !atEnd && row[j + 1] != 0;
    switch (token.kind) {
        case TokenKind::Literal:
            return restFromNext && FoldCase(name[j]) == token.ch;
        case TokenKind::Star:
            return restFromHere || thisFromNext;
        case TokenKind::StarToLastDot: {
            const std::size_t lastDot = name.rfind(L'.');
            if (lastDot == std::wstring_view::npos || j > lastDot) return restFromHere || thisFromNext;
            return restFromHere || (j < lastDot && thisFromNext);
        }
        case TokenKind::OptionalChar:
            return (atEnd || atDot) ? restFromHere : restFromNext;
        case TokenKind::DotOrEnd:
            return atEnd ? restFromHere : (atDot && restFromNext);
    }
    return false;
}

// One row per token, built from the last token backwards.
std::vector<char> MatchRow(const Token& token, std::wstring_view name, const std::vector<char>& next) {
    std::vector<char> row(name.size() + 1, 0);
    for (std::size_t j = name.size() + 1; j-- > 0;) row[j] = MatchesFrom(token, name, j, next, row) ? 1 : 0;
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
