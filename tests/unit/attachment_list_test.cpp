#include <gtest/gtest.h>

#include "modules/ModMapi.h"
#include "tests/unit/form_fixture.h"

namespace kdesk::test {
namespace {

using Entries = std::vector<std::wstring>;

struct ScanCase {
    const char* name;
    std::wstring dataPath, txtPath;
    std::int16_t port;
    std::vector<std::pair<std::wstring, std::uint32_t>> files;  // path, attributes
    Entries expected;
};

const std::wstring D = L"C:\\ProgramData\\VELKDESK";
const std::wstring A = L"C:\\VelKdesk";

class AttachmentScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(AttachmentScan, ListsTheDataFolderFilesThenTheApplicationTextFiles) {
    const ScanCase& c = GetParam();
    FormFixture f;
    f.runtime.AddFolder(D);
    f.runtime.AddFolder(A);
    for (const auto& [path, attrs] : c.files) f.runtime.AddFile(path, "x", attrs);
    f.vars.gDataPath = c.dataPath;
    f.vars.gTxtPath = c.txtPath;
    f.vars.gComPort = c.port;
    f.List1.AddItem(L"C:\\left\\over.txt");

    FillAttachmentList(f.platform, f.vars, f.List1);

    EXPECT_EQ(f.List1.Items(), c.expected);
    EXPECT_EQ(f.List1.OpenUpdates(), 0);
    EXPECT_TRUE(f.runtime.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttachmentScan,
    ::testing::Values(
        ScanCase{"PortOne",
                 D, A, 1,
                 {{D + L"\\SR_MATR.001", kAttrArchive},
                  {D + L"\\SR_ERR.001", kAttrArchive},
                  {D + L"\\SR_MATR.002", kAttrArchive},
                  {A + L"\\LOGFILE.TXT", kAttrArchive}},
                 {D + L"\\SR_MATR.001", D + L"\\SR_ERR.001", A + L"\\LOGFILE.TXT"}},
        ScanCase{"NoPortSearchesDotZeroZeroZero",
                 D, A, 0,
                 {{D + L"\\SR_MATR.000", kAttrArchive}, {D + L"\\SR_MATR.001", kAttrArchive}},
                 {D + L"\\SR_MATR.000"}},
        ScanCase{"EmptyTextFolderGivesDataFilesOnly",
                 D, L"", 1,
                 {{D + L"\\SR_MATR.001", kAttrArchive}, {A + L"\\LOGFILE.TXT", kAttrArchive}},
                 {D + L"\\SR_MATR.001"}},
        ScanCase{"HiddenSystemAndFolderEntriesAreSkipped",
                 D, A, 2,
                 {{D + L"\\HIDDEN.002", kAttrHidden},
                  {D + L"\\SYSTEM.002", kAttrSystem},
                  {D + L"\\SUB.002\\inner.txt", kAttrArchive},
                  {D + L"\\READONLY.002", kAttrReadOnly},
                  {A + L"\\notes.txt", kAttrArchive}},
                 {D + L"\\READONLY.002", A + L"\\notes.txt"}},
        ScanCase{"MissingFoldersGiveNothing",
                 L"C:\\Missing", L"D:\\Absent", 1,
                 {{D + L"\\SR_MATR.001", kAttrArchive}},
                 {}},
        ScanCase{"FolderWithOnlyHiddenFilesGivesNothing",
                 D, A, 3,
                 {{D + L"\\SR_MATR.003", kAttrHidden}, {A + L"\\LOG.TXT", kAttrHidden}},
                 {}},
        ScanCase{"DataFolderEntriesComeFirstEvenWhenTheFoldersAreTheSame",
                 A, A, 4,
                 {{A + L"\\A.TXT", kAttrArchive}, {A + L"\\B.004", kAttrArchive}},
                 {A + L"\\B.004", A + L"\\A.TXT"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ListFixture : FormFixture {
    ListFixture() {
        runtime.AddFolder(D);
        runtime.AddFile(D + L"\\SR_MATR.001");
        vars.gDataPath = D;
        vars.gComPort = 1;
        form.cmdLoadDati_Click();
    }
};

TEST(AttachmentCommands, RefreshDropsEntriesAddedByHand) {
    ListFixture f;
    f.CommonDialog1.QueueChoice(L"C:\\x\\chosen.log");
    f.form.cmdAddFile_Click();
    ASSERT_EQ(f.List1.ListCount(), 2);
    f.form.cmdLoadDati_Click();
    EXPECT_EQ(f.List1.Items(), Entries{D + L"\\SR_MATR.001"});
}

TEST(AttachmentCommands, AddAppendsTheChosenFileAndAllowsDuplicates) {
    ListFixture f;
    const std::wstring chosen = L"C:\\Scontrini\\Caff\u00e8 \u21161.txt";
    f.CommonDialog1.QueueChoice(chosen);
    f.CommonDialog1.QueueChoice(chosen);
    f.form.cmdAddFile_Click();
    f.form.cmdAddFile_Click();
    EXPECT_EQ(f.List1.Items(), (Entries{D + L"\\SR_MATR.001", chosen, chosen}));
    EXPECT_TRUE(f.runtime.Messages().empty());
}

TEST(AttachmentCommands, CancelledDialogChangesNothingEvenAfterAnEarlierChoice) {
    ListFixture f;
    f.CommonDialog1.QueueCancel();
    f.form.cmdAddFile_Click();
    f.CommonDialog1.QueueChoice(L"C:\\a.txt");
    f.form.cmdAddFile_Click();
    f.CommonDialog1.QueueCancel();
    f.form.cmdAddFile_Click();
    EXPECT_EQ(f.List1.Items(), (Entries{D + L"\\SR_MATR.001", L"C:\\a.txt"}));
    EXPECT_EQ(f.CommonDialog1.TimesShown(), 3);
    EXPECT_TRUE(f.runtime.Messages().empty());
}

struct RemovalCase {
    const char* name;
    int selected;
    MsgResult answer;
    Entries expected;
    bool asked;
};

class AttachmentRemoval : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(AttachmentRemoval, AsksAndRemovesOnlyTheSelectedEntryOnOk) {
    const RemovalCase& c = GetParam();
    FormFixture f;
    for (const wchar_t* item : {L"a", L"b", L"c"}) f.List1.AddItem(item);
    f.List1.Select(c.selected);
    f.runtime.QueueAnswer(c.answer);

    f.form.List1_Click();

    EXPECT_EQ(f.List1.Items(), c.expected);
    if (!c.asked) {
        EXPECT_TRUE(f.runtime.Messages().empty());
        return;
    }
    ASSERT_EQ(f.runtime.Messages().size(), 1u);
    const ShownMessage& box = f.runtime.Messages()[0];
    EXPECT_EQ(box.prompt, L"Confermi cancellazione item ?");
    EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
    EXPECT_EQ(box.title, std::optional<std::wstring>(L""));
    if (c.answer == MsgResult::Cancel) {
        EXPECT_EQ(f.List1.ListIndex(), c.selected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttachmentRemoval,
    ::testing::Values(RemovalCase{"OkRemovesTheMiddleEntry", 1, MsgResult::Ok, {L"a", L"c"}, true},
                      RemovalCase{"OkRemovesTheLastEntry", 2, MsgResult::Ok, {L"a", L"b"}, true},
                      RemovalCase{"CancelKeepsItSelected", 0, MsgResult::Cancel, {L"a", L"b", L"c"}, true},
                      RemovalCase{"NoSelectionAsksNothing", -1, MsgResult::Ok, {L"a", L"b", L"c"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AttachmentCommands, ClearEmptiesMessageCustomerAndListOnly) {
    ListFixture f;
    f.txtMessage.SetText(L"testo");
    f.txtDatiCliente.SetText(L"Bar Roma");
    f.txtSendTo.SetText(L"altro@example.org");
    f.txtMatr.SetText(L"99MEY012345");

    f.form.cmdClearText_Click();

    EXPECT_EQ(f.txtMessage.Text(), L"");
    EXPECT_EQ(f.txtDatiCliente.Text(), L"");
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.txtSendTo.Text(), L"altro@example.org");
    EXPECT_EQ(f.txtSubject.Text(), L"VelAutoMail");
    EXPECT_EQ(f.txtMatr.Text(), L"99MEY012345");
    EXPECT_TRUE(f.runtime.Messages().empty());
}

}  // namespace
}  // namespace kdesk::test
