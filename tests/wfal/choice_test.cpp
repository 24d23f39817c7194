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

// Without a language text the keys are their own texts: a divisor formats the value in double
// before the text (cut to 16 characters), none takes the text alone.
TEST(Choice, LabelsAndTheirLookUp) {
    ChoiceEntry table[] = {entry(1234567, u"Hz", 1000),
                           entry(-3, u"ABCDEFGHIJKLMNOPQRST", 1),
                           entry(300000, u"MHz", 1000000),
                           entry(2, u"High imp probe", 0),
                           {}};
    choice_make_labels(table);
    std::u16string labels;
    for (INT32 value : {1234567, -3, 300000, 2, 5})
        labels += choice_label(table, value) + std::u16string(u"|");
    EXPECT_EQ(labels, u"1234.57 Hz|-3 ABCDEFGHIJKLMNOP|0.3 MHz|High imp probe||");
}

TEST(Choice, EnableByThresholdThenValidate) {
    const struct {
        INT32 threshold;
        int mode;
        std::vector<BOOL> enabled;
        INT32 value, validated;
    } cases[] = {
        {150, 1, {TRUE, TRUE, FALSE}, 150, 150}, {150, 1, {TRUE, TRUE, FALSE}, 600, 100},
        {150, 2, {FALSE, TRUE, TRUE}, 100, 150}, {600, 2, {FALSE, FALSE, TRUE}, 42, 600},
        {99, 1, {FALSE, FALSE, FALSE}, 100, 0},  {150, 0, {FALSE, FALSE, FALSE}, 150, 0},
        {150, 3, {FALSE, FALSE, FALSE}, 100, 0},
    };
    for (const auto &c : cases) {
        ChoiceEntry table[] = {
            entry(100, u"Ohm", 1), entry(150, u"Ohm", 1), entry(600, u"Ohm", 1), {}};
        choice_enable_by_threshold(table, c.threshold, c.mode);
        EXPECT_EQ((std::vector<BOOL>{table[0].enabled, table[1].enabled, table[2].enabled}),
                  c.enabled);
        INT32 value = c.value;
        choice_validate(table, &value);
        EXPECT_EQ(value, c.validated) << c.threshold << " mode " << c.mode;
    }
}

} // namespace
