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

// The same entries as one value each, blue in the low byte: one load per sample.
struct PackedPalette {
    DWORD bgr[VIEW_PALETTE_SIZE];
};

constexpr PackedPalette make_packed_palette() {
    PackedPalette p{};
    for (int i = 0; i < VIEW_PALETTE_SIZE; ++i)
        p.bgr[i] = PALETTE.blue[i] | (DWORD)PALETTE.green[i] << 8 | (DWORD)PALETTE.red[i] << 16;
    return p;
}

constexpr PackedPalette PACKED_PALETTE = make_packed_palette();

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

int view_scroll_max(int records, int picture_height) {
    int scale = view_scroll_scale(records);
    if (scale == 0) return 0;
    return view_scroll_units(records, scale) - picture_height / scale;
}

void view_settle_top(ViewState &v, int records, int picture_height) {
    const int n = records, ph = picture_height;
    if (v.follow_cursor &&
        (v.cursor_record < v.top_record || v.cursor_record - v.top_record >= ph)) {
        v.top_record = v.cursor_record - ph / 2;
        if (v.top_record < 0) v.top_record = 0;
        if (n - v.top_record < ph) v.top_record = n - ph;
        if (v.top_record < 0) v.top_record = 0;
    }
    if (n - v.top_record < ph) v.top_record = n - ph;
    if (v.top_record < 0) v.top_record = 0;
    v.follow_cursor = 0;
}

bool view_scroll_request(int request, int thumb, int position, int picture_height, int *target) {
    const int line = picture_height / 10 > 1 ? picture_height / 10 : 1;
    switch (request) {
    case SB_LINEUP: *target = position - line; return true;
    case SB_LINEDOWN: *target = position + line; return true;
    case SB_PAGEUP: *target = position - picture_height + 1; return true;
    case SB_PAGEDOWN: *target = position + picture_height - 1; return true;
    case SB_THUMBTRACK: *target = thumb; return true;
    default: return false;
    }
}

int view_scroll_top(int target, int records, int picture_height) {
    const int max = view_scroll_max(records, picture_height);
    if (target > max) target = max;
    if (target < 0) target = 0;
    LONGLONG top = (LONGLONG)target * view_scroll_scale(records);
    if (top > records - 1) top = records - 1;
    if (top < 0) top = 0;
    return (int)top;
}

int view_legend_bar_index(int row, int picture_height) {
    int index = (int)(row * 223.0 / (picture_height - 92));
    return index > 223 ? 223 : index;
}

double view_legend_value(const ViewState &v, int k) {
    double step = ((double)v.white_level - v.black_level) / 7.0;
    return (step * k + ((double)v.black_level - v.level_offset)) / 100.0;
}

int view_legend_label_y(const ViewPicture &p, int k) {
    return (int)((p.bottom - 16) - (p.height - 92) / 7.0 * k);
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
