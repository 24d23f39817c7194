// Choice tables: the values a set-up or display setting may take, their labels, and which of
// them may be chosen now.
#include <windows.h>
#include <strsafe.h>

#include <iterator>

#include "lang/lang.h"
#include "module/state.h"
#include "ui/button.h"
#include "ui/choice.h"
#include "ui/controls.h"

// Entries start enabled; labels are made at run time.
#define CHOICE(value, key, divisor)                                                                \
    { value, {}, TEXT(key), divisor, TRUE, 1 }
#define CHOICE_END                                                                                 \
    { 0, {}, {}, 0, FALSE, 0 }

ChoiceEntry choice_range_a[] = {
    CHOICE(4000, "kHz", 1000),
    CHOICE(20000, "kHz", 1000),
    CHOICE(300000, "MHz", 1000000),
    CHOICE(600000, "MHz", 1000000),
    CHOICE(1500000, "MHz", 1000000),
    CHOICE(3000000, "MHz", 1000000),
    CHOICE(9000000, "MHz", 1000000),
    CHOICE(12000000, "MHz", 1000000),
    CHOICE(18000000, "MHz", 1000000),
    CHOICE(35000000, "MHz", 1000000),
    CHOICE_END,
};

ChoiceEntry choice_range_b[] = {
    CHOICE(1500000, "MHz", 1000000),
    CHOICE(3000000, "MHz", 1000000),
    CHOICE(9000000, "MHz", 1000000),
    CHOICE(12000000, "MHz", 1000000),
    CHOICE(18000000, "MHz", 1000000),
    CHOICE(35000000, "MHz", 1000000),
    CHOICE(106000000, "MHz", 1000000),
    CHOICE(212000000, "MHz", 1000000),
    CHOICE_END,
};

ChoiceEntry choice_imped_a[] = {
    CHOICE(100, "Ohm", 1), CHOICE(120, "Ohm", 1), CHOICE(135, "Ohm", 1),
    CHOICE(150, "Ohm", 1), CHOICE(600, "Ohm", 1), CHOICE_END,
};

ChoiceEntry choice_imped_b[] = {
    CHOICE(100, "Ohm", 1),
    CHOICE_END,
};

ChoiceEntry choice_input_a[] = {
    CHOICE(0, "Terminated", 0),
    CHOICE(1, "Unterminated", 0),
    CHOICE(2, "High imp probe", 0),
    CHOICE_END,
};

ChoiceEntry choice_input_b[] = {
    CHOICE(0, "Terminated", 0),
    CHOICE(2, "High imp probe", 0),
    CHOICE_END,
};

ChoiceEntry choice_gain_a[] = {
    CHOICE(-1, "Auto", 0), CHOICE(0, "dB", 1),  CHOICE(10, "dB", 1), CHOICE(20, "dB", 1),
    CHOICE(30, "dB", 1),   CHOICE(40, "dB", 1), CHOICE_END,
};

ChoiceEntry choice_gain_b[] = {
    CHOICE(-1, "Auto", 0), CHOICE(0, "dB", 1),  CHOICE(12, "dB", 1),
    CHOICE(24, "dB", 1),   CHOICE(36, "dB", 1), CHOICE_END,
};

ChoiceEntry choice_level_unit[] = {
    CHOICE(1, "dBm", 0),
    CHOICE(2, "dBm/Hz", 0),
    CHOICE_END,
};

ChoiceEntry choice_find_mode[] = {
    CHOICE(1, "Find at marker", 0),
    CHOICE(0, "Find at all freq", 0),
    CHOICE_END,
};

void choice_make_labels(ChoiceEntry *table) {
    for (ChoiceEntry *e = table; e->present; e++) {
        const WCHAR *text = lang_lookup(e->text_key);
        // Too long a text is cut to the label; the cut is deliberate, so the result is unused.
        if (e->divisor == 0) {
            StringCchCopyW(e->label, std::size(e->label), text);
        } else {
            StringCchPrintfW(e->label, std::size(e->label), TEXT("%g %.16s"),
                             (double)e->value / e->divisor, text);
        }
    }
}

void choice_validate(const ChoiceEntry *table, INT32 *value) {
    const ChoiceEntry *first_enabled = nullptr;
    for (const ChoiceEntry *e = table; e->present; e++) {
        if (!e->enabled) continue;
        if (e->value == *value) return;
        if (!first_enabled) first_enabled = e;
    }
    if (first_enabled) {
        *value = first_enabled->value;
    } else {
        const ChoiceEntry *end = table;
        while (end->present)
            end++;
        *value = end->value;
    }
}

void choice_enable_by_threshold(ChoiceEntry *table, INT32 threshold, int mode) {
    for (ChoiceEntry *e = table; e->present; e++) {
        if (mode == CHOICE_AT_MOST) {
            e->enabled = e->value <= threshold;
        } else if (mode == CHOICE_AT_LEAST) {
            e->enabled = e->value >= threshold;
        } else {
            e->enabled = FALSE;
        }
    }
}

const WCHAR *choice_label(const ChoiceEntry *table, INT32 value) {
    for (const ChoiceEntry *e = table; e->present; e++) {
        if (e->value == value) return e->label;
    }
    return TEXT("");
}

void choice_create_grid(HWND dialog, const ChoiceEntry *table, INT32 current, int first_id, int x0,
                        int y0, int w, int h, int dx, int dy, int per_column) {
    if (per_column < 1) per_column = 1;
    for (int i = 0; table[i].present; i++) {
        CreateWindowExW(0, BUTTON_CLASS, table[i].label, WS_CHILD | WS_VISIBLE,
                        x0 + (i / per_column) * dx, y0 + (i % per_column) * dy, w, h, dialog,
                        (HMENU)(INT_PTR)(first_id + i), wfal.instance, NULL);
        choice_refresh(dialog, table, current, first_id);
    }
}

void choice_refresh(HWND dialog, const ChoiceEntry *table, INT32 current, int first_id) {
    for (int i = 0; table[i].present; i++) {
        HWND button = GetDlgItem(dialog, first_id + i);
        ControlStyle *look = table[i].value == current ? &style_selected : &style_normal;
        SendMessageW(button, BTN_SET_LOOK, 0, (LPARAM)look);
        EnableWindow(button, table[i].enabled);
    }
}

int choice_select_by_id(HWND dialog, const ChoiceEntry *table, INT32 *value, int first_id,
                        int pressed_id) {
    int index = pressed_id - first_id;
    if (index < 0) return 0;
    for (int i = 0; i < index; i++) {
        if (!table[i].present) return 0;
    }
    if (!table[index].present) return 0;
    *value = table[index].value;
    choice_refresh(dialog, table, *value, first_id);
    return 1;
}
