// The spectrogram view's arithmetic: record count, scroll scale and units, the picture
// rectangle, and the level-to-colour palette. Pure functions; the window only places results.
#pragma once

#include <windows.h>

#include "spectrogram/view_state.h"

constexpr int VIEW_PALETTE_SIZE = 224;
constexpr int VIEW_SCROLL_LIMIT = 65000; // scroll positions stay within 16-bit thumb positions

// The picture inside a client rectangle: left, top, width, height, and right = left + width,
// bottom = top + height.
struct ViewPicture {
    int left;
    int top;
    int width;
    int height;
    int right;
    int bottom;
};

// Complete records after the header; 0 when the file holds none or the record size is unset.
int view_record_count(const ViewState &v, LONGLONG file_size);
// Records per scroll position: ceiling(N / 65000), 0 when there are no records.
int view_scroll_scale(int records);
// Scroll positions for all records: ceiling(N / S), 0 when S is 0.
int view_scroll_units(int records, int scale);

ViewPicture view_picture(const ViewState &v, const RECT &client);
// Rows, the legend and touches need a picture of at least 2 x 2 pixels.
bool view_picture_usable(const ViewPicture &p);

// Palette entry as 0x00BBGGRR; indexes outside the palette are held to it.
COLORREF palette_colour(int index);

// Colours per hundredth of a dB; equal levels count as a white level one hundredth higher.
double palette_factor(int black_level, int white_level);
// Palette index of one sample: (v - black) x factor truncated, held to [0, 223].
int palette_index(int level, int black_level, double factor);
// One picture row: `count` samples as blue, green, red bytes, three per sample.
void palette_map_row(const INT16 *samples, int count, int black_level, int white_level, BYTE *bgr);
