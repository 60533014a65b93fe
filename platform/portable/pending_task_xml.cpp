#include "platform/portable/pending_task_xml.h"

namespace kdesk {
namespace {

// Text content needs &, < and > escaped; no variable text goes into an attribute.
std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

std::wstring PendingTaskName(const std::wstring& user_name) {
    return L"KdeskSupport invio in sospeso (" + user_name + L")";
}

// Two triggers: the logon one, and a time trigger repeated every 15 minutes
// without end. A logon trigger's own repetition would start only at the next
// logon, while the task is registered in the middle of a session; the time
// trigger's start boundary lies in the past (local time), so its repetition
// runs from the registration on. A repetition without Duration runs
// indefinitely. A trigger's elements go in the schema's order (Enabled,
// StartBoundary, Repetition; a logon trigger's UserId after them).
std::wstring PendingTaskXml(const std::wstring& program_path, const std::wstring& user_id) {
    const std::wstring user = Escaped(user_id);
    return L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           L"  <RegistrationInfo>\n"
           L"    <Description>Invia all'assistenza i messaggi di KdeskSupport rimasti in sospeso.</Description>\n"
           L"  </RegistrationInfo>\n"
           L"  <Triggers>\n"
           L"    <LogonTrigger>\n"
           L"      <Enabled>true</Enabled>\n"
           L"      <UserId>" + user + L"</UserId>\n"
           L"    </LogonTrigger>\n"
           L"    <TimeTrigger>\n"
           L"      <Enabled>true</Enabled>\n"
           L"      <StartBoundary>2020-01-01T00:00:00</StartBoundary>\n"
           L"      <Repetition>\n"
           L"        <Interval>PT15M</Interval>\n"
           L"        <StopAtDurationEnd>false</StopAtDurationEnd>\n"
           L"      </Repetition>\n"
           L"    </TimeTrigger>\n"
           L"  </Triggers>\n"
           L"  <Principals>\n"
           L"    <Principal id=\"Author\">\n"
           L"      <UserId>" + user + L"</UserId>\n"
           L"      <LogonType>InteractiveToken</LogonType>\n"
           L"      <RunLevel>LeastPrivilege</RunLevel>\n"
           L"    </Principal>\n"
           L"  </Principals>\n"
           L"  <Settings>\n"
           L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
           L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
           L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
           L"    <RunOnlyIfNetworkAvailable>true</RunOnlyIfNetworkAvailable>\n"
           L"    <ExecutionTimeLimit>PT10M</ExecutionTimeLimit>\n"
           L"    <Enabled>true</Enabled>\n"
           L"  </Settings>\n"
           L"  <Actions Context=\"Author\">\n"
           L"    <Exec>\n"
           L"      <Command>\"" + Escaped(program_path) + L"\"</Command>\n"
           L"      <Arguments>/invia-sospesi</Arguments>\n"
           L"    </Exec>\n"
           L"  </Actions>\n"
           L"</Task>\n";
}

}  // namespace kdesk
