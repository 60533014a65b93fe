#pragma once
// Whether Simple MAPI can deliver here, found the way Windows' Simple MAPI stub
// finds the mail client: the client named under Software\Clients\Mail (the
// current user's choice first, then the machine's, in this program's registry
// view), and its DLL from the Windows Installer component (MSIComponentID),
// else DLLPathEx, else DLLPath (a bare name from the system folder). No client
// at all, a DLL that is not there, or one built for another machine type
// (which fails every Simple MAPI call) rules Simple MAPI out; where the choice
// cannot tell, Simple MAPI is tried, since a failed sign-on still leaves a draft.
namespace kdesk {

bool UsableMailClientRegistered();

}  // namespace kdesk
