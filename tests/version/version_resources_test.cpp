// Executables with chosen version resources, read through version.dll and
// through the portable reader: both must agree, and give what the resource says.
#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/fake/fake_shell.h"
#include "platform/win32/win32_version_info.h"
#include "tests/version/both_readers.h"
#include "tests/version/system_facts.h"
// After the service headers: <windows.h> renames some of their method names.
#include <windows.h>

#include "tests/version/scoped_handles.h"

namespace kdesk::test {
namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring HolderPath(const wchar_t* name) { return OwnFolder() + L"\\verres_" + name + L".exe"; }

std::wstring VersionTextThroughVersionDll(const std::wstring& path) {
    FakeRuntime runtime;
    FakeRegistry registry;
    FakeShell shell;
    Win32VersionInfo versionInfo;
    Platform platform{runtime, registry, shell, versionInfo};
    return GetFileVersionString(platform, path);
}

TEST(VersionResources, BothReadersAgreeOnEveryTestExecutable) {
    const struct {
        const wchar_t* name;
        std::int32_t result;
        const wchar_t* versionText;
    } cases[] = {
        {L"italian", 1, L"3.10.2.5"},       {L"italian_ansi", 1, L"1.5.0.12"},
        {L"english", 1, L"5.1.26.0"},       {L"missing_copyright", 2, L""},
        {L"long_values", 1, L"2.0.0.1"},    {L"several_translations", 2, L""},
        {L"short_version", 1, L""},         {L"no_translation", 2, L""},
        {L"no_version", 2, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring path = HolderPath(c.name);
        ASSERT_TRUE(ReadFileBytes(path)) << "test executable not built";
        const VersionReading dll = ReadWithVersionDll(path);
        const VersionReading portable = ReadWithPortableReader(path);
        EXPECT_EQ(dll, portable) << "version.dll: " << Describe(dll) << "\nportable:    " << Describe(portable);
        EXPECT_EQ(dll.result, c.result);
        EXPECT_EQ(VersionTextThroughVersionDll(path), c.versionText);
    }
}

TEST(VersionResources, TextsArriveIntact) {
    const VersionReading italian = ReadWithVersionDll(HolderPath(L"italian"));
    EXPECT_EQ(italian.strings.FileDescription, L"Gestione punto vendit\u00e0");
    EXPECT_EQ(italian.strings.LegalCopyright, L"\u00a9 V.E.L. Societ\u00e0");

    const VersionReading ansi = ReadWithPortableReader(HolderPath(L"italian_ansi"));
    EXPECT_EQ(ansi.strings.CompanyName, L"Ditron");
    EXPECT_EQ(ansi.strings.OriginalFileName, L"SoEcrCom.EXE");
    EXPECT_EQ(ansi.strings.LegalCopyright, L"");

    const VersionReading missing = ReadWithPortableReader(HolderPath(L"missing_copyright"));
    EXPECT_EQ(missing.strings.InternalName, L"nocopy");
    EXPECT_EQ(missing.strings.ProductVersion, L"");

    const VersionReading longValues = ReadWithVersionDll(HolderPath(L"long_values"));
    EXPECT_EQ(longValues.strings.FileDescription.size(), 254u);
    EXPECT_EQ(longValues.strings.LegalCopyright.size(), 254u);
    EXPECT_EQ(longValues.strings.FileDescription.substr(0, 24), L"Descrizione molto lunga ");
}

TEST(VersionResources, LastWriteTimeComesBackInLocalTime) {
    const std::wstring copy = OwnFolder() + L"\\verres_dated copy \u00e8.exe";
    ASSERT_TRUE(CopyFileW(HolderPath(L"italian").c_str(), copy.c_str(), FALSE));
    const struct {
        LocalDateTime when;
    } cases[] = {{{2023, 3, 4, 0, 0, 0}}, {{2019, 7, 15, 13, 45, 30}}, {{2024, 12, 31, 23, 59, 58}}};
    for (const auto& c : cases) {
        SYSTEMTIME local{}, utc{};
        local.wYear = static_cast<WORD>(c.when.year);
        local.wMonth = static_cast<WORD>(c.when.month);
        local.wDay = static_cast<WORD>(c.when.day);
        local.wHour = static_cast<WORD>(c.when.hour);
        local.wMinute = static_cast<WORD>(c.when.minute);
        local.wSecond = static_cast<WORD>(c.when.second);
        FILETIME written{};
        ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &written));
        {
            ScopedFile file(CreateFileW(copy.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(file.valid());
            ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
        }
        EXPECT_EQ(Win32VersionInfo{}.FileLastModified(copy), c.when);
    }
    DeleteFileW(copy.c_str());

    EXPECT_FALSE(Win32VersionInfo{}.FileLastModified(OwnFolder()));
    EXPECT_FALSE(Win32VersionInfo{}.FileLastModified(OwnFolder() + L"\\missing.exe"));
    EXPECT_FALSE(Win32VersionInfo{}.FileLastModified(OwnFolder() + L"\\*.exe"));
}

}  // namespace
}  // namespace kdesk::test
