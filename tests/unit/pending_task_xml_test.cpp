#include "platform/portable/pending_task_xml.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kdesk {
namespace {

// A reader just large enough for the task's XML: it fails the test on a tag
// that does not close in order, and maps each element's path
// ("Task/Actions/Exec/Command") to its unescaped texts in document order.
std::map<std::wstring, std::vector<std::wstring>> ReadElements(const std::wstring& xml) {
    std::map<std::wstring, std::vector<std::wstring>> found;
    std::vector<std::wstring> open;
    std::wstring text;
    const auto path = [&] {
        std::wstring joined;
        for (const auto& name : open) joined += (joined.empty() ? L"" : L"/") + name;
        return joined;
    };
    for (std::size_t at = 0; at < xml.size();) {
        if (xml[at] != L'<') {
            const std::size_t end = xml.find(L'<', at);
            text += xml.substr(at, end - at);
            at = end;
            continue;
        }
        const std::size_t close = xml.find(L'>', at);
        if (close == std::wstring::npos) {
            ADD_FAILURE() << "unclosed tag";
            break;
        }
        std::wstring tag = xml.substr(at + 1, close - at - 1);
        at = close + 1;
        if (tag.starts_with(L"/")) {
            if (open.empty() || open.back() != tag.substr(1)) ADD_FAILURE() << "misnested </" << tag << ">";
            found[path()].push_back(text);
            if (!open.empty()) open.pop_back();
        } else if (!tag.ends_with(L"/")) {
            open.push_back(tag.substr(0, tag.find(L' ')));
        }
        text.clear();
    }
    EXPECT_TRUE(open.empty()) << "unclosed elements";
    for (auto& [name, texts] : found)
        for (auto& value : texts) {
            EXPECT_EQ(value.find_first_of(L"<>"), std::wstring::npos) << value;
            for (const auto& [entity, plain] : {std::pair{L"&lt;", L"<"}, {L"&gt;", L">"}, {L"&amp;", L"&"}})
                for (std::size_t hit; (hit = value.find(entity)) != std::wstring::npos;)
                    value.replace(hit, std::wstring(entity).size(), plain);
        }
    return found;
}

TEST(PendingTaskXml, RunsTheProgramQuotedWithItsArgumentAsTheUserWithOrdinaryRights) {
    const struct {
        std::wstring program, user;
    } cases[] = {
        {L"C:\\Program Files\\VelKdesk\\KdeskSupport.exe", L"NEGOZIO\\cassa"},
        // Markup characters in a folder or an account name stay text.
        {L"C:\\R&D <prove>\\KdeskSupport.exe", L"PC-1\\Anna & Luca <x>"},
    };
    for (const auto& c : cases) {
        const auto xml = ReadElements(PendingTaskXml(c.program, c.user));
        const auto only = [&](const wchar_t* path) {
            const auto it = xml.find(path);
            return it != xml.end() && it->second.size() == 1 ? it->second[0] : L"<missing or repeated>";
        };
        EXPECT_EQ(only(L"Task/Actions/Exec/Command"), L"\"" + c.program + L"\"");
        EXPECT_EQ(only(L"Task/Actions/Exec/Arguments"), L"/invia-sospesi");
        EXPECT_EQ(only(L"Task/Triggers/LogonTrigger/UserId"), c.user);
        EXPECT_EQ(only(L"Task/Triggers/LogonTrigger/Enabled"), L"true");
        EXPECT_EQ(only(L"Task/Triggers/TimeTrigger/Repetition/Interval"), L"PT15M");
        EXPECT_EQ(only(L"Task/Triggers/TimeTrigger/Enabled"), L"true");
        // No duration: the repetition never ends.
        EXPECT_EQ(xml.count(L"Task/Triggers/TimeTrigger/Repetition/Duration"), 0u);
        EXPECT_EQ(only(L"Task/Triggers/TimeTrigger/StartBoundary").substr(0, 2), L"20");
        EXPECT_EQ(only(L"Task/Principals/Principal/UserId"), c.user);
        EXPECT_EQ(only(L"Task/Principals/Principal/LogonType"), L"InteractiveToken");
        EXPECT_EQ(only(L"Task/Principals/Principal/RunLevel"), L"LeastPrivilege");
        EXPECT_EQ(only(L"Task/Settings/RunOnlyIfNetworkAvailable"), L"true");
        EXPECT_EQ(only(L"Task/Settings/ExecutionTimeLimit"), L"PT10M");
        EXPECT_EQ(only(L"Task/Settings/MultipleInstancesPolicy"), L"IgnoreNew");
        EXPECT_EQ(only(L"Task/Settings/DisallowStartIfOnBatteries"), L"false");
        EXPECT_EQ(only(L"Task/Settings/StopIfGoingOnBatteries"), L"false");
    }
}

// The scheduler validates the XML: a trigger's elements form a sequence.
TEST(PendingTaskXml, TriggersListTheirElementsInTheSchemasOrder) {
    const std::wstring xml = PendingTaskXml(L"C:\\K.exe", L"PC\\u");
    const auto inOrder = [&](const wchar_t* trigger, std::vector<const wchar_t*> elements) {
        const std::size_t start = xml.find(std::wstring(L"<") + trigger + L">");
        const std::size_t end = xml.find(std::wstring(L"</") + trigger + L">");
        std::size_t last = start;
        for (const wchar_t* element : elements) {
            const std::size_t at = xml.find(std::wstring(L"<") + element + L">", start);
            EXPECT_TRUE(at > last && at < end) << trigger << ": " << element;
            last = at;
        }
    };
    inOrder(L"LogonTrigger", {L"Enabled", L"UserId"});
    inOrder(L"TimeTrigger", {L"Enabled", L"StartBoundary", L"Repetition"});
}

TEST(PendingTaskName, NamesTheUser) {
    EXPECT_EQ(PendingTaskName(L"cassa"), L"KdeskSupport invio in sospeso (cassa)");
}

}  // namespace
}  // namespace kdesk
