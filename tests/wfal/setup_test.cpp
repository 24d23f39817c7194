#include <gtest/gtest.h>
#include <string.h>

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

std::vector<INT32> header_setup() {
    const ResultHeader &h = wfal.header;
    return {h.range, h.impedance, h.input, h.gain};
}

// The defaults leave the white level alone and validate what they do not set. (Their values show
// on the stored screens; the tables they choose by the engine, in the validation below.)
TEST(Setup, DefaultsValidateWhatTheyDoNotSet) {
    memset(&wfal, 0, sizeof wfal);
    wfal.display.white_level = -33, wfal.display.level_unit = 7, wfal.display.find_mode = 9;
    setup_defaults();
    const DisplaySettings &d = wfal.display;
    EXPECT_EQ((std::vector<INT32>{d.white_level, d.level_unit, d.find_mode}),
              (std::vector<INT32>{-33, 1, 1}));
}

TEST(Setup, ValidationRestrictsImpedanceAndInputByRange) {
    const struct {
        BOOL wideband;
        std::vector<INT32> stored, validated; // range, impedance, input, gain
    } cases[] = {
        {FALSE, {20000, 100, 2, 0}, {20000, 600, 0, 0}}, // low range: 600 Ohm, no probe
        {FALSE, {20000, 600, 1, 40}, {20000, 600, 1, 40}},
        {FALSE, {300000, 600, 2, 30}, {300000, 100, 2, 30}}, // 600 Ohm needs a low range
        {FALSE, {3000000, 135, 1, 10}, {3000000, 135, 1, 10}},
        {FALSE, {212000000, 150, 2, 12}, {4000, 600, 0, -1}}, // set B values in set A
        {TRUE, {3000000, 100, 1, 36}, {3000000, 100, 0, 36}}, // input 1 is not offered
        {TRUE, {20000, 600, 2, 0}, {1500000, 100, 2, 0}},
        {TRUE, {212000000, 150, 2, 10}, {212000000, 100, 2, -1}},
    };
    for (const auto &c : cases) {
        reset_module(c.wideband);
        ResultHeader &h = wfal.header;
        h.range = c.stored[0], h.impedance = c.stored[1], h.input = c.stored[2];
        h.gain = c.stored[3];
        setup_validate();
        EXPECT_EQ(header_setup(), c.validated) << c.stored[0] << " " << c.wideband;
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
        EXPECT_EQ(header_setup(), (std::vector<INT32>{range, low ? 600 : 150, low ? 0 : 2, -1}));
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
    std::u16string texts[] = {std::u16string(16, u'x'), std::u16string(16, u'y'),
                              std::u16string(16, u'z'), std::u16string(32, u'o'),
                              std::u16string(512, u'n')};
    WCHAR *fields[] = {h.device, h.serial, h.software_version, h.operator_name, h.notes};
    for (int i = 0; i < 5; i++)
        texts[i].copy(fields[i], texts[i].size());
    setup_validate();
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(std::u16string(fields[i]), texts[i].substr(0, texts[i].size() - 1)) << i;
}

} // namespace
