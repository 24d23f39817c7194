// Choice tables: the fixed lists of values that a set-up or display value is picked from.
#pragma once

#include <windows.h>

struct ChoiceEntry {
    INT32 value;
    WCHAR label[32];    // made at run time by choice_make_labels
    WCHAR text_key[32]; // language key: the whole label when divisor is 0, else the unit
    INT32 divisor;      // 0: label is the key's text; else value / divisor and the unit
    BOOL enabled;       // 1 when the entry may be chosen now
    INT32 present;      // 0 only in the entry that ends the table
};

// The tables. Set A serves the standard instrument, set B the wideband one; the module state
// says which set is in force. Each ends with an entry whose `present` is 0.
extern ChoiceEntry choice_range_a[];
extern ChoiceEntry choice_range_b[];
extern ChoiceEntry choice_imped_a[];
extern ChoiceEntry choice_imped_b[];
extern ChoiceEntry choice_input_a[];
extern ChoiceEntry choice_input_b[];
extern ChoiceEntry choice_gain_a[];
extern ChoiceEntry choice_gain_b[];
extern ChoiceEntry choice_level_unit[];
extern ChoiceEntry choice_find_mode[];

// Builds every entry's label in the language of this run.
void choice_make_labels(ChoiceEntry *table);
// Leaves *value if an enabled entry holds it, else sets the first enabled entry's value, or 0
// when no entry is enabled.
void choice_validate(const ChoiceEntry *table, INT32 *value);
// Mode CHOICE_AT_MOST enables the entries whose value is at most threshold, CHOICE_AT_LEAST
// those whose value is at least threshold; any other mode disables every entry.
void choice_enable_by_threshold(ChoiceEntry *table, INT32 threshold, int mode);
// The label of the first entry holding value, or an empty text.
const WCHAR *choice_label(const ChoiceEntry *table, INT32 value);

// One option button per entry (ids from first_id on, captions the labels), placed column by
// column, per_column to a column; the current value's button is selected.
void choice_create_grid(HWND dialog, const ChoiceEntry *table, INT32 current, int first_id, int x0,
                        int y0, int w, int h, int dx, int dy, int per_column);
// Gives each button of the grid the selected or the normal look by the current value, and
// enables it by its entry.
void choice_refresh(HWND dialog, const ChoiceEntry *table, INT32 current, int first_id);
// If pressed_id is the button of an entry: stores the entry's value, refreshes the grid and
// returns 1. Otherwise 0, with nothing changed.
int choice_select_by_id(HWND dialog, const ChoiceEntry *table, INT32 *value, int first_id,
                        int pressed_id);

constexpr int CHOICE_AT_MOST = 1;
constexpr int CHOICE_AT_LEAST = 2;
