#pragma once
// The program's command line: "/invia-sospesi" (any letter case, quoted or
// not, anywhere among the arguments) asks for the run that only sends the
// waiting messages; every other argument is ignored.
#include <string_view>

namespace kdesk {

// `arguments` is the command line after the program's name, as wWinMain gets it.
bool AsksToSendWaitingOnly(std::wstring_view arguments);

}  // namespace kdesk
