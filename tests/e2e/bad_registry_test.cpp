// Bad registry values at start-up: every value type, sizes at and past the
// reader's 1024 bytes, text outside the ANSI code page, and folders that are a
// file, on a drive that does not exist or on a host that does not answer. The
// window must appear in time, without any message, with the folders and the
// driver type the registry reading gives: a configured folder that cannot be
// reached is still shown, so that support sees it.
#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/driver.h"
#include "tests/e2e/installation.h"

namespace kdesk::e2e {
namespace {

constexpr auto kStartBound = 10s;

std::vector<std::uint8_t> Utf16(const std::wstring& text, bool terminated = true) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

// What a text stored in Unicode looks like to a reader of the ANSI code page.
std::wstring ThroughAnsi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    std::wstring back(ansi.size(), L'\0');
    back.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), back.data(), size)));
    return back;
}

struct Folders {
    std::wstring app, data, scratch;  // the prepared application and data folders, the test's own folder
    std::wstring vistaData;           // the data folder the start-up derives
};

struct Value {
    const wchar_t* name;
    DWORD type;
    std::function<std::vector<std::uint8_t>(const Folders&)> data;
};

struct Shown {
    std::wstring data, app, driver;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* out) {
    *out << "{data " << ::testing::PrintToString(s.data) << ", app " << ::testing::PrintToString(s.app)
         << ", driver " << ::testing::PrintToString(s.driver) << "}";
}

struct RegistryCase {
    const char* name;
    std::vector<Value> values;
    std::function<Shown(const Folders&)> shown;
};

void PrintTo(const RegistryCase& c, std::ostream* out) { *out << c.name; }

Value Text(const wchar_t* name, std::function<std::wstring(const Folders&)> text) {
    return {name, REG_SZ, [text](const Folders& f) { return Utf16(text(f)); }};
}
Value Raw(const wchar_t* name, DWORD type, std::vector<std::uint8_t> bytes) {
    return {name, type, [bytes](const Folders&) { return bytes; }};
}
Value Fixed(const wchar_t* name, const std::wstring& text) {
    return Text(name, [text](const Folders&) { return text; });
}
Value ProductValue() {
    return Text(L"VELKdesk", [](const Folders& f) { return f.data; });
}

class BadRegistry : public ::testing::TestWithParam<RegistryCase> {
protected:
    void SetUp() override {
        pos->MakeFolder(f.vistaData);
        pos->MakeFolder(f.app);
        pos->MakeFolder(f.data);
        pos->WriteFile(f.scratch + L"\\notafolder.txt", "x");
    }
    void TearDown() override {
        SaveScreenshotOfFailedTest();
    }

    std::unique_ptr<Installation> pos = std::make_unique<Installation>();
    WineVersion win10{L"win10"};
    const Folders f{pos->Scratch() + L"\\Kdesk", pos->Scratch() + L"\\Scambio", pos->Scratch(),
                    Installation::CommonAppData() + L"\\VELKDESK"};
};

TEST_P(BadRegistry, StartsInTimeWithTheFoldersAndDriverTheReadingGives) {
    const RegistryCase& c = GetParam();
    for (const Value& value : c.values) pos->SetValue(value.name, value.type, value.data(f));

    ShownProgram shown;
    ASSERT_NE(shown.main, nullptr) << "main window did not appear";
    EXPECT_LT(shown.startTime, kStartBound);
    EXPECT_EQ(shown.messages, std::vector<std::wstring>{});
    EXPECT_EQ((Shown{shown.Text(L"txtAppDataVista"), shown.Text(L"txtKdeskPath"), shown.Text(L"txtDriverType")}),
              c.shown(f));
    EXPECT_EQ(shown.Text(L"txtComPort"), L"0");
    EXPECT_TRUE(shown.Close());
}

const std::vector<std::uint8_t> kSomeBytes{0x44, 0x49, 0x54, 0x00, 0x52, 0x4F, 0x4E, 0x00, 0x00};
const std::wstring kForeign = L"Caff\u00e8 \u2116 \u4e2d\u6587 \u0416";

INSTANTIATE_TEST_SUITE_P(
    Start, BadRegistry,
    ::testing::Values(
        // Text and DWORD are converted; every other type reads as empty text, and an
        // empty CustomPathDataDir leaves the product's data folder.
        RegistryCase{"TypesTextNumberExpandableRequirements",
                     {ProductValue(), Raw(L"AppPath", REG_DWORD, {0x78, 0x56, 0x34, 0x12}),
                      Raw(L"DriverType", REG_EXPAND_SZ, Utf16(L"%SystemRoot%")),
                      Raw(L"CustomPathDataDir", REG_RESOURCE_REQUIREMENTS_LIST, kSomeBytes)},
                     [](const Folders& f) { return Shown{f.data, L"&h12345678", L""}; }},
        RegistryCase{"TypesBinaryMultiNoneResourceList",
                     {Raw(L"VELKdesk", REG_BINARY, kSomeBytes), Raw(L"AppPath", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0", 4))),
                      Raw(L"DriverType", REG_NONE, kSomeBytes), Raw(L"CustomPathDataDir", REG_RESOURCE_LIST, kSomeBytes)},
                     [](const Folders&) { return Shown{L"", L"", L""}; }},
        RegistryCase{"TypesBigEndianLinkQwordDescriptor",
                     {Raw(L"VELKdesk", REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78}),
                      Raw(L"AppPath", REG_LINK, Utf16(L"\\Registry\\Machine\\Software", false)),
                      Raw(L"DriverType", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}),
                      Raw(L"CustomPathDataDir", REG_FULL_RESOURCE_DESCRIPTOR, kSomeBytes)},
                     [](const Folders&) { return Shown{L"", L"", L""}; }},
        // A value of 0 bytes cannot be read: the product value then changes nothing.
        RegistryCase{"ZeroBytesProductValue",
                     {Raw(L"VELKdesk", REG_SZ, {}), Text(L"AppPath", [](const Folders& f) { return f.app; }),
                      Fixed(L"DriverType", L"DITRON")},
                     [](const Folders& f) { return Shown{f.vistaData, f.app, L""}; }},
        // 1023 characters and the NUL fill the 1024-byte buffer; one more does not fit.
        RegistryCase{"Values1024And1025Bytes",
                     {ProductValue(), Fixed(L"AppPath", L"E:\\" + std::wstring(1020, L'A')),
                      Fixed(L"DriverType", std::wstring(1024, L'D'))},
                     [](const Folders& f) { return Shown{f.data, L"E:\\" + std::wstring(1020, L'A'), L""}; }},
        // Text outside the ANSI code page reaches the program as the code page gives it.
        RegistryCase{"CharactersOutsideTheAnsiCodePage",
                     {Text(L"VELKdesk", [](const Folders& f) { return f.data + L"\\" + kForeign; }),
                      Fixed(L"DriverType", kForeign)},
                     [](const Folders& f) {
                         return Shown{ThroughAnsi(f.data + L"\\" + kForeign), L"", ThroughAnsi(kForeign)};
                     }},
        // A folder that is a file fails the folder test; one on a drive that does
        // not exist or on a host that does not answer makes the test raise, and
        // the configured text is taken. The product's own values are taken
        // untested, and the version, date, serial and scan then look there.
        // (192.0.2.1 is reserved for documentation: nothing there answers.)
        RegistryCase{"FoldersNamingAFileAndAMissingDrive",
                     {Text(L"CustomPathDataDir", [](const Folders& f) { return f.scratch + L"\\notafolder.txt\\"; }),
                      Fixed(L"AppPath", L"Q:\\Kdesk\\")},
                     [](const Folders& f) { return Shown{f.vistaData, L"Q:\\Kdesk", L""}; }},
        RegistryCase{"ProductDataFolderIsAFileAndAppFolderOnAHostThatDoesNotAnswer",
                     {Fixed(L"VELKdesk", L"Q:\\Archivio"),
                      Text(L"CustomPathDataDir", [](const Folders& f) { return f.scratch + L"\\notafolder.txt"; }),
                      Fixed(L"AppPath", L"\\\\192.0.2.1\\kdesk\\Kdesk")},
                     [](const Folders& f) {
                         return Shown{f.scratch + L"\\notafolder.txt", L"\\\\192.0.2.1\\kdesk\\Kdesk", L""};
                     }},
        RegistryCase{"ProductDataFolderOnAHostThatDoesNotAnswerAndAppFolderOnAMissingDrive",
                     {Fixed(L"VELKdesk", L"Q:\\Archivio"), Fixed(L"CustomPathDataDir", L"\\\\192.0.2.1\\kdesk\\Dati\\"),
                      Fixed(L"AppPath", L"Q:\\Kdesk")},
                     [](const Folders&) { return Shown{L"\\\\192.0.2.1\\kdesk\\Dati\\", L"Q:\\Kdesk", L""}; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kdesk::e2e
