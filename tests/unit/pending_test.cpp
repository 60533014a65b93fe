// Messages that wait to be uploaded: which failures wait, when a waiting
// message is tried, which stop waiting, the record of the tries and the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/command_line.h"
#include "platform/portable/pending_log.h"
#include "platform/portable/pending_rules.h"
#include "platform/portable/pending_state.h"
#include "platform/portable/upload_retry.h"

namespace kdesk {
namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kDay = kMinute * 60 * 24;

TEST(PendingUpload, OnlyFailuresThatCanPassWait) {
    const std::pair<std::uint32_t, bool> cases[] = {
        // the server answered
        {408, true}, {429, true}, {500, true}, {502, true}, {503, true}, {504, true}, {507, true},
        {400, false}, {401, false}, {403, false}, {404, false}, {407, false}, {409, false}, {413, false},
        {301, false}, {501, false}, {505, false}, {599, false},
        // no connection or no answer: WinHTTP, and the socket's numbers that Wine reports
        {12002, true}, {12007, true}, {12029, true}, {12030, true}, {12152, true}, {12167, true}, {12180, true},
        {32, true}, {10053, true}, {10054, true}, {10060, true}, {10061, true}, {10065, true}, {11001, true},
        // the address, TLS and certificates, the operator's cancel, the file, memory
        {12005, false}, {12006, false}, {12017, false}, {12037, false}, {12038, false}, {12045, false},
        {12157, false}, {12175, false}, {12044, false}, {5, false}, {8, false}, {126, false}, {0, false},
    };
    for (const auto& [number, waits] : cases) EXPECT_EQ(FailureCanPass(number), waits) << number;
}

TEST(PendingUpload, TriesArePacedInsideTheProgramOnly) {
    const PendingState tried = AfterFailedTry(std::nullopt, kNow);
    struct Case {
        const char* what;
        std::int64_t now;
        Pacing pacing;
        bool due;
    };
    const Case cases[] = {
        {"right after a failed try", kNow + kMinute, Pacing::AfterPause, false},
        {"a second before the pause ends", kNow + 15 * kMinute - 1, Pacing::AfterPause, false},
        {"the pause over", kNow + 15 * kMinute, Pacing::AfterPause, true},
        {"long after", kNow + kDay, Pacing::AfterPause, true},
        {"clock set back past the pause", kNow - kDay, Pacing::AfterPause, true},
        {"the run for waiting messages, at once", kNow + kMinute, Pacing::AllAtOnce, true},
    };
    for (const Case& c : cases) EXPECT_EQ(DueForTry(tried, c.now, c.pacing), c.due) << c.what;
}

TEST(PendingUpload, AFailedTryCountsAndPutsTheNextOff) {
    const PendingState first = AfterFailedTry(std::nullopt, kNow);
    EXPECT_EQ(first, (PendingState{kNow, 1, kNow + 15 * kMinute}));
    EXPECT_EQ(AfterFailedTry(first, kNow + kDay), (PendingState{kNow, 2, kNow + kDay + 15 * kMinute}));
}

TEST(PendingUpload, AWeekOldAndAllButTheNewestTwentyStopWaiting) {
    std::vector<WaitingMessage> waiting;
    for (int i = 21; i >= 0; --i) waiting.push_back({L"m" + std::to_wstring(i), kNow - i * kMinute});
    EXPECT_EQ(NoLongerWaiting(waiting, kNow), (std::vector<std::wstring>{L"m20", L"m21"}));
    waiting.resize(20);
    EXPECT_TRUE(NoLongerWaiting(waiting, kNow).empty());
    EXPECT_EQ(NoLongerWaiting({{L"week", kNow - 7 * kDay}, {L"older", kNow - 7 * kDay - 1}, {L"new", kNow}}, kNow),
              std::vector<std::wstring>{L"older"});
}

TEST(PendingUpload, TheRecordReadsBackAndAnIncompleteOneIsRefused) {
    const PendingState state{kNow, 3, kNow + 900};
    EXPECT_EQ(PendingStateText(state), "first-try=1800000000\r\ntries=3\r\nnext-try=1800000900\r\n");
    EXPECT_EQ(ParsePendingState(PendingStateText(state)), state);
    EXPECT_EQ(ParsePendingState("tries=3\nnext-try=5\nfirst-try=4\n"), (PendingState{4, 3, 5}));
    for (const char* broken : {"", "first-try=1\r\ntries=2\r\n", "first-try=1\r\ntries=2\r\nnext-try=\r\n",
                               "first-try=1\r\ntries=-2\r\nnext-try=3\r\n", "first-try=1\r\ntries=2x\r\nnext-try=3\r\n",
                               "first-try=1\r\ntries=2\r\nnext-try=3\r\ntries=4\r\n",
                               "first-try=1\r\ntries=99999999999\r\nnext-try=3\r\n"})
        EXPECT_EQ(ParsePendingState(broken), std::nullopt) << broken;
}

TEST(PendingUpload, TheLogLineSaysWhenWhichAndHowItWent) {
    EXPECT_EQ(PendingLogLine({2026, 3, 5, 9, 7, 3}, L"VelAutoMail_0012_ab.eml", kDelivered),
              "05/03/2026 09:07:03  VelAutoMail_0012_ab.eml  consegnato\r\n");
    EXPECT_EQ(PendingLogLine({2026, 12, 31, 23, 59, 59}, L"m.eml", L"Connessione\r\ninterrotta - 12030"),
              "31/12/2026 23:59:59  m.eml  Connessione  interrotta - 12030\r\n");
    EXPECT_EQ(PendingLogLine({2026, 1, 1, 0, 0, 0}, L"m.eml", L"Il server è occupato - 503"),
              "01/01/2026 00:00:00  m.eml  Il server \xC3\xA8 occupato - 503\r\n");
}

TEST(PendingUpload, TheLogKeepsItsLastLines) {
    struct Case {
        std::string log;
        std::size_t keep;
        std::string kept;
    };
    const Case cases[] = {
        {"a\r\nb\r\nc\r\n", 2, "b\r\nc\r\n"},
        {"a\r\nb\r\nc\r\n", 3, "a\r\nb\r\nc\r\n"},
        {"a\r\nb\r\nc\r\n", 500, "a\r\nb\r\nc\r\n"},
        {"a\r\nb\r\nc", 1, "c"},
        {"", 5, ""},
        {"\n\n\n", 2, "\n\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(LastLines(c.log, c.keep), c.kept) << c.log << " " << c.keep;
    std::string log;
    for (int i = 0; i < 501; ++i) log += "line " + std::to_string(i) + "\r\n";
    const std::string_view kept = LastLines(log, kPendingLogLines);
    EXPECT_TRUE(kept.starts_with("line 1\r\n"));
    EXPECT_TRUE(kept.ends_with("line 500\r\n"));
}

TEST(PendingUpload, OnlyTheirOwnArgumentAsksForTheRunWithoutWindow) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"/invia-sospesi", true},      {L"  /INVIA-SOSPESI  ", true}, {L"\"/invia-sospesi\"", true},
        {L"/x /invia-sospesi", true},   {L"\t/invia-sospesi\t", true}, {L"", false},
        {L"/invia-sospesi2", false},    {L"invia-sospesi", false},     {L"/invia sospesi", false},
        {L"-invia-sospesi", false},     {L"\"/invia-sospesi", false},
    };
    for (const auto& [arguments, asks] : cases) EXPECT_EQ(AsksToSendWaitingOnly(arguments), asks) << arguments;
}

}  // namespace
}  // namespace kdesk
