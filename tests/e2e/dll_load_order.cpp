#include "tests/e2e/dll_load_order.h"

#include <windows.h>

#include <utility>

namespace kdesk::e2e {
namespace {

constexpr wchar_t kProgramKey[] = L"Software\\Wine\\AppDefaults\\KdeskSupport.exe";
constexpr wchar_t kOverridesKey[] = L"Software\\Wine\\AppDefaults\\KdeskSupport.exe\\DllOverrides";

}  // namespace

ProgramDllOverride::ProgramDllOverride(std::vector<std::wstring> dlls, const std::wstring& order)
    : dlls_(std::move(dlls)) {
    for (const std::wstring& dll : dlls_)
        RegSetKeyValueW(HKEY_CURRENT_USER, kOverridesKey, dll.c_str(), REG_SZ, order.c_str(),
                        static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
}

ProgramDllOverride::~ProgramDllOverride() {
    for (const std::wstring& dll : dlls_) RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverridesKey, dll.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kOverridesKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProgramKey);
}

}  // namespace kdesk::e2e
