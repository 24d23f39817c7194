// Arbitrary bytes as the settings file: whatever is loaded, validation must leave every value
// the module later relies on in its range, and a save must reload as the same state.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "module/setup.h"
#include "fuzz_dir.h"
#include "module/state.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_dir_make();
    return 0;
}

static bool enabled_entry(const ChoiceEntry *table, INT32 value) {
    for (const ChoiceEntry *e = table; e->present; e++) {
        if (e->value == value) return e->enabled;
    }
    return false;
}

static bool in_range(INT32 value, INT32 low, INT32 high) {
    return value >= low && value <= high;
}

static void check_valid() {
    const ResultHeader &h = wfal.header;
    const DisplaySettings &d = wfal.display;
    if (!enabled_entry(wfal.range_table, h.range) ||
        !enabled_entry(wfal.imped_table, h.impedance) ||
        !enabled_entry(wfal.input_table, h.input) || !enabled_entry(wfal.gain_table, h.gain) ||
        !enabled_entry(choice_level_unit, d.level_unit) ||
        !enabled_entry(choice_find_mode, d.find_mode))
        abort();
    if (!in_range(d.black_level, -200, 50) || !in_range(d.white_level, -200, 50) ||
        !in_range(d.find_threshold, -200, 50) || !in_range(d.change_threshold, 1, 200))
        abort();
    if (h.device[15] || h.serial[15] || h.software_version[15] || h.operator_name[31] ||
        h.notes[511])
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_dir_write("wfal.set", data, size);
    memset(&wfal, 0, sizeof wfal);
    memcpy(wfal.settings_path, u"\\wfal.set", sizeof u"\\wfal.set");
    wfal.wideband = size % 2;
    setup_defaults();
    settings_load();
    setup_validate();
    check_valid();

    settings_save();
    const DisplaySettings display = wfal.display;
    const ResultHeader header = wfal.header;
    memset(&wfal.display, 0, sizeof wfal.display);
    memset(&wfal.header, 0, sizeof wfal.header);
    settings_load();
    if (memcmp(&wfal.display, &display, sizeof display) != 0 ||
        memcmp(&wfal.header, &header, sizeof header) != 0)
        abort();
    return 0;
}
