// The main spectrogram dialog.
// TO BE FILLED: the views' layout with the splitter, opening the file, the test run, the timer
// and the keys other than Esc come with the main dialog's own work. What is here: the controls,
// the dialog's place and title, the key columns along the right edge, Esc and the window's close.
#include <windows.h>

#include "lang/lang.h"
#include "module/state.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

constexpr int KEY_HEIGHT = 50;
constexpr int KEY_PITCH = 55; // from one key's top to the next
// The outer column: Esc, then 109 to 115 below it.
constexpr int OUTER_FROM_RIGHT = 105;
constexpr int OUTER_WIDTH = 100;
constexpr int OUTER_FIRST = 109;
constexpr int OUTER_LAST = 115;
// The inner column: 101 to 108.
constexpr int INNER_FROM_RIGHT = 180;
constexpr int INNER_WIDTH = 70;
constexpr int INNER_FIRST = 101;
constexpr int INNER_LAST = 108;
constexpr int TOP_KEY_Y = 5;

void place_key(HWND dialog, int id, int x, int y, int width) {
    HWND key = GetDlgItem(dialog, id);
    MoveWindow(key, x, y, width, KEY_HEIGHT, FALSE);
    RedrawWindow(key, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
}

void place_keys(HWND dialog, int client_width) {
    place_key(dialog, ID_ESC, client_width - OUTER_FROM_RIGHT, TOP_KEY_Y, OUTER_WIDTH);
    for (int id = INNER_FIRST; id <= INNER_LAST; id++)
        place_key(dialog, id, client_width - INNER_FROM_RIGHT,
                  TOP_KEY_Y + (id - INNER_FIRST) * KEY_PITCH, INNER_WIDTH);
    for (int id = OUTER_FIRST; id <= OUTER_LAST; id++)
        place_key(dialog, id, client_width - OUTER_FROM_RIGHT,
                  TOP_KEY_Y + (id - OUTER_FIRST + 1) * KEY_PITCH, OUTER_WIDTH);
}

BOOL main_on_init(HWND dialog) {
    wfal.main_dialog = dialog;
    ui_build_controls(dialog, main_dialog_controls);
    host_call(NULL, HOST_SET_TITLE, (INT_PTR)lang_lookup(TEXT("Spectrogram")), 0, 0);
    MoveWindow(dialog, DIALOG_X, DIALOG_Y, DIALOG_WIDTH, DIALOG_HEIGHT, TRUE);
    return TRUE;
}

BOOL main_on_size(HWND dialog, int client_width) {
    place_keys(dialog, client_width);
    return TRUE;
}

BOOL main_on_command(HWND dialog, int id) {
    if (id != ID_ESC) return FALSE;
    EndDialog(dialog, 0);
    return TRUE;
}

// Nothing may close the dialog while a test records or a find runs.
BOOL main_on_close(HWND dialog) {
    if (!(wfal.run_state & (RUN_FINDING | RUN_TESTING))) EndDialog(dialog, 0);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: return main_on_init(dialog);
    case WM_SIZE: return main_on_size(dialog, LOWORD(lparam));
    case WM_COMMAND: return main_on_command(dialog, LOWORD(wparam));
    case WM_CLOSE: return main_on_close(dialog);
    case WM_DESTROY: return TRUE;
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    default: return FALSE;
    }
}
