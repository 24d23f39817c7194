#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/state.h"

namespace {

ChoiceEntry entry(INT32 value, const std::u16string &key, INT32 divisor) {
    ChoiceEntry e = {value, {}, {}, divisor, TRUE, 1};
    key.copy(e.text_key, 31);
    return e;
}

TEST(Choice, LabelsWithoutATranslation) {
    struct Case {
        ChoiceEntry *table;
        INT32 value;
        std::u16string label;
    };
    const Case cases[] = {
        {choice_range_a, 4000, u"4 kHz"},
        {choice_range_a, 20000, u"20 kHz"},
        {choice_range_a, 300000, u"0.3 MHz"},
        {choice_range_a, 1500000, u"1.5 MHz"},
        {choice_range_b, 212000000, u"212 MHz"},
        {choice_imped_a, 100, u"100 Ohm"},
        {choice_imped_b, 100, u"100 Ohm"},
        {choice_input_b, 2, u"High imp probe"},
        {choice_gain_a, -1, u"Auto"},
        {choice_gain_a, 0, u"0 dB"},
        {choice_gain_b, 36, u"36 dB"},
        {choice_level_unit, 2, u"dBm/Hz"},
        {choice_find_mode, 0, u"Find at all freq"},
        {choice_range_a, 5, u""},
        {choice_gain_b, 10, u""},
    };
    for (const Case &c : cases) {
        choice_make_labels(c.table);
        EXPECT_EQ(std::u16string(choice_label(c.table, c.value)), c.label) << c.value;
    }
}

TEST(Choice, LabelsDivideInDoubleAndCutTheUnit) {
    std::vector<ChoiceEntry> table = {
        entry(1234567, u"Hz", 1000),
        entry(-3, u"ABCDEFGHIJKLMNOPQRST", 1),
        {},
    };
    choice_make_labels(table.data());
    EXPECT_EQ(std::u16string(table[0].label), u"1234.57 Hz");
    EXPECT_EQ(std::u16string(table[1].label), u"-3 ABCDEFGHIJKLMNOP");
}

TEST(Choice, EnableByThresholdThenValidate) {
    struct Case {
        INT32 threshold;
        int mode;
        std::vector<BOOL> enabled;
        INT32 value, validated;
    };
    const Case cases[] = {
        {150, 1, {TRUE, TRUE, FALSE}, 150, 150}, {150, 1, {TRUE, TRUE, FALSE}, 600, 100},
        {150, 2, {FALSE, TRUE, TRUE}, 100, 150}, {600, 2, {FALSE, FALSE, TRUE}, 42, 600},
        {99, 1, {FALSE, FALSE, FALSE}, 100, 0},  {150, 0, {FALSE, FALSE, FALSE}, 150, 0},
        {150, 3, {FALSE, FALSE, FALSE}, 100, 0},
    };
    for (const Case &c : cases) {
        ChoiceEntry table[] = {
            entry(100, u"Ohm", 1), entry(150, u"Ohm", 1), entry(600, u"Ohm", 1), {}};
        choice_enable_by_threshold(table, c.threshold, c.mode);
        for (size_t i = 0; i < 3; i++)
            EXPECT_EQ(table[i].enabled, c.enabled[i]) << i;
        INT32 value = c.value;
        choice_validate(table, &value);
        EXPECT_EQ(value, c.validated) << c.threshold << " mode " << c.mode;
    }
    ChoiceEntry empty[] = {{}};
    INT32 value = 5;
    choice_validate(empty, &value);
    EXPECT_EQ(value, 0);
}

} // namespace
