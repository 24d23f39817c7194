// The level-to-colour palette of the spectrogram: 224 colours from the black level to the white
// level, the index of a level, and whole picture rows mapped to colours. Pure functions.
#pragma once

#include <windows.h>

constexpr int PALETTE_SIZE = 224;

// Palette entry as 0x00BBGGRR; indexes outside the palette are held to it.
COLORREF palette_colour(int index);

// Colours per hundredth of a dB; equal levels count as a white level one hundredth higher.
double palette_factor(int black_level, int white_level);
// Palette index of one sample: (v - black) x factor truncated, held to [0, 223].
int palette_index(int level, int black_level, double factor);
// One picture row: `count` samples as blue, green, red bytes, three per sample.
void palette_map_row(const INT16 *samples, int count, int black_level, int white_level, BYTE *bgr);

// The palette index of every 16-bit level for one pair of black and white levels: exactly
// palette_index's, worked out once per pair instead of once per sample of every repaint.
constexpr int PALETTE_LEVELS = 65536;
struct PaletteTable {
    int black_level;
    int white_level;
    BOOL ready;
    BYTE index[PALETTE_LEVELS]; // by level + 32768
};

// Makes the table hold the indexes for these levels (does nothing when it already does).
void palette_table_update(PaletteTable *table, int black_level, int white_level);
// palette_map_row through the table.
void palette_table_map_row(const PaletteTable &table, const INT16 *samples, int count, BYTE *bgr);
