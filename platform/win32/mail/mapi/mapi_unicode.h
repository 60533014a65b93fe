#pragma once
// The Unicode Simple MAPI structures and MAPISendMailW, which MinGW's mapi.h lacks.
#include <windows.h>

#include <mapi.h>

namespace kdesk {

struct MapiFileDescW {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    PVOID lpFileType;
};

struct MapiRecipDescW {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    PVOID lpEntryID;
};

struct MapiMessageW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipDescW* lpOriginator;
    ULONG nRecipCount;
    MapiRecipDescW* lpRecips;
    ULONG nFileCount;
    MapiFileDescW* lpFiles;
};

using MapiSendMailWFn = ULONG(WINAPI*)(LHANDLE session, ULONG_PTR uiParam, MapiMessageW* message, FLAGS flags,
                                        ULONG reserved);
using MapiLogonFn = LPMAPILOGON;
using MapiLogoffFn = LPMAPILOGOFF;
using MapiResolveNameFn = LPMAPIRESOLVENAME;
using MapiSendMailFn = LPMAPISENDMAIL;
using MapiFreeBufferFn = ULONG(WINAPI*)(LPVOID buffer);

}  // namespace kdesk
