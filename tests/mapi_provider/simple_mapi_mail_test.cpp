// The Simple MAPI mail layer through Wine's mapi32 and the recording provider.
#include <gtest/gtest.h>

#include "platform/win32/mail/mapi_errors.h"
#include "platform/win32/mail/mapi/mapi_outgoing.h"
#include "platform/win32/mail/mapi/simple_mapi_mail.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::mapitest {
namespace {

class MapiLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(RegisterRecordingProvider()); }

    // A file to attach, created in the temp folder.
    static std::wstring TempFile(const std::wstring& name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring path = std::wstring(temp) + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        return path;
    }

    void SignOnAndCompose(SimpleMapiMail& mail) {
        mail.SignOn();
        mail.SetDownLoadMail(false);
        mail.SetSessionID(mail.SessionID());
        mail.Compose();
        mail.SetRecipAddress(L"assistenza@example.org");
    }
};

std::int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST_F(MapiLayer, SendsTheWholeMessageInUnicodeWithoutDialog) {
    Recording record(L"send");
    const std::wstring plain = TempFile(L"SR_MATR.001");
    const std::wstring foreign = TempFile(L"Caff\u00e8 \u21161 \u4e2d.txt");
    const std::wstring subject = L"VelAutoMail_99MEY_20130415_143005 \u20ac";
    const std::wstring body = L"Dati Cliente: Caff\u00e8 \u2116 1\r\n\r\nCordiali saluti\r\nfine";

    SimpleMapiMail mail;
    SignOnAndCompose(mail);
    mail.ResolveName();
    mail.SetMsgSubject(subject);
    mail.SetMsgNoteText(body);
    for (std::int32_t i = 0; i < 2; ++i) {
        mail.SetAttachmentIndex(i);
        mail.SetAttachmentPosition(0);
        mail.SetAttachmentPathName(i == 0 ? plain : foreign);
    }
    mail.Send(false);
    mail.SignOff();

    // Wine's mapi32 frees the resolved recipient itself: no MAPIFreeBuffer reaches the provider.
    EXPECT_EQ(record.Functions(),
              (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"}));
    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].Value("profile"), "<null>");
    EXPECT_EQ(calls[0].Value("password"), "<null>");
    EXPECT_EQ(calls[1].Value("name"), "assistenza@example.org");
    EXPECT_EQ(calls[1].Value("flags"), "0x00000000");
    const RecordedCall& send = calls[2];
    EXPECT_EQ(send.Value("flags"), "0x00000000");
    EXPECT_EQ(FromHex(send.Value("subject.hex")), Utf16Bytes(subject));
    EXPECT_EQ(FromHex(send.Value("body.hex")), Utf16Bytes(body));
    EXPECT_EQ(send.LinesStartingWith("recip"),
              std::vector<std::string>{"recip class=1 name=assistenza@example.org "
                                       "address=SMTP:assistenza@example.org eid=4b4445534b2d45494400"});
    const auto files = send.LinesStartingWith("file");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], "file position=0 path=" + Recorded(plain) + " name=<null> exists=1");
    EXPECT_EQ(files[1], "file position=0 path=" + Recorded(foreign) + " name=<null> exists=1");
}

TEST_F(MapiLayer, UnresolvedRecipientIsSentByItsAddress) {
    Recording record(L"unresolved");
    SimpleMapiMail mail;
    SignOnAndCompose(mail);
    mail.SetRecipAddress(L"altro@example.org");
    mail.Send(false);
    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].LinesStartingWith("recip"),
              std::vector<std::string>{"recip class=1 name=altro@example.org address=altro@example.org eid="});
    EXPECT_EQ(calls[1].Value("files"), "0");
}

struct FailureCase {
    const char* name;
    std::wstring providerFailure;
    std::int32_t signOn, resolve, send, signOff;
};

class MapiLayerFailure : public MapiLayer, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MapiLayerFailure, EachMemberRaisesItsOwnErrorAndTheSessionIsStillClosed) {
    const FailureCase& c = GetParam();
    Recording record(L"failure");
    record.FailCall(c.providerFailure);
    SimpleMapiMail mail;
    EXPECT_EQ(ErrorNumberOf([&] { mail.SignOn(); }), c.signOn);
    mail.SetSessionID(mail.SessionID());
    mail.Compose();
    mail.SetRecipAddress(L"nessuno");
    EXPECT_EQ(ErrorNumberOf([&] { mail.ResolveName(); }), c.resolve);
    mail.SetMsgSubject(L"s");
    EXPECT_EQ(ErrorNumberOf([&] { mail.Send(false); }), c.send);
    EXPECT_EQ(ErrorNumberOf([&] { mail.SignOff(); }), c.signOff);
    EXPECT_EQ(mail.SessionID(), 0);
    if (c.signOn == 0) {
        EXPECT_EQ(record.Functions().back(), "MAPILogoff");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MapiLayerFailure,
    ::testing::Values(FailureCase{"LogonRefused", L"MAPILogon=3", 32003, 32053, 32053, 32053},
                      FailureCase{"LogonCancelled", L"MAPILogon=1", 32001, 32053, 32053, 32053},
                      FailureCase{"UnknownRecipient", L"MAPIResolveName=14", 0, 32014, 0, 0},
                      FailureCase{"AmbiguousRecipient", L"MAPIResolveName=21", 0, 32021, 0, 0},
                      FailureCase{"AttachmentNotFound", L"MAPISendMailW=11", 0, 0, 32011, 0},
                      FailureCase{"SendFailure", L"MAPISendMailW=2", 0, 0, 32002, 0},
                      FailureCase{"LogoffFailure", L"MAPILogoff=19", 0, 0, 0, 32019}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MapiLayer, AttachmentsAreAddedOnlyAtTheNextFreeIndexAndNeedAPath) {
    Recording record(L"attachments");
    SimpleMapiMail mail;
    SignOnAndCompose(mail);
    EXPECT_EQ(ErrorNumberOf([&] { mail.SetAttachmentIndex(1); }), 32054);
    EXPECT_EQ(ErrorNumberOf([&] { mail.SetAttachmentIndex(-1); }), 32054);
    mail.SetAttachmentIndex(0);
    mail.SetAttachmentPosition(0);
    try {
        mail.Send(false);
        ADD_FAILURE() << "a message with an attachment without a file was sent";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 32055);
        EXPECT_EQ(error.Description(), L"Allegato senza percorso del file: 0") << "as the fake mail layer words it";
    }
    EXPECT_EQ(record.Functions(), std::vector<std::string>{"MAPILogon"});
    mail.SignOff();
}

TEST_F(MapiLayer, AttachmentWhoseFileIsGoneIsNamedAndLeftOutOfTheMessage) {
    Recording record(L"gone");
    const std::wstring present = TempFile(L"SR_ERR.001");
    const std::wstring gone = present + L".gone";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SimpleMapiMail mail;
    SignOnAndCompose(mail);
    std::wstring description;
    const std::wstring paths[] = {gone, present, temp};
    std::vector<std::int32_t> errors;
    for (std::int32_t i = 0; i < 3; ++i) {
        mail.SetAttachmentIndex(i);
        mail.SetAttachmentPosition(0);
        try {
            mail.SetAttachmentPathName(paths[i]);
            errors.push_back(0);
        } catch (const RuntimeError& error) {
            errors.push_back(error.Number());
            if (i == 0) description = error.Description();
        }
    }
    EXPECT_EQ(errors, (std::vector<std::int32_t>{32011, 0, 32011}));  // a folder is no file to attach
    EXPECT_EQ(description, L"Allegato non trovato: " + gone);
    mail.Send(false);
    mail.SignOff();
    const auto calls = record.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].LinesStartingWith("file"),
              std::vector<std::string>{"file position=0 path=" + Recorded(present) + " name=<null> exists=1"});
}

TEST_F(MapiLayer, MissingLibraryOrEntryPointIsAMailError) {
    SimpleMapiMail missing(L"kdesk_no_such_mapi.dll");
    EXPECT_EQ(ErrorNumberOf([&] { missing.SignOn(); }), 32050);
    SimpleMapiMail notMapi(L"kernel32.dll");
    try {
        notMapi.SignOn();
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 32051);
        EXPECT_NE(error.Description().find(L"MAPILogon"), std::wstring::npos);
    }
    EXPECT_EQ(ErrorNumberOf([&] { notMapi.SignOff(); }), 32053);
}

TEST(MapiErrors, NumbersFollowTheSimpleMapiCodes) {
    const struct {
        ULONG code;
        std::int32_t number;
        std::wstring description;
    } cases[] = {
        {1, 32001, L"Operazione annullata dall'utente"},
        {3, 32003, L"Accesso al sistema di posta non riuscito"},
        {14, 32014, L"Destinatario sconosciuto"},
        {7, 32007, L"Errore sconosciuto del sistema di posta (codice MAPI 7)"},
        {50, 32002, L"Errore generico del sistema di posta (codice MAPI 50)"},
        {0x80004005, 32002, L"Errore generico del sistema di posta (codice MAPI 2147500037)"},
    };
    for (const auto& c : cases) {
        const RuntimeError error = MapiError(c.code);
        EXPECT_EQ(error.Number(), c.number) << c.code;
        EXPECT_EQ(error.Description(), c.description) << c.code;
    }
}

TEST(MapiText, PathOutsideTheAnsiCodePageGoesByAShortNameThatStillExists) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"Caff\u00e8 \u21161 \u4e2d.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const std::string ansi = AnsiPath(path);
    EXPECT_NE(GetFileAttributesA(ansi.c_str()), INVALID_FILE_ATTRIBUTES) << ansi;
    EXPECT_EQ(AnsiPath(L"C:\\plain\\name.txt"), "C:\\plain\\name.txt");
}

}  // namespace
}  // namespace kdesk::mapitest
