// DLLs named like Windows' own, put beside a copy of the program as anyone who
// can copy a file might (a USB stick, the Downloads folder), with Wine searching
// the program's folder first for them as Windows does for DLLs that are not
// KnownDLLs: the program starts, shows its window and sends, and none of them loads.
// version.dll is not among them: Wine's own user32 imports it, so under Wine a
// planted one loads whatever the program does (Windows takes a KnownDLL's imports
// from the system folder). The import_table test keeps it out of the program's imports.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/dll_load_order.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"
#include "tests/e2e/mail_session.h"
#include "tests/mapi_provider/provider_setup.h"

namespace kdesk::e2e {
namespace {

using mapitest::Recording;

const std::vector<std::wstring> kPlantedNames = {L"mapi32", L"comctl32"};

// A copy of the program in a folder of its own, the planted DLL beside it under each name.
class ProgramWithPlantedDlls {
public:
    explicit ProgramWithPlantedDlls(Installation& pos) : folder_(pos.Scratch() + L"\\Chiavetta") {
        pos.MakeFolder(folder_);
        ready_ = Copy(ProgramPath(), Exe());
        for (const std::wstring& name : kPlantedNames)
            ready_ = Copy(BinFolder() + L"\\kdesk_planted.dll", Dll(name)) && ready_;
    }
    ~ProgramWithPlantedDlls() {
        for (const std::wstring& path : copied_) DeleteFileW(path.c_str());
        for (const std::wstring& name : kPlantedNames) DeleteFileW(Marker(name).c_str());
    }
    ProgramWithPlantedDlls(const ProgramWithPlantedDlls&) = delete;
    ProgramWithPlantedDlls& operator=(const ProgramWithPlantedDlls&) = delete;

    bool Ready() const { return ready_; }
    std::wstring Exe() const { return folder_ + L"\\KdeskSupport.exe"; }
    // The names of the planted DLLs that were loaded.
    std::vector<std::string> Loaded() const {
        std::vector<std::string> loaded;
        for (const std::wstring& name : kPlantedNames)
            if (GetFileAttributesW(Marker(name).c_str()) != INVALID_FILE_ATTRIBUTES)
                loaded.push_back(mapitest::Utf8(name) + ".dll");
        return loaded;
    }

private:
    std::wstring Dll(const std::wstring& name) const { return folder_ + L"\\" + name + L".dll"; }
    std::wstring Marker(const std::wstring& name) const { return Dll(name) + L".loaded"; }
    bool Copy(const std::wstring& from, const std::wstring& to) {
        if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return false;
        copied_.push_back(to);
        return true;
    }

    std::wstring folder_;
    std::vector<std::wstring> copied_;
    bool ready_ = false;
};

class DllPlantingE2e : public MailSessionE2e {
protected:
    std::unique_ptr<ProgramWithPlantedDlls> planted;  // removed after the program ended in TearDown
};

TEST_F(DllPlantingE2e, DllsBesideTheProgramAreNeverLoaded) {
    Recording record(L"e2e_planted");
    const ProgramDllOverride nativeFirst(kPlantedNames, L"native,builtin");
    planted = std::make_unique<ProgramWithPlantedDlls>(*pos);
    ASSERT_TRUE(planted->Ready());

    // A planted DLL may keep the window from showing: which ones loaded is told either way.
    Start(L"Bar Roma", L"Stampante ferma", planted->Exe());
    if (!HasFatalFailure()) {
        const auto boxes = PressSend(IDOK, 1);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(WaitUntil([&] { return record.Functions().size() >= 4; }));
        EXPECT_EQ(record.Functions(),
                  (std::vector<std::string>{"MAPILogon", "MAPIResolveName", "MAPISendMailW", "MAPILogoff"}));
    }
    EXPECT_EQ(planted->Loaded(), std::vector<std::string>{});
}

}  // namespace
}  // namespace kdesk::e2e
