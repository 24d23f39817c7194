// The main spectrogram dialog: the spectrum graph over the spectrogram with the splitter between
// them, two columns of soft keys along the right edge, the timer that paces a recording and
// repeats held keys, and the dispatch of every key.
#include <windows.h>

#include "lang/lang.h"
#include "module/state.h"
#include "reports/display_setup.h"
#include "reports/result_list.h"
#include "reports/setup_report.h"
#include "reports/text_viewer.h"
#include "spectrogram/marker.h"
#include "spectrogram/view_update.h"
#include "test/acquisition.h"
#include "test/main_dialog.h"
#include "ui/button.h"
#include "ui/controls.h"
#include "ui/splitter.h"

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

// The views take the client area left of the key columns.
constexpr int VIEWS_FROM_RIGHT = 185;
constexpr int SPLITTER_HEIGHT = 4;
// The split cycle: a splitter this close to the top or the bottom counts as there.
constexpr int SPLIT_NEAR_TOP = 20;
constexpr int SPLIT_NEAR_BOTTOM = 24;

// Keys that repeat while held, and the ticks of holding before the first repeat.
constexpr int REPEATING_KEYS[] = {ID_MARKER_LEFT, ID_MARKER_RIGHT, ID_LINE_UP,
                                  ID_LINE_DOWN,   ID_PAGE_UP,      ID_PAGE_DOWN};
constexpr int REPEAT_AFTER_TICKS = 3;

// Keys that only ask the view for a move.
struct ViewKey {
    int id;
    int request;
};
constexpr ViewKey VIEW_KEYS[] = {
    {ID_LINE_UP, VIEW_LINE_UP}, {ID_LINE_DOWN, VIEW_LINE_DOWN}, {ID_TOP, VIEW_TOP},
    {ID_PAGE_UP, VIEW_PAGE_UP}, {ID_PAGE_DOWN, VIEW_PAGE_DOWN}, {ID_FIND, VIEW_FIND},
};

// Ticks the held key has been held; 0 while no key of the dialog holds the pointer.
int key_repeat_count;

// A recording whose display follows the newest record.
BOOL testing_live(int state) {
    return (state & RUN_TESTING) && !(state & RUN_FROZEN);
}

// Print screen and the side dialogs: not while the view runs live or a find runs.
BOOL side_keys_allowed(int state) {
    return !testing_live(state) && !(state & RUN_FINDING);
}

// Moves a child and has it repaint at once, erasing included.
void place_child(HWND dialog, int id, int x, int y, int width, int height) {
    HWND child = GetDlgItem(dialog, id);
    MoveWindow(child, x, y, width, height, FALSE);
    RedrawWindow(child, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void place_key(HWND dialog, int id, int x, int y, int width) {
    place_child(dialog, id, x, y, width, KEY_HEIGHT);
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

// The splitter's top in the dialog's client coordinates; 0 before it exists.
int splitter_top(HWND dialog) {
    RECT bar;
    if (!GetWindowRect(GetDlgItem(dialog, ID_SPLITTER), &bar)) return 0;
    POINT corner = {bar.left, bar.top};
    ScreenToClient(dialog, &corner);
    return corner.y;
}

int client_height(HWND dialog) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(dialog, &client);
    return client.bottom;
}

void set_title() {
    host_call(NULL, HOST_SET_TITLE, (INT_PTR)lang_lookup(TEXT("Spectrogram")), 0, 0);
}

BOOL main_on_init(HWND dialog, LPARAM mode) {
    wfal.main_dialog = dialog;
    key_repeat_count = 0;
    ui_build_controls(dialog, main_dialog_controls);
    soft_key_refresh();
    set_title();
    MoveWindow(dialog, DIALOG_X, DIALOG_Y, DIALOG_WIDTH, DIALOG_HEIGHT, TRUE);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(ID_SPLIT, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, ID_SPLIT));
    if (mode == MAIN_VIEW_FILE)
        open_result();
    else
        test_start();
    SetTimer(dialog, MAIN_TIMER, MAIN_TIMER_MS, NULL);
    return TRUE;
}

// The dialog gets a size while it is created, before its controls exist: nothing to place then.
BOOL main_on_size(HWND dialog, int client_width) {
    if (dialog != wfal.main_dialog) return TRUE;
    view_layout(VIEW_LAYOUT_KEEP);
    place_keys(dialog, client_width);
    return TRUE;
}

// Graph only, both, spectrogram only, and round again.
void split_cycle(HWND dialog) {
    int y = splitter_top(dialog);
    if (y < SPLIT_NEAR_TOP)
        view_layout(MAIN_FIRST_SPLIT);
    else if (y > client_height(dialog) - SPLIT_NEAR_BOTTOM)
        view_layout(0);
    else
        view_layout(client_height(dialog));
}

// The side dialogs set their own titles; ours comes back when they end.
void show_text(HWND dialog, TextFiller filler) {
    DialogBoxParamW(wfal.instance, TEXT("DLG2"), dialog, text_viewer_proc, (LPARAM)filler);
    set_title();
}

// The display set-up always ends with 0, so anything else means its dialog could not run; the
// main dialog then ends with 1.
void key_display_setup(HWND dialog) {
    if (DialogBoxParamW(wfal.instance, TEXT("DLG2"), dialog, display_dialog_proc, 0) != 0) {
        EndDialog(dialog, 1);
        return;
    }
    set_title();
    if (wfal.run_state != 0) view_update(VIEW_DISPLAY);
}

// Stop ends a running find at once; a recording only after the user confirmed it.
void key_stop(HWND dialog) {
    wfal.stop_pressed = TRUE;
    if (!testing_live(wfal.run_state)) return;
    DWORD answer = host_call(dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(TEXT("Stop")),
                             (INT_PTR)lang_lookup(TEXT("Stop test?")), HOST_MB_QUESTION);
    if (answer == HOST_ANSWER_YES) test_stop();
}

BOOL view_key(int id) {
    for (const ViewKey &key : VIEW_KEYS) {
        if (key.id != id) continue;
        view_update(key.request);
        return TRUE;
    }
    return FALSE;
}

BOOL main_on_command(HWND dialog, int id) {
    switch (id) {
    case ID_ESC: EndDialog(dialog, 0); break;
    case ID_SPLIT: split_cycle(dialog); break;
    case ID_MARKER_LEFT: marker_step(-1); break;
    case ID_MARKER_RIGHT: marker_step(1); break;
    case ID_PRINT_SCREEN: host_call(dialog, HOST_PRINT_SCREEN, 0, 0, 0); break;
    case ID_LIST: show_text(dialog, report_fill_list); break;
    case ID_SETUP: show_text(dialog, report_fill_setup); break;
    case ID_DISPLAY: key_display_setup(dialog); break;
    case ID_FREEZE: freeze_toggle(); break;
    case ID_STOP: key_stop(dialog); break;
    default: return view_key(id);
    }
    return TRUE;
}

// The host may ask a recording to stop; otherwise the waiting results become records, and the
// view follows the newest one unless it is frozen.
void recording_tick() {
    if (host_call(NULL, HOST_STOP_REQUESTED, 0, 0, 0)) {
        test_stop();
        return;
    }
    if (acquisition_tick() && !(wfal.run_state & RUN_FROZEN)) view_update(VIEW_NEW_RECORD);
}

BOOL repeats(int id) {
    for (int key : REPEATING_KEYS) {
        if (key == id) return TRUE;
    }
    return FALSE;
}

// A key held down keeps the pointer captured: after a few ticks of holding, its command comes
// again on every tick.
void key_repeat_tick(HWND dialog) {
    HWND held = GetCapture();
    if (!held || GetParent(held) != dialog) {
        key_repeat_count = 0;
        return;
    }
    int id = GetDlgCtrlID(held);
    if (!repeats(id)) return;
    if (key_repeat_count++ >= REPEAT_AFTER_TICKS)
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)held);
}

BOOL main_on_timer(HWND dialog) {
    if (wfal.run_state & RUN_TESTING) recording_tick();
    key_repeat_tick(dialog);
    return TRUE;
}

// Nothing may close the dialog while a test records or a find runs.
BOOL main_on_close(HWND dialog) {
    if (!(wfal.run_state & (RUN_FINDING | RUN_TESTING))) EndDialog(dialog, 0);
    return TRUE;
}

// The splitter reports its new top while it is dragged; the answer 1 tells it the views moved.
BOOL main_on_splitter_moved(HWND dialog, int y) {
    view_layout(y);
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
}

BOOL main_on_destroy(HWND dialog) {
    KillTimer(dialog, MAIN_TIMER);
    return TRUE;
}

void enable_side_keys(int state) {
    BOOL allowed = side_keys_allowed(state);
    main_item_enable(ID_PRINT_SCREEN, state == 0 || allowed);
    main_item_enable(ID_DISPLAY, state == 0 || allowed);
    main_item_enable(ID_LIST, state != 0 && allowed);
    main_item_enable(ID_SETUP, state != 0 && allowed);
}

// Stop glows while it would stop a recording; Freeze says what it would do.
void set_run_key_looks(int state) {
    ControlStyle *look = testing_live(state) ? &style_alarm : &style_normal;
    SendMessageW(main_item(ID_STOP), BTN_SET_LOOK, 0, (LPARAM)look);
    const WCHAR *freeze = (state & RUN_FROZEN) ? TEXT("Continue") : TEXT("Freeze");
    SetWindowTextW(main_item(ID_FREEZE), lang_lookup(freeze));
}

} // namespace

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: return main_on_init(dialog, lparam);
    case WM_SIZE: return main_on_size(dialog, LOWORD(lparam));
    case WM_COMMAND: return main_on_command(dialog, LOWORD(wparam));
    case WM_TIMER: return wparam == MAIN_TIMER && main_on_timer(dialog);
    case WM_CLOSE: return main_on_close(dialog);
    case WM_DESTROY: return main_on_destroy(dialog);
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    case SPLITTER_MOVED: return main_on_splitter_moved(dialog, (int)lparam);
    default: return FALSE;
    }
}

HWND main_item(int id) {
    return wfal.main_dialog ? GetDlgItem(wfal.main_dialog, id) : NULL;
}

void main_item_enable(int id, BOOL enable) {
    EnableWindow(main_item(id), enable ? TRUE : FALSE);
}

void soft_key_refresh() {
    int state = wfal.run_state;
    main_item_enable(ID_ESC, !(state & (RUN_TESTING | RUN_FINDING)));
    main_item_enable(ID_GRAPH, state != 0);
    main_item_enable(ID_SPECTROGRAM, state != 0);
    marker_enable_keys(state != 0);
    enable_side_keys(state);
    main_item_enable(ID_FREEZE, (state & RUN_TESTING) != 0);
    main_item_enable(ID_STOP, testing_live(state) || (state & RUN_FINDING));
    set_run_key_looks(state);
    view_enable_keys();
}

void view_layout(int y) {
    HWND dialog = wfal.main_dialog;
    RECT client;
    if (!GetClientRect(dialog, &client)) return;
    if (y == VIEW_LAYOUT_KEEP) y = splitter_top(dialog);
    // The upper bound first: a dialog lower than the bar still gets y 0.
    if (y > client.bottom - SPLITTER_HEIGHT) y = client.bottom - SPLITTER_HEIGHT;
    if (y < 0) y = 0;
    int width = client.right - VIEWS_FROM_RIGHT;
    place_child(dialog, ID_GRAPH, 0, 0, width, y);
    place_child(dialog, ID_SPLITTER, 0, y, width, SPLITTER_HEIGHT);
    place_child(dialog, ID_SPECTROGRAM, 0, y + SPLITTER_HEIGHT, width,
                client.bottom - y - SPLITTER_HEIGHT);
    view_enable_keys();
}

BOOL open_result() {
    view_clear();
    wfal.run_state = 0;
    soft_key_refresh();
    if (!header_check_file(wfal.result_path, &wfal.header, &wfal.file_size)) {
        host_call(wfal.main_dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(TEXT("Error")),
                  (INT_PTR)lang_lookup(TEXT("Unknown file.")), HOST_MB_ERROR);
        return FALSE;
    }
    wfal.run_state = RUN_LOADED;
    soft_key_refresh();
    view_update(VIEW_OPENED);
    return TRUE;
}
