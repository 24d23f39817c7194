// The level-to-colour index where an off-by-one, a wrong rounding or integer instead of double
// arithmetic would change a colour. The colours themselves show in the stored screens' legend
// bars, which hold every index of the ramp.
#include <gtest/gtest.h>

#include <string.h>

#include "spectrogram/palette.h"

namespace {

TEST(Palette, LevelToIndex) {
    struct Case {
        int black, white, level, index;
    } cases[] = {
        {-12000, 1000, -12000, 0},
        {-12000, 1000, -11999, 0},
        {-12000, 1000, -12001, 0},
        {-12000, 1000, -32768, 0},
        {-12000, 1000, 1000, 223},
        {-12000, 1000, 999, 222},
        {-12000, 1000, 32767, 223},
        {0, 2000, 1000, 111},
        {0, 35, 35, 222}, // 35 x (223.0 / 35) lands just below 223 in double arithmetic
        {500, 500, 500, 0},
        {500, 500, 501, 223},
        {500, 500, 499, 0},
        {1000, -12000, 1000, 0},
        {1000, -12000, -12000, 223},
        {1000, -12000, -5500, 111},
        {-2147483647 - 1, 2147483647, 0, 111},
    };
    for (const Case &c : cases)
        EXPECT_EQ(palette_index(c.level, c.black, palette_factor(c.black, c.white)), c.index)
            << c.black << " to " << c.white << ", level " << c.level;
}

TEST(Palette, ColourClampsItsIndex) {
    EXPECT_EQ(palette_colour(-1), palette_colour(0));
    EXPECT_EQ(palette_colour(PALETTE_SIZE), palette_colour(PALETTE_SIZE - 1));
    EXPECT_NE(palette_colour(0), palette_colour(PALETTE_SIZE - 1));
}

// The repaint maps samples through the table; it must give the formula's index for every level,
// and be rebuilt, not reused, when the levels change.
TEST(Palette, PaletteTableEqualsTheFormula) {
    const int pairs[][2] = {
        {-12000, 1000}, {0, 35},        {500, 500}, {1000, -12000}, {-32768, 32767},
        {-10778, 1222}, {299, 300},     {300, 299}, {0, 2000},      {-2147483647 - 1, 2147483647},
        {-5000, -4999}, {-6000, -4999},
    };
    static PaletteTable table; // 64 KB: not on the stack
    for (const auto &pair : pairs) {
        palette_table_update(&table, pair[0], pair[1]);
        const double factor = palette_factor(pair[0], pair[1]);
        int wrong = 0;
        for (int level = -32768; level <= 32767; ++level)
            wrong += table.index[level + 32768] != palette_index(level, pair[0], factor);
        EXPECT_EQ(wrong, 0) << pair[0] << " to " << pair[1];
    }
    INT16 samples[5] = {-32768, -12000, -5500, 1000, 32767};
    BYTE by_table[15], by_formula[15];
    palette_table_update(&table, -12000, 1000);
    palette_table_map_row(table, samples, 5, by_table);
    palette_map_row(samples, 5, -12000, 1000, by_formula);
    EXPECT_EQ(memcmp(by_table, by_formula, sizeof by_table), 0);
}

} // namespace
