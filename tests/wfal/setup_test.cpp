// Validation of the set-up and display settings, which may come from an old or foreign settings
// file. (The set-up dialog's own tables and their enabling show in tests/flows/test_*.flow.)
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "module/setup.h"
#include "module/state.h"

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

TEST(Setup, DisplayValuesOutsideTheirRangesGetDefaults) {
    using D = DisplaySettings;
    const struct {
        INT32 D::*field;
        std::vector<std::pair<INT32, INT32>> stored_validated;
    } cases[] = {
        {&D::black_level, {{60, -90}, {50, 50}, {-200, -200}, {-201, -90}}},
        {&D::white_level, {{51, 0}, {-5, -5}}},
        {&D::find_threshold, {{-201, -60}, {50, 50}}},
        {&D::change_threshold, {{0, 20}, {1, 1}, {200, 200}, {201, 20}}},
        {&D::level_unit, {{2, 2}, {3, 1}}},
        {&D::find_mode, {{0, 0}, {-1, 1}}},
    };
    for (const auto &c : cases) {
        for (const auto &[stored, validated] : c.stored_validated) {
            reset_module(FALSE);
            wfal.display.*c.field = stored;
            setup_validate();
            EXPECT_EQ(wfal.display.*c.field, validated) << "row " << &c - cases << ", " << stored;
        }
    }
}

TEST(Setup, ValidationTerminatesTheHeaderTexts) {
    reset_module(FALSE);
    ResultHeader &h = wfal.header;
    WCHAR *fields[] = {h.device, h.serial, h.software_version, h.operator_name, h.notes};
    const size_t sizes[] = {16, 16, 16, 32, 512};
    for (int i = 0; i < 5; i++)
        std::fill(fields[i], fields[i] + sizes[i], u'x');
    setup_validate();
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(std::u16string(fields[i]), std::u16string(sizes[i] - 1, u'x')) << i;
}

} // namespace
