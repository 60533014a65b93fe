// Where Simple MAPI cannot deliver, the support message opens as a draft in the
// program Windows associates with .eml files (here the catcher): no mail client
// registered, a client of the other bitness, and no program for .eml files at
// all. A failing sign-on or send of a working client is in send_mail_test.cpp.
#include <gtest/gtest.h>

#include "tests/e2e/drafts.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recording;

const std::wstring kSubject = L"Caff\u00e8 \u2116 1";
const std::wstring kMessage = L"Stampante ferma: \u00abErrore 12\u00bb \u2013 riprovato alle 9:00";

class DraftMailE2e : public MailSessionE2e {
protected:
    void SetUp() override {
        MailSessionE2e::SetUp();
        pos->WriteFile(data + L"\\Scontrino caff\u00e8 \u2116 1.001", std::string("\0\x01\xff\r\n--=_K\n", 11));
    }

    void Start() {
        MailSessionE2e::Start(L"Bar Roma\r\nVia Po 1", kMessage);
        SendMessageW(MainControl(main, L"txtSubject"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSubject.c_str()));
    }

    ExpectedDraft Expected() const {
        return {ControlText(MainControl(main, L"txtSendTo")), kSubject + L"_99MEY012345_\\d{8}_\\d{6}",
                ControlText(MainControl(main, L"txtMessage")) + kReportClosing, ListEntries(MainControl(main, L"List1"))};
    }
};

// Several recipients, with blanks pasted around them, become an address list.
TEST_F(DraftMailE2e, NoMailClientOpensTheMessageAsADraftInTheMailProgram) {
    const MailClientForTest none;
    Recording record(L"e2e_draft_no_client");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::wstring recipients = L" " KDESK_SUPPORT_MAILBOX_TEXT L"; Bar Roma <bar@roma.example> ";
    SendMessageW(MainControl(main, L"txtSendTo"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(recipients.c_str()));

    const auto boxes = PressSend(IDOK, 1);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    const std::wstring draft = drafts->WaitForOne();
    ASSERT_FALSE(draft.empty()) << "no draft reached the mail program";
    EXPECT_TRUE(record.Functions().empty());
    ExpectedDraft expected = Expected();
    expected.to = L"" KDESK_SUPPORT_MAILBOX_TEXT L", Bar Roma <bar@roma.example>";
    KeepForMimeCheck(draft, "no_mail_client", expected);
}

// Without an address book, a recipient that cannot be an address is reported
// as unknown; the draft still opens, for the operator to correct it there.
TEST_F(DraftMailE2e, ClientOfTheOtherBitnessIsNotCalledAndAnImplausibleRecipientIsReported) {
    const std::wstring dll = pos->Scratch() + L"\\Client\\mapi_other_bitness.dll";
    pos->WriteFile(dll, PeHeadersFor(OtherMachine()));
    const MailClientForTest otherBitness(dll);
    Recording record(L"e2e_draft_other_bitness");
    ASSERT_NO_FATAL_FAILURE(Start());
    SendMessageW(MainControl(main, L"txtSendTo"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"assistenza"));

    const auto boxes = PressSend(IDOK, 2);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].prompt, L"SendMail: Destinatario sconosciuto - 32014");
    EXPECT_EQ(boxes[1].prompt, kConfirmQuestion);
    EXPECT_FALSE(drafts->WaitForOne().empty());
    EXPECT_TRUE(record.Functions().empty());
}

TEST_F(DraftMailE2e, NoProgramForDraftsShowsWhereTheDraftIsAndExplorerShowsIt) {
    const MailClientForTest none;
    const NoEmlProgram noProgram;
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = PressSend(IDOK, 2);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    const std::wstring& box = boxes[1].prompt;
    EXPECT_EQ(boxes[1].title, L"" KDESK_TITLE_TEXT);
    EXPECT_TRUE(box.starts_with(L"Nessun programma di posta ha potuto prendere il messaggio.")) << mapitest::Utf8(box);
    EXPECT_NE(box.find(L"all'indirizzo " KDESK_SUPPORT_MAILBOX_TEXT L"."), std::wstring::npos);
    const std::size_t start = box.find(L"C:\\");
    const std::wstring path = box.substr(start, box.find(L"\r\n", start) - start);
    EXPECT_NE(path.find(L"\\KdeskSupport\\Outbox\\Caff\u00e8 \u2116 1_99MEY012345_"), std::wstring::npos);
    EXPECT_TRUE(path.ends_with(L".eml"));
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "the draft is not where the box says";
    EXPECT_TRUE(drafts->Files().empty());

    const HWND explorer = WaitForWindowTitled(L"Outbox", program->Id());
    EXPECT_NE(explorer, nullptr) << "Explorer did not show the draft's folder";
    if (explorer) PostMessageW(explorer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ControlText(MainControl(main, L"txtMessage")).ends_with(kMessage));
}

// The new Outlook registers no mail client and may own no .eml association.
TEST_F(DraftMailE2e, WithoutAnEmlProgramTheNewOutlookTakesTheDraft) {
    const MailClientForTest none;
    const NoEmlProgram noProgram;
    const NewOutlookForTest outlook(pos->Scratch() + L"\\NewOutlook");
    ASSERT_NO_FATAL_FAILURE(Start());

    const auto boxes = PressSend(IDOK, 1);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kConfirmQuestion);
    EXPECT_FALSE(drafts->WaitForOne().empty()) << "olk.exe was not given the draft";
}

}  // namespace
}  // namespace kdesk::e2e
