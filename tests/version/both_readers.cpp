#include "tests/version/both_readers.h"

#include <sstream>
#include <tuple>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_version_info.h"
#include "platform/win32/win32_version_info.h"
#include "tests/version/system_facts.h"

namespace kdesk::test {
namespace {

VersionReading ReadThrough(VersionInfo& versionInfo, const std::wstring& path) {
    FakeRuntime runtime;
    FakeRegistry registry;
    FakeShell shell;
    Platform platform{runtime, registry, shell, versionInfo};
    VersionReading reading;
    reading.result = ReadVersionStrings(platform, path, reading.strings);
    if (std::uint32_t size = versionInfo.GetFileVersionInfoSize(path)) {
        std::vector<std::uint8_t> block(size);
        if (versionInfo.GetFileVersionInfo(path, block)) reading.translation = versionInfo.QueryTranslation(block);
    }
    return reading;
}

}  // namespace

bool VersionReading::operator==(const VersionReading& other) const {
    auto fields = [](const VersionStrings& s) {
        return std::tie(s.CompanyName, s.FileDescription, s.FileVersion, s.InternalName, s.LegalCopyright,
                        s.OriginalFileName, s.ProductName, s.ProductVersion);
    };
    return result == other.result && fields(strings) == fields(other.strings) && translation == other.translation;
}

VersionReading ReadWithVersionDll(const std::wstring& path) {
    Win32VersionInfo versionInfo;
    return ReadThrough(versionInfo, path);
}

VersionReading ReadWithPortableReader(const std::wstring& path) {
    FakeVersionInfo versionInfo;
    versionInfo.SetUserLanguage(UserLanguage());
    if (auto bytes = ReadFileBytes(path)) versionInfo.AddFile(path, std::move(*bytes));
    return ReadThrough(versionInfo, path);
}

bool IsPeImage(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
    const std::size_t pe = bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) | (std::size_t{bytes[0x3F]} << 24);
    return pe < bytes.size() && bytes.size() - pe >= 4 && bytes[pe] == 'P' && bytes[pe + 1] == 'E' &&
           bytes[pe + 2] == 0 && bytes[pe + 3] == 0;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::string Describe(const VersionReading& reading) {
    std::ostringstream out;
    const VersionStrings& s = reading.strings;
    out << "result " << reading.result << " [" << Narrow(s.CompanyName) << '|' << Narrow(s.FileDescription) << '|'
        << Narrow(s.FileVersion) << '|' << Narrow(s.InternalName) << '|' << Narrow(s.LegalCopyright) << '|'
        << Narrow(s.OriginalFileName) << '|' << Narrow(s.ProductName) << '|' << Narrow(s.ProductVersion)
        << "] translation ";
    if (reading.translation)
        for (std::uint8_t b : *reading.translation) out << std::hex << int{b} << ' ';
    else
        out << "none";
    return out.str();
}

}  // namespace kdesk::test
