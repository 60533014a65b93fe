#include "tests/e2e/upload_prefix.h"

#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kdesk::e2e {

namespace {

constexpr wchar_t kRootCertificates[] = L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates";
constexpr wchar_t kConnections[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
constexpr wchar_t kProxyValue[] = L"DefaultConnectionSettings";

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class CertificateStore {
public:
    CertificateStore()
        : store_(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root")) {}
    ~CertificateStore() {
        if (store_) CertCloseStore(store_, 0);
    }
    CertificateStore(const CertificateStore&) = delete;
    CertificateStore& operator=(const CertificateStore&) = delete;
    HCERTSTORE get() const { return store_; }

private:
    HCERTSTORE store_;
};

// The thumbprint in upper-case hex, as the store names the certificate's key.
std::wstring Thumbprint(PCCERT_CONTEXT certificate) {
    BYTE hash[20] = {};
    DWORD size = sizeof hash;
    if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size)) return {};
    std::wstring text;
    for (DWORD i = 0; i < size; ++i) {
        constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
        text += kDigits[hash[i] >> 4];
        text += kDigits[hash[i] & 15];
    }
    return text;
}

void PutDword(std::vector<BYTE>& out, DWORD value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

std::optional<std::vector<BYTE>> ReadProxySettings() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kConnections, kProxyValue, RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (RegGetValueW(HKEY_CURRENT_USER, kConnections, kProxyValue, RRF_RT_REG_BINARY, nullptr, data.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

}  // namespace

std::wstring ServerFact(const std::wstring& folder, const std::wstring& name) {
    const std::string text = ReadBytes(folder + L"\\" + name);
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
    return {line.begin(), line.end()};
}

bool TrustRootCertificate(const std::wstring& derFile, std::wstring* registryKey) {
    const std::string der = ReadBytes(derFile);
    CertificateStore store;
    PCCERT_CONTEXT added = nullptr;
    if (der.empty() || !store.get() ||
        !CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                          static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added))
        return false;
    if (registryKey) *registryKey = std::wstring(kRootCertificates) + L"\\" + Thumbprint(added);
    CertFreeCertificateContext(added);
    return true;
}

// Deleting through the store reports success under Wine but leaves the
// certificate trusted: its registry key goes instead.
TrustedRoot::TrustedRoot(const std::wstring& derFile) {
    if (!TrustRootCertificate(derFile, &key_)) throw std::runtime_error("cannot trust the test CA");
}

TrustedRoot::~TrustedRoot() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str()); }

std::vector<BYTE> ProxySettingsNaming(const std::string& proxy) {
    constexpr DWORD kVersion = 0x46;
    constexpr DWORD kDirect = 1;
    constexpr DWORD kNamedProxy = 2;
    std::vector<BYTE> data;
    PutDword(data, kVersion);
    PutDword(data, 1);  // the settings' change counter
    PutDword(data, kDirect | kNamedProxy);
    PutDword(data, static_cast<DWORD>(proxy.size()));
    data.insert(data.end(), proxy.begin(), proxy.end());
    PutDword(data, 0);                       // no bypass list
    PutDword(data, 0);                       // no configuration script
    data.insert(data.end(), 32, BYTE{0});  // the detection's fields, unused
    return data;
}

bool WriteProxySettings(const std::optional<std::vector<BYTE>>& settings) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kConnections, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        settings ? RegSetValueExW(key, kProxyValue, 0, REG_BINARY, settings->data(), static_cast<DWORD>(settings->size()))
                 : RegDeleteValueW(key, kProxyValue);
    RegCloseKey(key);
    return status == ERROR_SUCCESS || (!settings && status == ERROR_FILE_NOT_FOUND);
}

UserProxy::UserProxy(const std::string& proxy) : previous_(ReadProxySettings()) {
    if (!WriteProxySettings(ProxySettingsNaming(proxy))) throw std::runtime_error("cannot name the test proxy");
}

UserProxy::~UserProxy() { WriteProxySettings(previous_); }

}  // namespace kdesk::e2e
