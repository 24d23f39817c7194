#include "spectrogram/palette.h"

namespace {

// Seven ramps of 32 entries: rising 32 + 7k, falling 249 - 7k, or a fixed 0 or 255.
enum Ramp : BYTE { ZERO, FULL, UP, DOWN };

constexpr Ramp RAMP_RED[7] = {UP, DOWN, ZERO, ZERO, UP, FULL, FULL};
constexpr Ramp RAMP_GREEN[7] = {ZERO, ZERO, UP, FULL, FULL, DOWN, UP};
constexpr Ramp RAMP_BLUE[7] = {UP, FULL, FULL, DOWN, ZERO, ZERO, UP};

constexpr BYTE ramp_value(Ramp ramp, int k) {
    switch (ramp) {
    case ZERO: return 0;
    case FULL: return 255;
    case UP: return (BYTE)(32 + 7 * k);
    default: return (BYTE)(249 - 7 * k);
    }
}

struct Palette {
    BYTE red[PALETTE_SIZE];
    BYTE green[PALETTE_SIZE];
    BYTE blue[PALETTE_SIZE];
};

constexpr Palette make_palette() {
    Palette p{};
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        p.red[i] = ramp_value(RAMP_RED[i / 32], i % 32);
        p.green[i] = ramp_value(RAMP_GREEN[i / 32], i % 32);
        p.blue[i] = ramp_value(RAMP_BLUE[i / 32], i % 32);
    }
    return p;
}

constexpr Palette PALETTE = make_palette();

// The same entries as one value each, blue in the low byte: one load per sample.
struct PackedPalette {
    DWORD bgr[PALETTE_SIZE];
};

constexpr PackedPalette make_packed_palette() {
    PackedPalette p{};
    for (int i = 0; i < PALETTE_SIZE; ++i)
        p.bgr[i] = PALETTE.blue[i] | (DWORD)PALETTE.green[i] << 8 | (DWORD)PALETTE.red[i] << 16;
    return p;
}

constexpr PackedPalette PACKED_PALETTE = make_packed_palette();

} // namespace

COLORREF palette_colour(int index) {
    if (index < 0) index = 0;
    if (index >= PALETTE_SIZE) index = PALETTE_SIZE - 1;
    return RGB(PALETTE.red[index], PALETTE.green[index], PALETTE.blue[index]);
}

double palette_factor(int black_level, int white_level) {
    double range = (double)white_level - (double)black_level;
    if (range == 0.0) range = 1.0;
    return 223.0 / range;
}

int palette_index(int level, int black_level, double factor) {
    // Subtracting in double keeps extreme levels from overflowing; the result is exact.
    double scaled = ((double)level - (double)black_level) * factor;
    if (!(scaled > 0.0)) return 0;
    if (scaled >= 223.0) return 223;
    return (int)scaled;
}

void palette_map_row(const INT16 *samples, int count, int black_level, int white_level, BYTE *bgr) {
    double factor = palette_factor(black_level, white_level);
    for (int i = 0; i < count; ++i) {
        int index = palette_index(samples[i], black_level, factor);
        bgr[3 * i] = PALETTE.blue[index];
        bgr[3 * i + 1] = PALETTE.green[index];
        bgr[3 * i + 2] = PALETTE.red[index];
    }
}

void palette_table_update(PaletteTable *table, int black_level, int white_level) {
    if (table->ready && table->black_level == black_level && table->white_level == white_level)
        return;
    double factor = palette_factor(black_level, white_level);
    for (int i = 0; i < PALETTE_LEVELS; ++i)
        table->index[i] = (BYTE)palette_index(i - 32768, black_level, factor);
    table->black_level = black_level;
    table->white_level = white_level;
    table->ready = TRUE;
}

void palette_table_map_row(const PaletteTable &table, const INT16 *samples, int count, BYTE *bgr) {
    for (int i = 0; i < count; ++i) {
        DWORD colour = PACKED_PALETTE.bgr[table.index[samples[i] + 32768]];
        bgr[3 * i] = (BYTE)colour;
        bgr[3 * i + 1] = (BYTE)(colour >> 8);
        bgr[3 * i + 2] = (BYTE)(colour >> 16);
    }
}
