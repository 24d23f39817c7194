// The test set-up dialog.
// TO BE FILLED: the option groups, the refresh of the set-up and the keys other than Esc come
// with the set-up dialog's own work. What is here: the controls, the help key by help_mask, the
// dialog's place, its title, and Esc.
#include <windows.h>

#include "lang/lang.h"
#include "module/state.h"
#include "test/setup_dialog.h"
#include "ui/controls.h"

namespace {

BOOL setup_on_init(HWND dialog) {
    ui_build_controls(dialog, setup_dialog_controls);
    if (!(wfal.help_mask & HELP_TEST_SETUP)) DestroyWindow(GetDlgItem(dialog, ID_HELP));
    MoveWindow(dialog, DIALOG_X, DIALOG_Y, DIALOG_WIDTH, DIALOG_HEIGHT, TRUE);
    host_call(NULL, HOST_SET_TITLE, (INT_PTR)lang_lookup(TEXT("Set-up spectrogram test")), 0, 0);
    // No test can start before a name has been chosen in this dialog.
    wfal.storage_kind = 0;
    return TRUE;
}

BOOL setup_on_command(HWND dialog, int id) {
    if (id != ID_ESC) return FALSE;
    EndDialog(dialog, 0);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return setup_on_init(dialog);
    case WM_COMMAND: return setup_on_command(dialog, LOWORD(wparam));
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    default: return FALSE;
    }
}
