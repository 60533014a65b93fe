#include <gtest/gtest.h>

#include "platform/portable/case_fold.h"
#include "platform/portable/wildcard_match.h"

namespace kdesk {
namespace {

TEST(RuntimeWildcard, WindowsMatchingRules) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    };
    const Case cases[] = {
        {L"*.TXT", L"logfile.txt", true},
        {L"*.txt", L"LOGFILE.TXT", true},
        {L"*.TXT", L"logfile.txt.bak", false},
        {L"*.TXT", L"a.b.txt", true},
        {L"*.TXT", L"txt", false},
        {L"*.001", L"SR_MATR.001", true},
        {L"*.001", L"SR_MATR.0011", false},
        {L"*.000", L"SR_MATR.001", false},
        {L"KDCHKCOM.TXT", L"kdchkcom.txt", true},
        {L"KDCHKCOM.TXT", L"KDCHKCOM.TXT2", false},
        {L"*", L"anything.at.all", true},
        {L"*", L".", true},
        {L"*.*", L"README", true},
        {L"*.*", L".", true},
        {L"*.", L"README", true},
        {L"*.", L"read.me", false},
        {L"a.*", L"a", true},
        {L"a.*", L"a.b", true},
        {L"a.*", L"ab", false},
        {L"?", L"a", true},
        {L"?", L"ab", false},
        {L"??.001", L"a.001", true},
        {L"??.001", L"abc.001", false},
        {L"a?c", L"abc", true},
        {L"a?c", L"a.c", false},
        {L"*a*b*", L"xxaxxbxx", true},
        {L"*a*b*", L"xxbxxaxx", false},
        {L"**.txt", L"a.txt", true},
        {L"", L"", true},
        {L"", L"a", false},
        {L"CAFF\x00C8*", L"caff\x00E8 \x2116" L"1.txt", true},
        {L"\x041E\x0422\x0427\x0401\x0422.*", L"\x043E\x0442\x0447\x0451\x0442.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pattern)) + " / " +
                     testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches);
    }
}

TEST(RuntimeWildcard, LongNamesMatchWithoutBacktrackingBlowUp) {
    const std::wstring name(2000, L'a');
    EXPECT_FALSE(MatchesWildcard(L"*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(MatchesWildcard(L"*a*a*a*a*a*a*a*a*a*a*", name));
}

TEST(RuntimeWildcard, CaseFoldingCoversWesternLetters) {
    EXPECT_TRUE(EqualIgnoringCase(L"\x00E0\x00E8\x00EC\x00F2\x00F9\x00FF", L"\x00C0\x00C8\x00CC\x00D2\x00D9\x0178"));
    EXPECT_TRUE(EqualIgnoringCase(L"\x0153\x0161\x017E", L"\x0152\x0160\x017D"));
    EXPECT_FALSE(EqualIgnoringCase(L"\x00F7", L"\x00D7")) << "division and multiplication signs are no letters";
    EXPECT_FALSE(EqualIgnoringCase(L"ab", L"abc"));
}

}  // namespace
}  // namespace kdesk
