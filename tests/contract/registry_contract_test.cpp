// The same registry cases run natively against the fake registry and under Wine
// against the Win32 registry, so the fake cannot drift from what Windows does.
#include <gtest/gtest.h>

#include <array>

#include "modules/modRegistry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_version_info.h"
#include "tests/contract/registry_contract.h"

namespace kdesk::contract {
namespace {

constexpr std::uint32_t kReaderAccess = 0x2003F;
constexpr std::uint32_t kBufferSize = 1024;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

class RegistryContract : public ::testing::Test {
protected:
    std::unique_ptr<RegistrySetup> setup = MakeRegistrySetup();
    Registry& registry = setup->registry();

    struct Answer {
        std::int32_t status = -1;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        std::vector<std::uint8_t> data;
    };

    Answer Query(const std::string& keyPath, const std::string& name) {
        Answer answer;
        RegKey key = 0;
        answer.status = registry.OpenKeyEx(kHkeyCurrentUser, keyPath, 0, kReaderAccess, key);
        if (answer.status != kErrorSuccess) return answer;
        std::array<std::uint8_t, kBufferSize> buffer{};
        answer.size = kBufferSize;
        answer.status = registry.QueryValueEx(key, name, answer.type, buffer.data(), answer.size);
        if (answer.status == kErrorSuccess) answer.data.assign(buffer.begin(), buffer.begin() + answer.size);
        EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
        return answer;
    }
};

struct ValueCase {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::int32_t status;
    std::uint32_t size;  // bytes stored, or needed with ERROR_MORE_DATA
};

TEST_F(RegistryContract, QueryReportsTypeSizeAndBytes) {
    const std::string long1023(1023, 'x');
    const ValueCase cases[] = {
        {"string with NUL", kRegSz, Bytes(std::string("C:\\Kdesk\0", 9)), kErrorSuccess, 9},
        {"string without NUL", kRegSz, Bytes("C:\\Kdesk"), kErrorSuccess, 8},
        {"1023 characters and NUL", kRegSz, Bytes(long1023 + '\0'), kErrorSuccess, 1024},
        {"1024 characters and NUL", kRegSz, Bytes(long1023 + "x" + '\0'), kErrorMoreData, 1025},
        {"empty string data", kRegSz, {}, kErrorSuccess, 0},
        {"dword", kRegDword, {0x0A, 0, 0, 0}, kErrorSuccess, 4},
        {"expandable string", kRegExpandSz, Bytes(std::string("%TEMP%\0", 7)), kErrorSuccess, 7},
        {"binary", kRegBinary, {1, 0, 255}, kErrorSuccess, 3},
        {"binary over the buffer", kRegBinary, std::vector<std::uint8_t>(2000, 7), kErrorMoreData, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setup->PutValue("Probe", c.type, c.data);
        const Answer answer = Query(setup->KeyPath(), "Probe");
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.type, c.type);
        EXPECT_EQ(answer.size, c.size);
        if (c.status == kErrorSuccess) {
            EXPECT_EQ(answer.data, c.data);
        }
    }
}

TEST_F(RegistryContract, NamesMatchWithoutRegardToCase) {
    setup->PutValue("AppPath", kRegSz, Bytes(std::string("C:\\Kdesk\0", 9)));
    const Answer answer = Query(Upper(setup->KeyPath()), "appPATH");
    EXPECT_EQ(answer.status, kErrorSuccess);
    EXPECT_EQ(answer.data, Bytes(std::string("C:\\Kdesk\0", 9)));
}

TEST_F(RegistryContract, MissingKeyOrValueIsFileNotFound) {
    EXPECT_EQ(Query(setup->KeyPath() + "\\Missing", "AppPath").status, kErrorFileNotFound);
    EXPECT_EQ(Query(setup->KeyPath(), "Missing").status, kErrorFileNotFound);
}

TEST_F(RegistryContract, KeyTheUserMayOnlyReadDoesNotOpenForTheReader) {
    setup->PutValue("AppPath", kRegSz, Bytes(std::string("C:\\Kdesk\0", 9)));
    if (!setup->MakeReadOnly()) GTEST_SKIP() << "this platform does not enforce registry key access";
    EXPECT_EQ(Query(setup->KeyPath(), "AppPath").status, kErrorAccessDenied);
}

// The reader end to end over the service: the NUL cut and the type conversion.
TEST_F(RegistryContract, ReaderGivesTheSameTextsOverThisService) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        bool read;
        std::wstring text;
    };
    const Case cases[] = {
        {"string with NUL", kRegSz, Bytes(std::string("D:\\Dati\\\0", 9)), true, L"D:\\Dati\\"},
        {"string without NUL", kRegSz, Bytes("D:\\Dati"), true, L"D:\\Dati"},
        {"empty data", kRegSz, {}, false, L"unchanged"},
        {"dword 10", kRegDword, {0x0A, 0, 0, 0}, true, L"&h00000A"},
        {"expandable string", kRegExpandSz, Bytes(std::string("%TEMP%\0", 7)), true, L""},
    };
    FakeRuntime runtime;
    FakeShell shell;
    FakeVersionInfo versionInfo;
    Platform platform{runtime, registry, shell, versionInfo};
    const std::wstring keyPath(setup->KeyPath().begin(), setup->KeyPath().end());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setup->PutValue("Probe", c.type, c.data);
        std::wstring text = L"unchanged";
        EXPECT_EQ(ReadRegistryValue(platform, kHkeyCurrentUser, keyPath, L"Probe", text), c.read);
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
}  // namespace kdesk::contract
