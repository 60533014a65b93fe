#include "platform/win32/mail/upload/pending_task.h"

#include <string>
#include <vector>

#include "platform/portable/pending_task_xml.h"
#include "platform/win32/mail/upload/task_scheduler.h"
#include "platform/win32/win32_runtime_handles.h"

namespace kdesk {
namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// The name the user logs on with, as the task's name shows it.
std::wstring UserName() {
    std::wstring name(257, L'\0');  // UNLEN + 1
    DWORD size = static_cast<DWORD>(name.size());
    if (!GetUserNameW(name.data(), &size) || size == 0) return {};
    name.resize(size - 1);
    return name;
}

// The account as DOMAIN\user (the computer's name for a local account), from
// the process's own token: the form the task's principal and logon trigger
// resolve, also for a domain account whose user name exists locally too.
std::wstring AccountOfToken() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
    const UniqueInvalidableHandle<CloseHandle> token(opened);
    std::vector<BYTE> buffer(256);
    DWORD needed = 0;
    bool read = GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &needed);
    if (!read && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(needed);
        read = GetTokenInformation(token.Get(), TokenUser, buffer.data(), needed, &needed);
    }
    if (!read) return {};
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    std::wstring user(256, L'\0');
    std::wstring domain(256, L'\0');
    DWORD userSize = static_cast<DWORD>(user.size());
    DWORD domainSize = static_cast<DWORD>(domain.size());
    SID_NAME_USE use{};
    if (!LookupAccountSidW(nullptr, sid, user.data(), &userSize, domain.data(), &domainSize, &use)) return {};
    user.resize(userSize);
    domain.resize(domainSize);
    return domain.empty() ? user : domain + L'\\' + user;
}

}  // namespace

bool RegisterPendingTask() {
    const std::wstring program = ProgramPath();
    const std::wstring user = UserName();
    std::wstring account = AccountOfToken();
    if (account.empty()) account = user;
    if (program.empty() || user.empty()) return false;

    const TaskSchedulerRoot scheduler;
    if (!scheduler.Folder()) return false;
    const ComFunctions& com = scheduler.Com();
    const Bstr name(com, PendingTaskName(user));
    const Bstr xml(com, PendingTaskXml(program, account));
    const Variant none(com);
    ComPtr<IRegisteredTask> task;
    return name.Get() && xml.Get() &&
           SUCCEEDED(scheduler.Folder()->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, none.Get(),
                                                      none.Get(), TASK_LOGON_INTERACTIVE_TOKEN, none.Get(),
                                                      task.Out()));
}

void DeletePendingTask() {
    const std::wstring user = UserName();
    if (user.empty()) return;
    const TaskSchedulerRoot scheduler;
    if (!scheduler.Folder()) return;
    const Bstr name(scheduler.Com(), PendingTaskName(user));
    if (name.Get()) scheduler.Folder()->DeleteTask(name.Get(), 0);
}

}  // namespace kdesk
