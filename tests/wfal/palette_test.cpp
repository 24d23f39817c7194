// The level-to-colour palette where an off-by-one, a wrong rounding or integer instead of double
// arithmetic would change a colour.
#include <gtest/gtest.h>

#include <string.h>

#include "spectrogram/palette.h"

namespace {

TEST(Palette, PaletteRampBoundaries) {
    struct Case {
        int index;
        int red, green, blue;
    } cases[] = {
        {0, 32, 0, 32},       {31, 249, 0, 249},  {32, 249, 0, 255},    {63, 32, 0, 255},
        {64, 0, 32, 255},     {111, 0, 255, 144}, {127, 0, 255, 32},    {128, 32, 255, 0},
        {159, 249, 255, 0},   {160, 255, 249, 0}, {191, 255, 32, 0},    {192, 255, 32, 32},
        {223, 255, 249, 249}, {-1, 32, 0, 32},    {224, 255, 249, 249},
    };
    for (const Case &c : cases)
        EXPECT_EQ(palette_colour(c.index), RGB(c.red, c.green, c.blue)) << c.index;
}

TEST(Palette, LevelToIndex) {
    struct Case {
        const char *name;
        int black, white, level, index;
    } cases[] = {
        {"at black", -12000, 1000, -12000, 0},
        {"just above black", -12000, 1000, -11999, 0},
        {"below black", -12000, 1000, -12001, 0},
        {"lowest sample", -12000, 1000, -32768, 0},
        {"at white", -12000, 1000, 1000, 223},
        {"just below white", -12000, 1000, 999, 222},
        {"highest sample", -12000, 1000, 32767, 223},
        {"halfway", 0, 2000, 1000, 111},
        // 35 x (223.0 / 35) lands just below 223 in double arithmetic.
        {"white of a narrow range", 0, 35, 35, 222},
        {"equal levels: at them", 500, 500, 500, 0},
        {"equal levels: one above", 500, 500, 501, 223},
        {"equal levels: below", 500, 500, 499, 0},
        {"mirrored: at black", 1000, -12000, 1000, 0},
        {"mirrored: at white", 1000, -12000, -12000, 223},
        {"mirrored: halfway", 1000, -12000, -5500, 111},
        {"extreme levels", -2147483647 - 1, 2147483647, 0, 111},
    };
    for (const Case &c : cases)
        EXPECT_EQ(palette_index(c.level, c.black, palette_factor(c.black, c.white)), c.index)
            << c.name;
}

TEST(Palette, MapRowWritesBlueGreenRed) {
    const INT16 samples[3] = {-12000, -5500, 1000};
    BYTE bgr[10];
    memset(bgr, 0xAB, sizeof bgr);
    palette_map_row(samples, 3, -12000, 1000, bgr);
    const BYTE expected[10] = {32, 0, 32, 144, 255, 0, 249, 249, 255, 0xAB};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(bgr[i], expected[i]) << i;
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
