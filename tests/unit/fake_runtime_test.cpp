// What the fake runtime promises beyond the runtime contract: directory order,
// editing the file system, queued answers and the fixed date format.
#include "platform/fake/fake_runtime.h"

#include <gtest/gtest.h>

#include <vector>

namespace kdesk {
namespace {

std::vector<std::wstring> ListAll(Runtime& runtime, const std::wstring& pattern, std::uint32_t mask) {
    std::vector<std::wstring> names;
    for (std::wstring name = runtime.Dir(pattern, mask); !name.empty(); name = runtime.DirNext())
        names.push_back(name);
    return names;
}

std::int32_t OpenError(Runtime& runtime, const std::wstring& path) {
    try {
        runtime.OpenForInput(path);
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(FakeRuntime, FileSystemKeepsDirectoryOrderAndFollowsEdits) {
    FakeRuntime rt;
    rt.AddFile(L"C:\\Dati\\b.001", "b");
    rt.AddFile(L"c:/dati/A.001", "a");
    rt.AddFile(L"C:\\DATI\\c.001", "c");
    EXPECT_EQ(ListAll(rt, L"C:\\Dati\\*.001", 0), (std::vector<std::wstring>{L"b.001", L"A.001", L"c.001"}));

    rt.AddFile(L"C:\\Dati\\B.001", "again", kAttrHidden);
    EXPECT_EQ(ListAll(rt, L"C:\\Dati\\*.001", 0), (std::vector<std::wstring>{L"A.001", L"c.001"}))
        << "adding an existing path replaces it";

    EXPECT_EQ(ListAll(rt, L"C:\\", kDirWithFolders), std::vector<std::wstring>{L"Dati"})
        << "a drive root has no dot entries";

    rt.AddFile(L"C:\\Dati\\sub\\deep.txt");
    rt.RemovePath(L"c:\\dati\\SUB");
    EXPECT_FALSE(rt.GetAttr(L"C:\\Dati\\sub\\deep.txt"));
    EXPECT_FALSE(rt.GetAttr(L"C:\\Dati\\sub"));
    EXPECT_TRUE(rt.GetAttr(L"C:\\Dati\\c.001"));
    EXPECT_FALSE(rt.GetAttr(L"C:\\Dati\\c.001\\")) << "a file is no folder";
    EXPECT_FALSE(rt.GetAttr(L"C:\\Dati\\*.001"));
}

TEST(FakeRuntime, OpenErrorsFollowWhatIsThere) {
    FakeRuntime rt;
    rt.AddFile(L"C:\\App\\KDCHKCOM.TXT", "0100");
    rt.AddFile(L"C:\\App\\busy.txt", "x");
    rt.LockFile(L"c:\\app\\BUSY.TXT");
    rt.AddFile(L"E:\\Dati\\SR_MATR.001", "1");
    rt.SetVolumeFault(L"E:", 21);

    struct Case {
        std::wstring path;
        std::int32_t number;
    };
    const Case cases[] = {
        {L"C:\\App\\kdchkcom.txt", 0},
        {L"C:\\App\\busy.txt", kErrPermissionDenied},
        {L"C:\\App", kErrPermissionDenied},
        {L"C:\\App\\none.txt", kErrFileNotFound},
        {L"C:\\Nope\\none.txt", kErrPathNotFound},
        {L"C:\\App\\KDCHKCOM.TXT\\x", kErrPathNotFound},
        {L"C:\\App\\*.TXT", 52},
        {L"", kErrPathNotFound},
        {L"Q:\\App\\KDCHKCOM.TXT", kErrPathNotFound},
        {L"E:\\Dati\\SR_MATR.001", kErrDiskNotReady},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        EXPECT_EQ(OpenError(rt, c.path), c.number);
    }
}

TEST(FakeRuntime, QueuedAnswersGoToQuestionsInTurn) {
    FakeRuntime rt;
    rt.QueueAnswer(MsgResult::Cancel);
    rt.QueueAnswer(MsgResult::Ok);
    rt.QueueAnswer(MsgResult::Cancel);

    EXPECT_EQ(rt.MsgBox(L"info", MsgButtons::Ok, std::nullopt), MsgResult::Ok);
    EXPECT_EQ(rt.MsgBox(L"q1", MsgButtons::OkCancel, std::wstring{}), MsgResult::Cancel);
    EXPECT_EQ(rt.MsgBox(L"q2", MsgButtons::OkCancel, std::wstring{}), MsgResult::Ok);
    EXPECT_EQ(rt.MsgBox(L"q3", MsgButtons::OkCancel, std::wstring{}), MsgResult::Cancel);
    EXPECT_EQ(rt.MsgBox(L"q4", MsgButtons::OkCancel, std::wstring{}), MsgResult::Ok) << "queue used up";

    ASSERT_EQ(rt.Messages().size(), 5u);
    EXPECT_EQ(rt.Messages()[0].prompt, L"info");
    EXPECT_FALSE(rt.Messages()[0].title.has_value());
    EXPECT_EQ(rt.Messages()[1].title, std::wstring{});
    EXPECT_EQ(rt.Messages()[1].buttons, MsgButtons::OkCancel);
}

TEST(FakeRuntime, FixedDateFormat) {
    FakeRuntime rt;
    rt.SetNow({2009, 1, 2, 3, 4, 5});
    EXPECT_EQ(rt.FormatDateTime(rt.Now()), L"02/01/2009 03:04:05");
    EXPECT_EQ(rt.FormatDateTime({2009, 12, 31, 0, 0, 0}), L"31/12/2009");
    EXPECT_EQ(rt.FormatDateTime({2000, 2, 29, 0, 0, 1}), L"29/02/2000 00:00:01");
    EXPECT_EQ(rt.FormatDateTime({1900, 2, 29, 12, 0, 0}), L"");
    EXPECT_EQ(rt.FormatDateTime({2009, 1, 2, 24, 0, 0}), L"");
}

TEST(FakeRuntime, DoEventsRunsTheHookAndEndProgramIsRecorded) {
    FakeRuntime rt;
    int clicks = 0;
    rt.onDoEvents = [&] { ++clicks; };
    rt.DoEvents();
    rt.DoEvents();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(rt.DoEventsCalls(), 2);
    EXPECT_FALSE(rt.Ended());
    rt.EndProgram();
    EXPECT_TRUE(rt.Ended());
}

}  // namespace
}  // namespace kdesk
