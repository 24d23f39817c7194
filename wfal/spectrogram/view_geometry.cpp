#include "spectrogram/view_geometry.h"

namespace {

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

BOOL view_picture_usable(const ViewPicture &p) {
    return p.width >= 2 && p.height >= 2;
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

BOOL view_scroll_request(int request, int thumb, int position, int picture_height, int *target) {
    const int line = picture_height / 10 > 1 ? picture_height / 10 : 1;
    switch (request) {
    case SB_LINEUP: *target = position - line; return TRUE;
    case SB_LINEDOWN: *target = position + line; return TRUE;
    case SB_PAGEUP: *target = position - picture_height + 1; return TRUE;
    case SB_PAGEDOWN: *target = position + picture_height - 1; return TRUE;
    case SB_THUMBTRACK: *target = thumb; return TRUE;
    default: return FALSE;
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
