#include "spectrogram/view_geometry.h"

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
    BYTE red[VIEW_PALETTE_SIZE];
    BYTE green[VIEW_PALETTE_SIZE];
    BYTE blue[VIEW_PALETTE_SIZE];
};

constexpr Palette make_palette() {
    Palette p{};
    for (int i = 0; i < VIEW_PALETTE_SIZE; ++i) {
        p.red[i] = ramp_value(RAMP_RED[i / 32], i % 32);
        p.green[i] = ramp_value(RAMP_GREEN[i / 32], i % 32);
        p.blue[i] = ramp_value(RAMP_BLUE[i / 32], i % 32);
    }
    return p;
}

constexpr Palette PALETTE = make_palette();

int ceil_div(int a, int b) {
    return a / b + (a % b != 0);
}

} // namespace

int view_record_count(const ViewState &v, LONGLONG file_size) {
    if (v.record_size <= 0 || file_size <= v.data_offset) return 0;
    LONGLONG count = (file_size - v.data_offset) / v.record_size;
    return count > 0x7fffffff ? 0x7fffffff : (int)count;
}

int view_scroll_scale(int records) {
    return records > 0 ? ceil_div(records, VIEW_SCROLL_LIMIT) : 0;
}

int view_scroll_units(int records, int scale) {
    return scale > 0 && records > 0 ? ceil_div(records, scale) : 0;
}

ViewPicture view_picture(const ViewState &v, const RECT &client) {
    ViewPicture p;
    p.left = client.left + v.margin_left;
    p.top = client.top + v.margin_top;
    p.width = client.right - client.left - v.margin_right - v.margin_left;
    p.height = client.bottom - client.top - v.margin_bottom - v.margin_top;
    p.right = p.left + p.width;
    p.bottom = p.top + p.height;
    return p;
}

bool view_picture_usable(const ViewPicture &p) {
    return p.width >= 2 && p.height >= 2;
}

COLORREF palette_colour(int index) {
    if (index < 0) index = 0;
    if (index >= VIEW_PALETTE_SIZE) index = VIEW_PALETTE_SIZE - 1;
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
