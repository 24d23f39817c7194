// The spectrogram view's arithmetic: record count, scroll scale and units, the picture
// rectangle and the legend. Pure functions; the window only places results.
#pragma once

#include <windows.h>

#include "spectrogram/view_state.h"

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
BOOL view_picture_usable(const ViewPicture &p);

// Highest scroll position: U - PH / S; 0 when there are no records.
int view_scroll_max(int records, int picture_height);
// Puts top_record where a repaint shows it: around the cursor when follow_cursor asks for it,
// and never with empty rows below the last record while earlier records exist. Clears
// follow_cursor.
void view_settle_top(ViewState &v, int records, int picture_height);
// The scroll position a WM_VSCROLL request asks for from `position`; FALSE for requests that
// move nothing. `thumb` is the thumb position of SB_THUMBTRACK.
BOOL view_scroll_request(int request, int thumb, int position, int picture_height, int *target);
// top_record for a scroll position, held to the scroll range and to the records.
int view_scroll_top(int target, int records, int picture_height);

// The legend's colour bar: the palette index of bar row j, counted up from its bottom row;
// the bar has picture_height - 92 rows.
int view_legend_bar_index(int row, int picture_height);
// The legend's label k (0 the black level, 7 the white level) in whole display units, and the
// y of its text.
double view_legend_value(const ViewState &v, int k);
int view_legend_label_y(const ViewPicture &p, int k);
