// The settings file, each of its two blocks taken whole or not at all, and the validation of what
// it may bring from an old or foreign module. (Saving, loading back and the set-up dialog's
// tables with their enabling are tests/flows/test_*.flow.)
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "module/setup.h"
#include "module/state.h"
#include "support/descriptors.h"
#include "support/temp_root.h"

namespace {

void reset_module(BOOL wideband) {
    memset(&wfal, 0, sizeof wfal);
    wfal.wideband = wideband;
    setup_defaults();
}

TEST(Setup, ValidationRestrictsImpedanceAndInputByRange) {
    ChoiceEntry ranges[] = {{99999, {}, u"Hz", 1, TRUE, 1}, {100000, {}, u"Hz", 1, TRUE, 1}, {}};
    const struct {
        int tables; // 0: set A, 1: set B (wideband), 2: set A but ranges of 99999 and 100000 Hz
        std::vector<INT32> stored, validated; // range, impedance, input, gain
    } cases[] = {
        {0, {20000, 100, 2, 0}, {20000, 600, 0, 0}}, // low range: 600 Ohm, no probe
        {0, {20000, 600, 1, 40}, {20000, 600, 1, 40}},
        {0, {300000, 600, 2, 30}, {300000, 100, 2, 30}},   // 600 Ohm needs a low range
        {0, {212000000, 150, 2, 12}, {4000, 600, 0, -1}},  // set B values in set A
        {1, {3000000, 100, 1, 36}, {3000000, 100, 0, 36}}, // input 1 is not offered
        {1, {20000, 600, 2, 0}, {1500000, 100, 2, 0}},
        {1, {212000000, 150, 2, 10}, {212000000, 100, 2, -1}},
        {2, {99999, 150, 2, 0}, {99999, 600, 0, 0}},
        {2, {100000, 150, 2, 0}, {100000, 150, 2, 0}},
    };
    for (const auto &c : cases) {
        reset_module(c.tables == 1);
        if (c.tables == 2) wfal.range_table = ranges;
        ResultHeader &h = wfal.header;
        h.range = c.stored[0], h.impedance = c.stored[1], h.input = c.stored[2];
        h.gain = c.stored[3];
        setup_validate();
        EXPECT_EQ((std::vector<INT32>{h.range, h.impedance, h.input, h.gain}), c.validated)
            << c.stored[0] << " " << c.tables;
    }
}

// Display values that only a settings file brings get their defaults when out of range (the
// levels a user enters are display_setup.flow's); the header's texts are terminated.
TEST(Setup, DisplayValuesAndHeaderTexts) {
    using D = DisplaySettings;
    const struct {
        INT32 D::*field;
        INT32 stored, validated;
    } cases[] = {{&D::find_threshold, -201, -60},
                 {&D::level_unit, 2, 2},
                 {&D::level_unit, 3, 1},
                 {&D::find_mode, 0, 0},
                 {&D::find_mode, -1, 1}};
    for (const auto &c : cases) {
        reset_module(FALSE);
        wfal.display.*c.field = c.stored;
        setup_validate();
        EXPECT_EQ(wfal.display.*c.field, c.validated) << "row " << &c - cases;
    }
    ResultHeader &h = wfal.header;
    for (WCHAR *text : {h.device, h.serial, h.software_version, h.operator_name, h.notes})
        std::fill(text, text + (text == h.notes ? 512 : text == h.operator_name ? 32 : 16), u'x');
    setup_validate();
    EXPECT_EQ(std::u16string(h.device) + h.serial + h.software_version + h.operator_name + h.notes,
              std::u16string(15 * 3 + 31 + 511, u'x'));
}

template <class T>
std::string bytes_of(const T &block) {
    return std::string(reinterpret_cast<const char *>(&block), sizeof block);
}

// The settings file is a stored display block and header, differing from the state's blocks in
// every byte but their identities, cut to `length` bytes with `patch` written at `at`.
TEST(Settings, LoadTakesValidBlocksInOrder) {
    TempDeviceRoot root;
    memcpy(wfal.settings_path, u"\\wfal.set", 20);
    DisplaySettings stored_display, state_display;
    ResultHeader stored_header, state_header;
    memset(&stored_display, 0x11, sizeof stored_display), memset(&stored_header, 0x22, 1320);
    memset(&state_display, 0x33, sizeof state_display), memset(&state_header, 0x44, 1320);
    memcpy(stored_display.magic, "WFAI", 4), memcpy(stored_header.magic, "WFAL", 4);
    stored_display.block_size = 564, stored_header.header_size = 1320;
    const struct {
        size_t length, at;
        std::string patch;
        bool display_taken, header_taken;
    } cases[] = {{1884, 0, "", true, true},
                 {1883, 0, "", true, false},
                 {1884, 564 + 56, "WFAI", true, false},
                 {1884, 564 + 60, "\x29", true, false},
                 {1884, 0, "WFAL", false, false},
                 {1884, 4, "\x33", false, false},
                 {563, 0, "", false, false}};
    const size_t descriptors = open_descriptors();
    for (const auto &c : cases) {
        std::string file = bytes_of(stored_display) + bytes_of(stored_header);
        root.write("wfal.set", file.replace(c.at, c.patch.size(), c.patch).substr(0, c.length));
        wfal.display = state_display, wfal.header = state_header;
        settings_load();
        EXPECT_EQ(bytes_of(wfal.display),
                  bytes_of(c.display_taken ? stored_display : state_display))
            << c.length << " " << c.at;
        EXPECT_EQ(bytes_of(wfal.header), bytes_of(c.header_taken ? stored_header : state_header))
            << c.length << " " << c.at;
        EXPECT_EQ(open_descriptors(), descriptors) << "left the file open";
    }
}

} // namespace
