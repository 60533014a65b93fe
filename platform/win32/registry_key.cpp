#include "platform/win32/registry_key.h"

#include <algorithm>
#include <initializer_list>

namespace kdesk {
namespace {

std::wstring Expanded(const std::wstring& text) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
    expanded.resize(written > 0 ? written - 1 : 0);
    return expanded;
}

// The value's bytes as wide characters, with a NUL after them; nullopt when
// missing or of another type.
std::optional<std::wstring> RawText(HKEY key, const wchar_t* name, std::initializer_list<DWORD> types, DWORD& type) {
    DWORD size = 0;
    if (!key || RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (std::find(types.begin(), types.end(), type) == types.end()) return {};
    std::wstring text(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return {};
    text.resize(size / sizeof(wchar_t));
    return text + L'\0';
}

}  // namespace

std::optional<std::wstring> RegistryKey::Text(const wchar_t* name) const {
    DWORD type = 0;
    auto text = RawText(key_, name, {REG_SZ, REG_EXPAND_SZ}, type);
    if (!text) return {};
    text->resize(text->find(L'\0'));
    if (type == REG_EXPAND_SZ) *text = Expanded(*text);
    if (text->empty()) return {};
    return text;
}

std::vector<std::wstring> RegistryKey::Texts(const wchar_t* name) const {
    DWORD type = 0;
    const auto raw = RawText(key_, name, {REG_MULTI_SZ}, type);
    std::vector<std::wstring> texts;
    for (std::size_t start = 0; raw && start < raw->size();) {
        const std::size_t end = raw->find(L'\0', start);
        if (end == start) break;
        texts.push_back(raw->substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

std::optional<std::wstring> RegistryKey::TextOrNumber(const wchar_t* name) const {
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = 0;
    if (key_ && RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        return std::to_wstring(number);
    return Text(name);
}

}  // namespace kdesk
