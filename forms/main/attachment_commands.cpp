#include "forms/main/frmMain.h"
#include "modules/ModMapi.h"
#include "modules/ModMapi_steps.h"

namespace kdesk {

void FrmMain::cmdLoadDati_Click() { FillAttachmentList(platform_, vars_, controls_.List1); }

void FrmMain::cmdAddFile_Click() {
    // Any failure, the dialog's cancel error included, ends the command silently.
    SkipOnError([&] {
        controls_.CommonDialog1.SetCancelError(true);
        controls_.CommonDialog1.ShowOpen();
        const std::wstring file = controls_.CommonDialog1.FileName();
        if (!file.empty()) controls_.List1.AddItem(file);
    });
}

void FrmMain::List1_Click() {
    SkipOnError([&] {
        ListBox& list = controls_.List1;
        if (list.ListCount() <= 0) return;
        const int selected = list.ListIndex();
        if (selected < 0) return;
        if (platform_.runtime.MsgBox(L"Confermi cancellazione item ?", MsgButtons::OkCancel, std::wstring{}) ==
            MsgResult::Ok)
            list.RemoveItem(selected);
    });
}

void FrmMain::cmdClearText_Click() {
    SkipOnError([&] { controls_.txtMessage.SetText(L""); });
    SkipOnError([&] { controls_.txtDatiCliente.SetText(L""); });
    SkipOnError([&] { controls_.List1.Clear(); });
}

}  // namespace kdesk
