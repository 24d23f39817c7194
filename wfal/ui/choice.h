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
