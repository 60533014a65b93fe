// Files that would make the message too large for mail servers go as one ZIP
// archive, through the mail client as in a draft; an archive that is still too
// large is announced, and the message is sent all the same.
#include <gtest/gtest.h>

#include "build_facts.h"
#include "tests/e2e/drafts.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recording;

constexpr std::size_t kMegabyte = 1000 * 1000;

// Years of cash-register journal: text that compresses well.
std::string JournalText(std::size_t size, unsigned seed) {
    std::string text;
    text.reserve(size + 100);
    for (unsigned line = seed; text.size() < size; ++line)
        text += "2026-12-07 14:" + std::to_string(10 + line % 50) + " CASSA 1 scontrino " +
                std::to_string(line * 7919 % 100000) + " totale " + std::to_string(line % 97) + ",50 EUR\r\n";
    text.resize(size);
    return text;
}

std::string Noise(std::size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

// The path of the one file the recorded send carried.
std::wstring SentArchive(const Recording& record) {
    const auto calls = record.Calls();
    for (const auto& call : calls) {
        if (call.function.rfind("MAPISendMail", 0) != 0) continue;
        const auto files = call.LinesStartingWith("file");
        if (files.size() != 1) return {};
        const std::string& line = files[0];
        const std::size_t start = line.find("path=") + 5;
        std::wstring path;  // plain ASCII here, with its backslashes doubled
        for (std::size_t i = start; i < line.find(" name="); ++i) {
            path += static_cast<wchar_t>(line[i]);
            if (line[i] == '\\') ++i;
        }
        return path;
    }
    return {};
}

class LargeMailE2e : public MailSessionE2e {
protected:
    void Start() {
        MailSessionE2e::Start(L"Bar Roma", L"Cassa lenta");
        SendMessageW(MainControl(main, L"txtSubject"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Giornale"));
    }
    void WriteJournals() {
        for (unsigned i = 1; i <= 3; ++i)
            pos->WriteFile(data + L"\\GIORNALE" + std::to_wstring(i) + L".001", JournalText(10 * kMegabyte, i));
    }
    std::vector<std::wstring> Listed() const { return ListEntries(MainControl(main, L"List1")); }
};

TEST_F(LargeMailE2e, FilesOverTheLimitReachTheMailClientAsOneZipArchive) {
    WriteJournals();
    Recording record(L"e2e_zip_mapi");
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto listed = Listed();

    const auto boxes = PressSend(IDOK, 1, std::chrono::seconds(3));

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    const std::wstring archive = SentArchive(record);
    ASSERT_TRUE(archive.ends_with(L".zip")) << mapitest::Utf8(archive);
    EXPECT_NE(archive.find(L"\\KdeskSupport\\Outbox\\Giornale_99MEY012345_"), std::wstring::npos);
    KeepArchiveForCheck(archive, "zip_mail_client", listed);
    EXPECT_EQ(Listed(), listed);
}

TEST_F(LargeMailE2e, FilesOverTheLimitGoInTheDraftAsOneZipArchive) {
    WriteJournals();
    const MailClientForTest none;
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto listed = Listed();

    const auto boxes = PressSend(IDOK, 1, std::chrono::seconds(3));

    ASSERT_EQ(boxes.size(), 1u);
    const std::wstring draft = drafts->WaitForOne(std::chrono::seconds(30));
    ASSERT_FALSE(draft.empty()) << "no draft reached the mail program";
    ExpectedDraft expected{ControlText(MainControl(main, L"txtSendTo")), L"Giornale_99MEY012345_\\d{8}_\\d{6}",
                           ControlText(MainControl(main, L"txtMessage")) + kReportClosing, {}, listed};
    KeepForMimeCheck(draft, "zip_draft", expected);
}

TEST_F(LargeMailE2e, AnArchiveStillTooLargeIsAnnouncedAndSent) {
    pos->WriteFile(data + L"\\DUMP.001", Noise(16 * kMegabyte));
    Recording record(L"e2e_zip_too_large");
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = PressSend(IDOK, 2, std::chrono::seconds(3));

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    EXPECT_EQ(boxes[1].title, L"" KDESK_TITLE_TEXT);
    const std::wstring archive = SentArchive(record);
    ASSERT_TRUE(archive.ends_with(L".zip"));
    EXPECT_NE(boxes[1].prompt.find(std::to_wstring(KDESK_MAIL_LIMIT_MB) + L" MB"), std::wstring::npos) << mapitest::Utf8(boxes[1].prompt);
    EXPECT_NE(boxes[1].prompt.find(archive), std::wstring::npos) << mapitest::Utf8(boxes[1].prompt);
}

}  // namespace
}  // namespace kdesk::e2e
