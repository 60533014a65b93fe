#pragma once
// The upload's side of a test prefix: the local servers that scripts/inbox.sh
// and tests/upload/servers.sh started (their facts are files in one folder),
// the throwaway CA trusted in the machine's Root store, and a proxy named in
// the user's Internet settings. Each setting is put back when its object goes.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace kdesk::e2e {

// The first line of a file of the servers' folder ("url", "proxy.port", ...);
// empty when there is none.
std::wstring ServerFact(const std::wstring& folder, const std::wstring& name);
// The servers the ctest fixture started for this build.
inline std::wstring UploadServersFolder() { return BinFolder() + L"\\..\\upload-servers"; }

// Adds a DER certificate to HKLM's Root store; removes it again afterwards.
class TrustedRoot {
public:
    explicit TrustedRoot(const std::wstring& derFile);
    ~TrustedRoot();
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;

private:
    std::wstring key_;  // its key under the Root store, named after the SHA-1 thumbprint
};

// Trusts the certificate for good (the demo): false when it cannot.
bool TrustRootCertificate(const std::wstring& derFile, std::wstring* registryKey = nullptr);

// DefaultConnectionSettings naming `proxy` ("127.0.0.1:8080") for every
// address, as the Internet settings' "Use a proxy server" writes it.
std::vector<BYTE> ProxySettingsNaming(const std::string& proxy);

// The user's Internet settings name the proxy until the object goes.
class UserProxy {
public:
    explicit UserProxy(const std::string& proxy);
    ~UserProxy();
    UserProxy(const UserProxy&) = delete;
    UserProxy& operator=(const UserProxy&) = delete;

private:
    std::optional<std::vector<BYTE>> previous_;
};

// Writes (or, with nullopt, removes) the user's DefaultConnectionSettings.
bool WriteProxySettings(const std::optional<std::vector<BYTE>>& settings);

}  // namespace kdesk::e2e
