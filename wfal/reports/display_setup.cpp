// The display set-up dialog: the level unit, the black and white levels of the colour scale and
// Find's parameters, edited in the module's display settings. The same procedure shows the
// About box. The value fields are what counts while the dialog is open: they are read back
// into the settings when it is destroyed.
#include <windows.h>
#include <stdlib.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/entry.h"
#include "module/setup.h"
#include "module/state.h"
#include "reports/display_setup.h"
#include "ui/button.h"
#include "ui/choice.h"
#include "ui/controls.h"

namespace {

constexpr int GRID_BUTTON_HEIGHT = 50;
constexpr int GRID_ROW_STEP = 55;
constexpr int GRID_PER_COLUMN = 10;
constexpr int VALUE_CHARS = 16; // a signed 32-bit decimal and its terminator

// A value the user enters: its key (the value field and the unit field follow it), the setting
// it edits, and whether it is a level, shown in the level unit, or a difference in dB.
struct ValueRow {
    int key;
    INT32 DisplaySettings::*setting;
    const WCHAR *title;
    BOOL is_level;
};

const ValueRow VALUE_ROWS[] = {
    {DISPLAY_ID_WHITE, &DisplaySettings::white_level, TEXT("White level"), TRUE},
    {DISPLAY_ID_BLACK, &DisplaySettings::black_level, TEXT("Black level"), TRUE},
    {DISPLAY_ID_THRESHOLD, &DisplaySettings::find_threshold, TEXT("Find thr"), TRUE},
    {DISPLAY_ID_CHANGE, &DisplaySettings::change_threshold, TEXT("Find chg thr"), FALSE},
};

// An option group: its table, the setting it picks, and where its single column stands.
struct OptionGrid {
    ChoiceEntry *table;
    INT32 DisplaySettings::*setting;
    int first_id;
    int x, y;
    int button_width;
};

const OptionGrid OPTION_GRIDS[] = {
    {choice_level_unit, &DisplaySettings::level_unit, DISPLAY_FIRST_UNIT, 20, 40, 100},
    {choice_find_mode, &DisplaySettings::find_mode, DISPLAY_FIRST_FIND_MODE, 180, 210, 150},
};

int value_field(int key) {
    return key + 1;
}

int unit_field(int key) {
    return key + 2;
}

const WCHAR *level_unit_label() {
    return choice_label(choice_level_unit, wfal.display.level_unit);
}

void set_look(HWND dialog, int id, ControlStyle *look) {
    SendMessageW(GetDlgItem(dialog, id), BTN_SET_LOOK, 0, (LPARAM)look);
}

// The unit labels follow the level unit; the change threshold's parts look switched off while
// Find does not use it, but keep its value.
void short_refresh(HWND dialog) {
    for (const ValueRow &row : VALUE_ROWS)
        if (row.is_level)
            SetWindowTextW(GetDlgItem(dialog, unit_field(row.key)), level_unit_label());
    BOOL on = wfal.display.change_threshold_on != 0;
    set_look(dialog, DISPLAY_ID_USE, on ? &style_selected : &style_normal);
    EnableWindow(GetDlgItem(dialog, DISPLAY_ID_CHANGE), on);
    set_look(dialog, value_field(DISPLAY_ID_CHANGE), on ? &style_header : &style_header_dim);
    set_look(dialog, unit_field(DISPLAY_ID_CHANGE), on ? &style_field : &style_field_dim);
}

// Entered values may be out of range: the validation puts them back to their defaults before
// the fields show them.
void full_refresh(HWND dialog) {
    setup_validate_display();
    for (const ValueRow &row : VALUE_ROWS) {
        WCHAR text[VALUE_CHARS];
        (void)StringCchPrintfW(text, VALUE_CHARS, TEXT("%d"), wfal.display.*row.setting);
        SetWindowTextW(GetDlgItem(dialog, value_field(row.key)), text);
    }
    short_refresh(dialog);
}

// A field that is missing keeps its setting rather than reading as 0.
void read_values(HWND dialog) {
    for (const ValueRow &row : VALUE_ROWS) {
        HWND field = GetDlgItem(dialog, value_field(row.key));
        if (!field) continue;
        WCHAR text[VALUE_CHARS] = {};
        GetWindowTextW(field, text, VALUE_CHARS);
        wfal.display.*row.setting = _wtoi(text);
    }
}

BOOL display_on_init(HWND dialog) {
    ui_open_side_dialog(dialog, display_dialog_controls, HELP_DISPLAY_SETUP, TEXT("Display"));
    for (const OptionGrid &g : OPTION_GRIDS)
        choice_create_grid(dialog, g.table, wfal.display.*g.setting, g.first_id, g.x, g.y,
                           g.button_width, GRID_BUTTON_HEIGHT, 0, GRID_ROW_STEP, GRID_PER_COLUMN);
    full_refresh(dialog);
    return TRUE;
}

BOOL display_on_destroy(HWND dialog) {
    read_values(dialog);
    setup_validate_display();
    return TRUE;
}

// The host's answer is taken as it comes (a negative level arrives as its two's complement);
// the refresh keeps it in range.
BOOL enter_value(HWND dialog, int id) {
    for (const ValueRow &row : VALUE_ROWS) {
        if (row.key != id) continue;
        const WCHAR *unit = row.is_level ? level_unit_label() : lang_lookup(TEXT("dB"));
        INT32 &value = wfal.display.*row.setting;
        value = (INT32)host_call(dialog, HOST_ENTER_NUMBER, (INT_PTR)lang_lookup(row.title),
                                 (INT_PTR)unit, value);
        full_refresh(dialog);
        return TRUE;
    }
    return FALSE;
}

BOOL select_option(HWND dialog, int id) {
    for (const OptionGrid &g : OPTION_GRIDS) {
        if (choice_select_by_id(dialog, g.table, &(wfal.display.*g.setting), g.first_id, id)) {
            short_refresh(dialog);
            return TRUE;
        }
    }
    return FALSE;
}

void toggle_change_threshold(HWND dialog) {
    wfal.display.change_threshold_on = wfal.display.change_threshold_on ? 0 : 1;
    short_refresh(dialog);
}

void show_about(HWND dialog) {
    WCHAR text[DISPLAY_ABOUT_CHARS];
    display_about_text(text, DISPLAY_ABOUT_CHARS);
    host_call(dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(TEXT("Abouttitle")), (INT_PTR)text,
              HOST_MB_INFORMATION);
}

BOOL display_on_command(HWND dialog, int id) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case ID_ESC: EndDialog(dialog, 0); return TRUE;
    case DISPLAY_ID_PRINT_SCREEN: host_call(dialog, HOST_PRINT_SCREEN, 0, 0, 0); return TRUE;
    case ID_HELP: host_call(dialog, HOST_HELP, 0, 0, HELP_DISPLAY_SETUP); return TRUE;
    case DISPLAY_ID_USE: toggle_change_threshold(dialog); return TRUE;
    case DISPLAY_ID_ABOUT: show_about(dialog); return TRUE;
    default: return enter_value(dialog, id) || select_option(dialog, id);
    }
}

} // namespace

void display_about_text(WCHAR *text, size_t capacity) {
    WCHAR version[8];
    wfalver(version);
    // Translations too long for the box are cut at its end; the cut is harmless.
    (void)StringCchPrintfW(text, capacity, TEXT("%s:\r\n\r\nTRX71\r\n\r\n%s: %s"),
                           lang_lookup(TEXT("Abouttext")), lang_lookup(TEXT("Version")), version);
}

INT_PTR CALLBACK display_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return display_on_init(dialog);
    case WM_COMMAND: return display_on_command(dialog, LOWORD(wparam));
    case WM_DESTROY: return display_on_destroy(dialog);
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    default: return FALSE;
    }
}
