// Set-up defaults and validation. Values may come from an old or foreign settings file, so
// everything that later indexes tables or scales levels is forced into range here.
#include <windows.h>

#include "module/setup.h"
#include "module/state.h"
#include "ui/choice.h"

namespace {

// Below this range the impedance must be high and the high-impedance probe cannot be used.
constexpr INT32 SETUP_LOW_RANGE = 100000;

constexpr INT32 LEVEL_MIN = -200;
constexpr INT32 LEVEL_MAX = 50;
constexpr INT32 CHANGE_MIN = 1;
constexpr INT32 CHANGE_MAX = 200;

void keep_in_range(INT32 *value, INT32 low, INT32 high, INT32 fallback) {
    if (*value < low || *value > high) *value = fallback;
}

template <size_t N>
void terminate_text(WCHAR (&text)[N]) {
    text[N - 1] = 0;
}

void validate_header(ResultHeader &h) {
    choice_validate(wfal.range_table, &h.range);
    if (h.range >= SETUP_LOW_RANGE) {
        choice_enable_by_threshold(wfal.imped_table, 150, CHOICE_AT_MOST);
    } else {
        choice_enable_by_threshold(wfal.imped_table, 600, CHOICE_AT_LEAST);
    }
    choice_enable_by_threshold(wfal.input_table, h.range < SETUP_LOW_RANGE ? 1 : 2, CHOICE_AT_MOST);
    choice_validate(wfal.imped_table, &h.impedance);
    choice_validate(wfal.input_table, &h.input);
    choice_validate(wfal.gain_table, &h.gain);
    terminate_text(h.device);
    terminate_text(h.serial);
    terminate_text(h.software_version);
    terminate_text(h.operator_name);
    terminate_text(h.notes);
}

void validate_display(DisplaySettings &d) {
    choice_validate(choice_level_unit, &d.level_unit);
    choice_validate(choice_find_mode, &d.find_mode);
    keep_in_range(&d.black_level, LEVEL_MIN, LEVEL_MAX, -90);
    keep_in_range(&d.white_level, LEVEL_MIN, LEVEL_MAX, 0);
    keep_in_range(&d.find_threshold, LEVEL_MIN, LEVEL_MAX, -60);
    keep_in_range(&d.change_threshold, CHANGE_MIN, CHANGE_MAX, 20);
}

} // namespace

void setup_defaults() {
    DisplaySettings &d = wfal.display;
    d.black_level = -90;
    d.find_threshold = -60;
    d.change_threshold_on = 1;
    d.change_threshold = 20;
    wfal.header.range = 3000000;
    wfal.header.gain = -1;
    wfal.range_table = wfal.wideband ? choice_range_b : choice_range_a;
    wfal.imped_table = wfal.wideband ? choice_imped_b : choice_imped_a;
    wfal.input_table = wfal.wideband ? choice_input_b : choice_input_a;
    wfal.gain_table = wfal.wideband ? choice_gain_b : choice_gain_a;
    setup_validate();
}

void setup_validate() {
    validate_header(wfal.header);
    validate_display(wfal.display);
}

void setup_validate_display() {
    validate_display(wfal.display);
}
