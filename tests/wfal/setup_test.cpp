#include <gtest/gtest.h>
#include <string.h>

#include "module/setup.h"
#include "module/state.h"

namespace {

void reset_module(BOOL wideband) {
    memset(&wfal, 0, sizeof wfal);
    wfal.wideband = wideband;
    setup_defaults();
}

TEST(Setup, DefaultsChooseTablesByWideband) {
    for (BOOL wideband : {FALSE, TRUE}) {
        memset(&wfal, 0, sizeof wfal);
        wfal.wideband = wideband;
        wfal.display.white_level = -33;
        wfal.display.level_unit = 7, wfal.display.find_mode = 9;
        setup_defaults();
        EXPECT_EQ(wfal.range_table, wideband ? choice_range_b : choice_range_a);
        EXPECT_EQ(wfal.imped_table, wideband ? choice_imped_b : choice_imped_a);
        EXPECT_EQ(wfal.input_table, wideband ? choice_input_b : choice_input_a);
        EXPECT_EQ(wfal.gain_table, wideband ? choice_gain_b : choice_gain_a);
        const DisplaySettings &d = wfal.display;
        EXPECT_EQ(wfal.header.range, 3000000);
        EXPECT_EQ(wfal.header.gain, -1);
        EXPECT_EQ(wfal.header.impedance, 100);
        EXPECT_EQ(d.black_level, -90);
        EXPECT_EQ(d.white_level, -33);
        EXPECT_EQ(d.find_threshold, -60);
        EXPECT_EQ(d.change_threshold_on, 1);
        EXPECT_EQ(d.change_threshold, 20);
        EXPECT_EQ(d.level_unit, 1);
        EXPECT_EQ(d.find_mode, 1);
    }
}

TEST(Setup, ValidationRestrictsImpedanceAndInputByRange) {
    struct Case {
        BOOL wideband;
        INT32 range, imped, input, gain;
        INT32 want_range, want_imped, want_input, want_gain;
    };
    const Case cases[] = {
        {FALSE, 20000, 100, 2, 0, 20000, 600, 0, 0}, // low range: 600 Ohm, no probe
        {FALSE, 20000, 600, 1, 40, 20000, 600, 1, 40},
        {FALSE, 4000, 150, 2, -1, 4000, 600, 0, -1},
        {FALSE, 300000, 600, 2, 30, 300000, 100, 2, 30}, // 600 Ohm needs a low range
        {FALSE, 3000000, 135, 1, 10, 3000000, 135, 1, 10},
        {FALSE, 212000000, 150, 2, 12, 4000, 600, 0, -1}, // set B values in set A
        {TRUE, 3000000, 100, 1, 36, 3000000, 100, 0, 36}, // input 1 is not offered
        {TRUE, 20000, 600, 2, 0, 1500000, 100, 2, 0},
        {TRUE, 212000000, 150, 2, 10, 212000000, 100, 2, -1},
    };
    for (const Case &c : cases) {
        reset_module(c.wideband);
        ResultHeader &h = wfal.header;
        h.range = c.range, h.impedance = c.imped, h.input = c.input, h.gain = c.gain;
        setup_validate();
        EXPECT_EQ(h.range, c.want_range) << c.range << " " << c.wideband;
        EXPECT_EQ(h.impedance, c.want_imped) << c.range << " " << c.wideband;
        EXPECT_EQ(h.input, c.want_input) << c.range << " " << c.wideband;
        EXPECT_EQ(h.gain, c.want_gain) << c.range << " " << c.wideband;
    }
}

TEST(Setup, LowRangeStartsBelow100kHz) {
    ChoiceEntry ranges[] = {{99999, {}, u"Hz", 1, TRUE, 1}, {100000, {}, u"Hz", 1, TRUE, 1}, {}};
    for (INT32 range : {99999, 100000}) {
        reset_module(FALSE);
        wfal.range_table = ranges;
        wfal.header.range = range, wfal.header.impedance = 150, wfal.header.input = 2;
        setup_validate();
        const bool low = range < 100000;
        EXPECT_EQ(wfal.header.impedance, low ? 600 : 150) << range;
        EXPECT_EQ(wfal.header.input, low ? 0 : 2) << range;
        EXPECT_EQ(choice_imped_a[0].enabled, !low) << range;
        EXPECT_EQ(choice_imped_a[4].enabled, low) << range;
        EXPECT_EQ(choice_input_a[1].enabled, TRUE) << range;
    }
}

TEST(Setup, DisplayValuesOutsideTheirRangesGetDefaults) {
    struct Case {
        INT32 DisplaySettings::*field;
        INT32 stored, validated;
    };
    const Case cases[] = {
        {&DisplaySettings::black_level, 60, -90},
        {&DisplaySettings::black_level, 50, 50},
        {&DisplaySettings::black_level, -200, -200},
        {&DisplaySettings::black_level, -201, -90},
        {&DisplaySettings::white_level, 51, 0},
        {&DisplaySettings::white_level, -5, -5},
        {&DisplaySettings::find_threshold, -201, -60},
        {&DisplaySettings::find_threshold, 50, 50},
        {&DisplaySettings::change_threshold, 0, 20},
        {&DisplaySettings::change_threshold, 1, 1},
        {&DisplaySettings::change_threshold, 200, 200},
        {&DisplaySettings::change_threshold, 201, 20},
        {&DisplaySettings::level_unit, 2, 2},
        {&DisplaySettings::level_unit, 3, 1},
        {&DisplaySettings::find_mode, 0, 0},
        {&DisplaySettings::find_mode, -1, 1},
    };
    for (const Case &c : cases) {
        reset_module(FALSE);
        wfal.display.*c.field = c.stored;
        setup_validate();
        EXPECT_EQ(wfal.display.*c.field, c.validated) << "stored " << c.stored;
    }
}

TEST(Setup, ValidationTerminatesTheHeaderTexts) {
    reset_module(FALSE);
    ResultHeader &h = wfal.header;
    for (WCHAR *text : {h.device, h.serial, h.software_version}) {
        for (int i = 0; i < 16; i++)
            text[i] = u'x';
    }
    for (WCHAR &c : h.operator_name)
        c = u'o';
    for (WCHAR &c : h.notes)
        c = u'n';
    setup_validate();
    EXPECT_EQ(std::u16string(h.device), std::u16string(15, u'x'));
    EXPECT_EQ(std::u16string(h.serial), std::u16string(15, u'x'));
    EXPECT_EQ(std::u16string(h.software_version), std::u16string(15, u'x'));
    EXPECT_EQ(std::u16string(h.operator_name), std::u16string(31, u'o'));
    EXPECT_EQ(std::u16string(h.notes), std::u16string(511, u'n'));
}

} // namespace
