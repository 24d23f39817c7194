// The level-to-colour index where an off-by-one, a wrong rounding or integer instead of double
// arithmetic would change a colour, and the repaint's table built from it. The colours themselves
// show in the stored screens' legend bars, which hold every index of the ramp.
#include <gtest/gtest.h>

#include <string.h>

#include "spectrogram/palette.h"

namespace {

TEST(Palette, LevelToIndexAndTheTableThatMapsRows) {
    const int MIN = -2147483647 - 1, MAX = 2147483647;
    // black, white, level, index; 35 x (223.0 / 35) lands just below 223 in double arithmetic
    const int cases[][4] = {
        {-12000, 1000, -12000, 0},  {-12000, 1000, -11999, 0},   {-12000, 1000, -12001, 0},
        {-12000, 1000, -32768, 0},  {-12000, 1000, 1000, 223},   {-12000, 1000, 999, 222},
        {-12000, 1000, 32767, 223}, {0, 2000, 1000, 111},        {0, 35, 35, 222},
        {500, 500, 500, 0},         {500, 500, 501, 223},        {500, 500, 499, 0},
        {1000, -12000, 1000, 0},    {1000, -12000, -12000, 223}, {1000, -12000, -5500, 111},
        {MIN, MAX, 0, 111},         {-32768, 32767, 0, 111},     {299, 300, 300, 223},
        {300, 299, 299, 223},       {-5000, -4999, -5000, 0},    {-6000, -4999, -5500, 111},
        {-10778, 1222, 1222, 223}};
    static PaletteTable table; // 64 KB: not on the stack
    for (const auto &c : cases) {
        const double factor = palette_factor(c[0], c[1]);
        EXPECT_EQ(palette_index(c[2], c[0], factor), c[3])
            << c[0] << " to " << c[1] << ": " << c[2];
        // The repaint maps samples through a table that must give the formula's index for every
        // level, rebuilt (not reused) when the levels change.
        palette_table_update(&table, c[0], c[1]);
        int wrong = 0;
        for (int level = -32768; level <= 32767; ++level)
            wrong += table.index[level + 32768] != palette_index(level, c[0], factor);
        EXPECT_EQ(wrong, 0) << c[0] << " to " << c[1];
    }
    INT16 samples[5] = {-32768, -12000, -5500, 1000, 32767};
    BYTE by_table[15], by_formula[15];
    palette_table_update(&table, -12000, 1000);
    palette_table_map_row(table, samples, 5, by_table);
    palette_map_row(samples, 5, -12000, 1000, by_formula);
    EXPECT_EQ(memcmp(by_table, by_formula, sizeof by_table), 0);
    EXPECT_EQ(palette_colour(-1), palette_colour(0));
    EXPECT_EQ(palette_colour(PALETTE_SIZE), palette_colour(PALETTE_SIZE - 1));
    EXPECT_NE(palette_colour(0), palette_colour(PALETTE_SIZE - 1));
}

} // namespace
