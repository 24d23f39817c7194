// The test set-up dialog: four option groups for the set-up, the result name from the host, the
// destination with the longest test that fits there, and Start, which runs the main dialog in
// test mode inside this one.
#include <windows.h>
#include <string.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/engine.h"
#include "module/setup.h"
#include "module/state.h"
#include "resultfile/result_header.h"
#include "test/main_dialog.h"
#include "test/setup_dialog.h"
#include "ui/choice.h"
#include "ui/controls.h"

namespace {

constexpr int GRID_BUTTON_HEIGHT = 50;
constexpr int GRID_COLUMN_STEP = 105;
constexpr int GRID_ROW_STEP = 55;

// An option group: the table in force, the header field it sets, and where its grid lies.
struct OptionGroup {
    ChoiceEntry *ModuleState::*table;
    INT32 ResultHeader::*field;
    int first_id;
    int x, y;
    int button_width;
    int per_column;
};

const OptionGroup OPTION_GROUPS[] = {
    {&ModuleState::range_table, &ResultHeader::range, SETUP_FIRST_RANGE, 20, 40, 100, 5},
    {&ModuleState::imped_table, &ResultHeader::impedance, SETUP_FIRST_IMPED, 250, 40, 100, 6},
    {&ModuleState::input_table, &ResultHeader::input, SETUP_FIRST_INPUT, 370, 40, 150, 6},
    {&ModuleState::gain_table, &ResultHeader::gain, SETUP_FIRST_GAIN, 540, 40, 100, 6},
};

constexpr size_t HEAD_CHARS = 150; // name, destination and "Max test time"
constexpr size_t TIME_CHARS = 80;  // the time part

void create_grids(HWND dialog) {
    for (const OptionGroup &g : OPTION_GROUPS)
        choice_create_grid(dialog, wfal.*g.table, wfal.header.*g.field, g.first_id, g.x, g.y,
                           g.button_width, GRID_BUTTON_HEIGHT, GRID_COLUMN_STEP, GRID_ROW_STEP,
                           g.per_column);
}

// Free bytes for the result in the directory's volume, after the spare bytes and, in internal
// memory, the reserve the instrument keeps for itself. FALSE when the volume can't be asked.
BOOL free_bytes(const WCHAR *directory, LONGLONG *out) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(directory, &available, NULL, NULL)) return FALSE;
    LONGLONG room = (LONGLONG)available.QuadPart - SETUP_SPARE_BYTES;
    if (wfal.storage_kind == STORAGE_INTERNAL) room -= wfal.memory_reserve;
    *out = room;
    return TRUE;
}

// The name, the destination and the heading of the time; its closing part follows.
void destination_head(const WCHAR *name, WCHAR *out) {
    const WCHAR *where = wfal.storage_kind == STORAGE_INTERNAL ? TEXT("Memory") : TEXT("USB stick");
    // The parts are bounded by their precisions and fit; a cut would be harmless.
    (void)StringCchPrintfW(out, HEAD_CHARS, TEXT("%.40s  (%.30s, %.30s: "), name,
                           lang_lookup(where), lang_lookup(TEXT("Max test time")));
}

// Lowers the size limit to what the destination can take; the limit and the name decide
// whether Start may run, and the field shows both.
void show_destination(HWND dialog) {
    WCHAR directory[PATH_CHARS];
    WCHAR name[PATH_CHARS];
    setup_split_path(wfal.result_path, directory, name);
    WCHAR text[HEAD_CHARS + TIME_CHARS];
    destination_head(name, text);

    LONGLONG room = 0;
    if (!free_bytes(directory, &room))
        wfal.max_file_size = 0;
    else if (room < wfal.max_file_size)
        wfal.max_file_size = room;
    int minutes = setup_test_minutes(wfal.max_file_size, wfal.header.points);

    BOOL named = name[0] != 0 && wfal.storage_kind != 0;
    EnableWindow(GetDlgItem(dialog, SETUP_ID_START), named && minutes != 0);
    WCHAR time[TIME_CHARS];
    setup_time_text(minutes, time, TIME_CHARS);
    (void)StringCchCatW(text, HEAD_CHARS + TIME_CHARS, time);
    SetWindowTextW(GetDlgItem(dialog, SETUP_ID_DESTINATION), named ? text : TEXT(""));
}

void setup_refresh(HWND dialog) {
    setup_validate();
    // The range decides which impedances and inputs may be chosen.
    choice_refresh(dialog, wfal.imped_table, wfal.header.impedance, SETUP_FIRST_IMPED);
    choice_refresh(dialog, wfal.input_table, wfal.header.input, SETUP_FIRST_INPUT);
    header_build();
    wfal.max_file_size = setup_file_limit(wfal.header.points);
    show_destination(dialog);
}

BOOL setup_on_init(HWND dialog) {
    ui_open_side_dialog(dialog, setup_dialog_controls, HELP_TEST_SETUP,
                        TEXT("Set-up spectrogram test"));
    create_grids(dialog);
    // No test can start before a name has been chosen in this dialog.
    wfal.storage_kind = 0;
    setup_refresh(dialog);
    return TRUE;
}

// The probe is the one input that can be missing; the test must not start without it.
void setup_on_start(HWND dialog) {
    if (!engine_probe_connected()) {
        host_call(dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(TEXT("Error")),
                  (INT_PTR)lang_lookup(TEXT("High Impedance Probe not connected.")), HOST_MB_ERROR);
        return;
    }
    DialogBoxParamW(wfal.instance, TEXT("DLG1"), dialog, main_dialog_proc, 1);
    EndDialog(dialog, 0);
}

void setup_on_name(HWND dialog) {
    SetWindowTextW(GetDlgItem(dialog, SETUP_ID_DESTINATION), TEXT(""));
    DWORD kind = host_call(dialog, HOST_EDIT_PATH, (INT_PTR)lang_lookup(TEXT("Result name")),
                           (INT_PTR)wfal.result_path, PATH_CHARS - 1);
    // The host is trusted with the capacity, not with the terminator.
    wfal.result_path[PATH_CHARS - 1] = 0;
    wfal.storage_kind = kind == 0 ? 0 : kind == 1 ? STORAGE_INTERNAL : STORAGE_USB;
    setup_refresh(dialog);
}

BOOL setup_on_option(HWND dialog, int id) {
    for (const OptionGroup &g : OPTION_GROUPS) {
        if (choice_select_by_id(dialog, wfal.*g.table, &(wfal.header.*g.field), g.first_id, id)) {
            setup_refresh(dialog);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL setup_on_command(HWND dialog, int id) {
    switch (id) {
    case ID_ESC:
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case SETUP_ID_START: setup_on_start(dialog); return TRUE;
    case SETUP_ID_NAME: setup_on_name(dialog); return TRUE;
    case SETUP_ID_PRINT_SCREEN: host_call(dialog, HOST_PRINT_SCREEN, 0, 0, 0); return TRUE;
    case ID_HELP: host_call(dialog, HOST_HELP, 0, 0, HELP_TEST_SETUP); return TRUE;
    default: return setup_on_option(dialog, id);
    }
}

// The window's close is Esc, so that the dialog can always be left.
BOOL setup_on_close(HWND dialog) {
    EndDialog(dialog, 0);
    return TRUE;
}

} // namespace

LONGLONG setup_file_limit(INT32 points) {
    LONGLONG limit = (LONGLONG)points * SETUP_BYTES_PER_POINT + RESULT_HEADER_SIZE;
    if (limit < 0 || limit > SETUP_FILE_LIMIT) limit = SETUP_FILE_LIMIT;
    return limit;
}

int setup_test_minutes(LONGLONG max_file_size, INT32 points) {
    if (points <= 0) return 0;
    LONGLONG records = max_file_size / (2 * (LONGLONG)points);
    if (records < SETUP_MIN_RECORDS) return 0;
    return (int)(records / 60);
}

void setup_time_text(int minutes, WCHAR *out, size_t capacity) {
    int amount = minutes;
    const WCHAR *unit = TEXT("minutes");
    if (minutes >= 180) {
        amount = minutes / 60;
        unit = TEXT("hours");
        if (amount >= 72) {
            amount /= 24;
            unit = TEXT("days");
        }
    }
    (void)StringCchPrintfW(out, capacity, TEXT("%d %.15s)"), amount, lang_lookup(unit));
}

void setup_split_path(const WCHAR *path, WCHAR *directory, WCHAR *name) {
    (void)StringCchCopyW(directory, PATH_CHARS, path);
    WCHAR *slash = wcsrchr(directory, TEXT('\\'));
    if (slash) {
        (void)StringCchCopyW(name, PATH_CHARS, slash + 1);
        *slash = 0;
    } else {
        (void)StringCchCopyW(name, PATH_CHARS, directory);
    }
    WCHAR *dot = wcsrchr(name, TEXT('.'));
    if (dot) *dot = 0;
}

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return setup_on_init(dialog);
    case WM_COMMAND: return setup_on_command(dialog, LOWORD(wparam));
    case WM_CLOSE: return setup_on_close(dialog);
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    default: return FALSE;
    }
}
