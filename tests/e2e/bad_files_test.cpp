// Bad installation files at start-up: port-check and serial-number files of odd
// shape and size, and kdmain.exe replaced by something that is not a sound
// executable. The window must appear quickly, without any message, with the
// fields the readers give.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/portable/free_format_item.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"

namespace kdesk::e2e {
namespace {

constexpr auto kStartBound = 10s;

std::wstring FromAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::string AllByteValues() {
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
    return bytes;
}

class BadFilesE2e : public ::testing::Test {
protected:
    void SetUp() override {
        pos->MakeFolder(Installation::CommonAppData() + L"\\VELKDESK");
        pos->MakeFolder(data);
        pos->MakeFolder(app);
        pos->SetString(L"AppPath", app);
        pos->SetString(L"VELKdesk", data);
    }
    void TearDown() override { SaveScreenshotOfFailedTest(); }

    // Starts the program and checks what every case shares: the window shows in
    // time, no message came before it, and it closes normally.
    void ExpectCleanStart(ShownProgram& shown) {
        ASSERT_NE(shown.main, nullptr) << "main window did not appear";
        EXPECT_LT(shown.startTime, kStartBound);
        EXPECT_TRUE(shown.messages.empty()) << "first message: " << ::testing::PrintToString(shown.messages[0]);
    }

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    WineVersion win10{L"win10"};
    const std::wstring app = pos->Scratch() + L"\\Kdesk";
    const std::wstring data = pos->Scratch() + L"\\Scambio";
};

constexpr char kBinarySerialBytes[] = "\x01\x9D\xFF\x80\x7F\x1B\xE8\xC3\xA9,\x00\x00\xFF rest";
const std::string kBinarySerial(kBinarySerialBytes, sizeof kBinarySerialBytes - 1);
const std::string kUnclosedSerial = "  \"99MEY, 0123\r\nseconda riga, ancora";

// kdmain.exe made from the program's own executable, which carries a version resource.
struct SectionSpan {
    std::size_t offset = 0, size = 0;
};

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Where the resource section lies in the file.
SectionSpan ResourceSection(const std::string& exe) {
    const auto nt = At<LONG>(exe, 0x3C);
    const auto header = At<IMAGE_FILE_HEADER>(exe, static_cast<std::size_t>(nt) + 4);
    std::size_t section = static_cast<std::size_t>(nt) + 4 + sizeof header + header.SizeOfOptionalHeader;
    for (int i = 0; i < header.NumberOfSections; ++i, section += sizeof(IMAGE_SECTION_HEADER)) {
        const auto entry = At<IMAGE_SECTION_HEADER>(exe, section);
        if (std::memcmp(entry.Name, ".rsrc", 5) == 0) return {entry.PointerToRawData, entry.SizeOfRawData};
    }
    return {};
}

enum class Kdmain { Intact, CutInsideResources, ResourcesOverwritten, HeaderPointsPastEnd, Folder, Empty };

// Each start checks one odd port-check file, one odd serial-number file and one
// odd kdmain.exe: the fields are filled independently. The port-check file is
// never a port here, so the serial number comes from SR_MATR.000.
struct FilesCase {
    const char* name;
    std::function<std::string()> portCheckFile;  // nullptr: none
    std::function<std::string()> serialFile;     // nullptr: none
    std::function<std::wstring()> shownSerial;
    Kdmain kdmain;
    bool versioned;
    bool dated;
};

void PrintTo(const FilesCase& c, std::ostream* out) { *out << c.name; }

class BadFiles : public BadFilesE2e, public ::testing::WithParamInterface<FilesCase> {
protected:
    void Make(Kdmain kind) {
        const std::wstring path = app + L"\\kdmain.exe";
        std::string exe = ReadWholeFile(ProgramPath());
        const SectionSpan resources = ResourceSection(exe);
        ASSERT_GT(resources.size, 0u) << "the program has no resource section";
        switch (kind) {
            case Kdmain::Intact: break;
            case Kdmain::CutInsideResources: exe.resize(resources.offset + 48); break;
            case Kdmain::ResourcesOverwritten:
                for (std::size_t i = 0; i < resources.size && resources.offset + i < exe.size(); ++i)
                    exe[resources.offset + i] = static_cast<char>(i % 7 == 0 ? 0xFF : 0x7F - i % 13);
                break;
            case Kdmain::HeaderPointsPastEnd: {
                const LONG pastEnd = 0x7FFFFF00;
                std::memcpy(exe.data() + 0x3C, &pastEnd, sizeof pastEnd);
                break;
            }
            case Kdmain::Folder: pos->MakeFolder(path); return;
            case Kdmain::Empty: exe.clear(); break;
        }
        pos->WriteFile(path, exe);
        // A known date, so that the field can be told from an empty or made-up one.
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const SYSTEMTIME when{2019, 6, 0, 14, 10, 20, 30, 0};
        FILETIME local{}, utc{};
        SystemTimeToFileTime(&when, &local);
        LocalFileTimeToFileTime(&local, &utc);
        SetFileTime(file, nullptr, nullptr, &utc);
        CloseHandle(file);
    }
};

TEST_P(BadFiles, FieldsShowWhatTheReadersMakeOfThem) {
    const FilesCase& c = GetParam();
    if (c.portCheckFile) pos->WriteFile(app + L"\\KDCHKCOM.TXT", c.portCheckFile());
    if (c.serialFile) pos->WriteFile(data + L"\\SR_MATR.000", c.serialFile());
    ASSERT_NO_FATAL_FAILURE(Make(c.kdmain));

    ShownProgram shown;
    ASSERT_NO_FATAL_FAILURE(ExpectCleanStart(shown));
    EXPECT_EQ(shown.Text(L"txtComPort"), L"0");
    const std::wstring serial = shown.Text(L"txtMatr");
    EXPECT_TRUE(serial == c.shownSerial()) << "serial of " << serial.size() << " characters: "
                                           << ::testing::PrintToString(serial.substr(0, 80));
    const std::wstring version = shown.Text(L"txtVersion");
    const std::wstring date = shown.Text(L"txtDataCreazione");
    if (c.versioned) {
        EXPECT_EQ(version, L"0.0.0.0");  // from ProductVersion 0.0.0.<revision>
    } else {
        EXPECT_EQ(version, L"");
    }
    if (c.dated) {
        EXPECT_NE(date.find(L"2019"), std::wstring::npos) << ::testing::PrintToString(date);
        EXPECT_NE(date.find(L"20:30"), std::wstring::npos) << ::testing::PrintToString(date);
    } else {
        EXPECT_EQ(date, L"");
    }
    EXPECT_EQ(shown.Text(L"txtKdeskPath"), app);
    EXPECT_TRUE(shown.Close());
}

std::wstring None() { return {}; }

INSTANTIATE_TEST_SUITE_P(
    Start, BadFiles,
    ::testing::Values(
        FilesCase{"Port100MegabytesOnOneLineSerialBinaryKdmainIntact",
                  [] { return std::string(std::size_t{100} << 20, '1'); }, [] { return kBinarySerial; },
                  [] { return FromAnsi(kBinarySerial.substr(0, kBinarySerial.find(','))); }, Kdmain::Intact, true,
                  true},
        FilesCase{"PortBinarySerialQuoteNeverClosesKdmainCutInsideResources", [] { return AllByteValues(); },
                  [] { return kUnclosedSerial; },
                  [] { return std::wstring(L"99MEY, 0123\r\nseconda riga, ancora"); }, Kdmain::CutInsideResources,
                  false, true},
        FilesCase{"PortUtf16WithByteOrderMarkSerial10MegabytesKdmainResourcesOverwritten",
                  [] { return std::string("\xFF\xFE" "1\0" "0\0" "0\0" "0\0" "\r\0\n\0", 14); },
                  [] { return std::string(std::size_t{10} << 20, 'M') + "\r\n"; },
                  [] { return std::wstring(kMaxFreeFormatItem, L'M'); }, Kdmain::ResourcesOverwritten, false, true},
        FilesCase{"PortFirstLineOf100000CommasKdmainHeaderPointsPastEnd",
                  [] { return std::string(100000, ',') + "\r\n1000\r\n"; }, [] { return std::string("0042\r\n"); },
                  [] { return std::wstring(L"0042"); }, Kdmain::HeaderPointsPastEnd, false, true},
        FilesCase{"KdmainFolder", nullptr, nullptr, None, Kdmain::Folder, false, false},
        FilesCase{"KdmainEmpty", nullptr, nullptr, None, Kdmain::Empty, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kdesk::e2e
