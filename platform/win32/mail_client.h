#pragma once
// Whether Simple MAPI can deliver here: a mail client is registered under
// Software\Clients\Mail (the current user's choice first, then the machine's,
// in this program's registry view) whose DLL exists and is built for this
// program's machine type. A client of the other bitness fails every Simple
// MAPI call, and none at all leaves only Windows' stub.
namespace kdesk {

bool UsableMailClientRegistered();

}  // namespace kdesk
