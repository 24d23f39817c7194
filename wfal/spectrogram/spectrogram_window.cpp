// The "wfaw" window holds no data of its own: every paint reads the shared view record and the
// visible records straight from the result file, composes the picture off screen and shows it
// in one copy. Scrolling and the time cursor change only top_record and cursor_record.
#include <windows.h>

#include <stdio.h>
#include <strsafe.h>

#include "module/state.h"
#include "spectrogram/palette.h"
#include "spectrogram/spectrogram_window.h"
#include "spectrogram/view_geometry.h"
#include "spectrogram/view_update.h"
#include "ui/gdi_draw.h"
#include "ui/gdi_holders.h"

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr int CURSOR_STRIP = 7;   // the arrow's strip left of the picture
constexpr int TEXT_INDENT = 7;    // time text from the picture's right edge
constexpr int LEGEND_MIN_PH = 99; // shortest picture with room for the legend
constexpr int LEGEND_LABELS = 8;
constexpr int LABEL_CHARS = 16;

// Level to palette index for the levels of the last repaint; rebuilt when they change.
PaletteTable palette_table;

// Everything a paint or a cursor move needs about the window, computed once.
struct ViewFrame {
    RECT client;
    ViewPicture pic;
    int records;
};

ViewFrame view_frame(HWND hwnd) {
    ViewFrame f;
    GetClientRect(hwnd, &f.client);
    f.pic = view_picture(wfal.view, f.client);
    f.records = view_record_count(wfal.view, wfal.file_size);
    return f;
}

HFONT view_font() {
    return CreateFontW(14, 7, 0, 0, 0, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, TEXT("courier new"));
}

// ---- Drawing steps ---------------------------------------------------------------------------

void draw_time_text(HDC dc, const RECT &client) {
    const ViewState &v = wfal.view;
    size_t length = 0;
    // DrawTextW reads to the terminator: an unterminated field is not drawn at all.
    if (FAILED(StringCchLengthW(v.time_text, VIEW_TIME_CHARS, &length)) || length == 0) return;
    RECT box = {client.right - v.margin_right + TEXT_INDENT, client.top + v.margin_top,
                client.right - 1, client.bottom - v.margin_bottom};
    if (box.left >= box.right || box.top >= box.bottom) return;
    GdiSelection font(dc, view_font(), true);
    DrawTextW(dc, v.time_text, -1, &box, DT_WORDBREAK);
}

void draw_frame(HDC dc, const ViewPicture &p) {
    GdiSelection pen(dc, CreatePen(PS_SOLID, 1, BLACK), true);
    draw_line(dc, p.left - 1, p.top - 1, p.right, p.top - 1);
    draw_line(dc, p.left - 1, p.top - 1, p.left - 1, p.bottom);
    draw_line(dc, p.right, p.top - 1, p.right, p.bottom);
    draw_line(dc, p.left - 1, p.bottom, p.right + 1, p.bottom);
}

void draw_colour_bar(HDC dc, const ViewPicture &p) {
    {
        GdiSelection pen(dc, CreatePen(PS_SOLID, 1, BLACK), true);
        draw_line(dc, p.right + 12, p.top + 82, p.right + 28, p.top + 82);
        draw_line(dc, p.right + 12, p.top + 82, p.right + 12, p.bottom - 8);
        draw_line(dc, p.right + 27, p.top + 82, p.right + 27, p.bottom - 8);
        draw_line(dc, p.right + 12, p.bottom - 8, p.right + 28, p.bottom - 8);
    }
    for (int j = 0; j <= p.height - 93; ++j) {
        COLORREF colour = palette_colour(view_legend_bar_index(j, p.height));
        GdiSelection pen(dc, CreatePen(PS_SOLID, 1, colour), true);
        draw_line(dc, p.right + 13, p.bottom - 9 - j, p.right + 27, p.bottom - 9 - j);
    }
}

void draw_legend(HDC dc, const ViewPicture &p) {
    const ViewState &v = wfal.view;
    GdiSelection font(dc, view_font(), true);
    size_t length = 0;
    if (v.level_unit[0] && SUCCEEDED(StringCchLengthW(v.level_unit, VIEW_UNIT_CHARS, &length)))
        ExtTextOutW(dc, p.right + 32, p.top + 64, 0, NULL, v.level_unit, (UINT)length, NULL);
    draw_colour_bar(dc, p);
    for (int k = 0; k < LEGEND_LABELS; ++k) {
        WCHAR label[LABEL_CHARS];
        StringCchPrintfW(label, LABEL_CHARS, TEXT("%.0f"), view_legend_value(v, k));
        StringCchLengthW(label, LABEL_CHARS, &length);
        ExtTextOutW(dc, p.right + 32, view_legend_label_y(p, k), 0, NULL, label, (UINT)length,
                    NULL);
    }
}

// A five-row arrowhead pointing right at the cursor row, cut at the picture's top and bottom.
void draw_cursor(HDC dc, const ViewPicture &p) {
    const ViewState &v = wfal.view;
    const RECT strip = {p.left - CURSOR_STRIP, p.top, p.left - 1, p.bottom};
    FillRect(dc, &strip, (HBRUSH)GetStockObject(WHITE_BRUSH));
    LONGLONG row = (LONGLONG)p.top - v.top_record + v.cursor_record;
    if (row < p.top || row >= p.bottom) return;
    const int y = (int)row, x = p.left - CURSOR_STRIP;
    GdiSelection pen(dc, CreatePen(PS_SOLID, 1, BLACK), true);
    draw_line(dc, x, y, p.left - 1, y);
    if (y > p.top) draw_line(dc, x, y - 1, p.left - 2, y - 1);
    if (y < p.bottom - 1) draw_line(dc, x, y + 1, p.left - 2, y + 1);
    if (y > p.top + 1) draw_line(dc, x, y - 2, p.left - 3, y - 2);
    if (y < p.bottom - 2) draw_line(dc, x, y + 2, p.left - 3, y + 2);
}

// Rows from the file, top_record first; rows whose record can't be read stay as they are.
void draw_rows(HDC dc, const ViewPicture &p) {
    const ViewState &v = wfal.view;
    if (v.points <= 0 || v.points > VIEW_MAX_POINTS || v.record_size < 2 * v.points ||
        v.record_size > 2 * VIEW_MAX_POINTS)
        return;
    LONGLONG offset = v.data_offset + (LONGLONG)v.top_record * v.record_size;
    if (offset < 0 || offset > 0x7fffffff) return;
    FILE *file = _wfopen(wfal.result_path, TEXT("rb"));
    if (!file) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = v.points;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    INT16 samples[VIEW_MAX_POINTS];
    BYTE pixels[3 * VIEW_MAX_POINTS];
    palette_table_update(&palette_table, v.black_level, v.white_level);
    if (fseek(file, (long)offset, SEEK_SET) == 0) {
        for (int r = 0; r < p.height; ++r) {
            if (fread(samples, (size_t)v.record_size, 1, file) != 1) break;
            palette_table_map_row(palette_table, samples, v.points, pixels);
            StretchDIBits(dc, p.left, p.top + r, p.width, 1, 0, 0, v.points, 1, pixels, &info,
                          DIB_RGB_COLORS, SRCCOPY);
        }
    }
    fclose(file);
}

// ---- Repaint ---------------------------------------------------------------------------------

void update_scroll_bar(HWND hwnd, int records, int picture_height) {
    const int scale = view_scroll_scale(records);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = view_scroll_max(records, picture_height);
    si.nPage = 0;
    si.nPos = scale ? wfal.view.top_record / scale : 0;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

// Everything inside the frame that depends on the records: their range, the scroll bar, the
// cursor and the rows.
void draw_records(HWND hwnd, HDC dc, const ViewFrame &f) {
    ViewState &v = wfal.view;
    const int previous_top = v.top_record;
    view_settle_top(v, f.records, f.pic.height);
    if (v.top_record != previous_top) view_enable_keys();
    if (v.black_level == v.white_level) v.white_level = v.black_level + 1;
    update_scroll_bar(hwnd, f.records, f.pic.height);
    draw_cursor(dc, f.pic);
    draw_rows(dc, f.pic);
}

void compose(HWND hwnd, HDC dc, const ViewFrame &f) {
    FillRect(dc, &f.client, (HBRUSH)GetStockObject(WHITE_BRUSH));
    if (wfal.view.mode == VIEW_EMPTY) return;
    draw_time_text(dc, f.client);
    if (!view_picture_usable(f.pic)) return;
    draw_frame(dc, f.pic);
    if (f.pic.height >= LEGEND_MIN_PH) draw_legend(dc, f.pic);
    draw_records(hwnd, dc, f);
}

LRESULT on_paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        const ViewFrame f = view_frame(hwnd);
        MemoryDc memory(dc);
        GdiOwned<HBITMAP> bitmap(CreateCompatibleBitmap(dc, f.client.right, f.client.bottom));
        if (memory.get() && bitmap.get()) {
            GdiSelection selected(memory.get(), bitmap.get(), false);
            compose(hwnd, memory.get(), f);
            BitBlt(dc, 0, 0, f.client.right, f.client.bottom, memory.get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- Scrolling and the time cursor -----------------------------------------------------------

LRESULT on_scroll(HWND hwnd, int request, int thumb) {
    ViewState &v = wfal.view;
    if (v.mode != VIEW_STILL) return 0;
    const ViewFrame f = view_frame(hwnd);
    const int scale = view_scroll_scale(f.records);
    int target;
    if (!view_picture_usable(f.pic) || scale == 0) return 0;
    if (!view_scroll_request(request, thumb, v.top_record / scale, f.pic.height, &target)) return 0;
    const int top = view_scroll_top(target, f.records, f.pic.height);
    if (top == v.top_record) return 0;
    v.top_record = top;
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE);
    view_enable_keys();
    return 0;
}

int held_record(LONGLONG record, int records) {
    if (record > records - 1) record = records - 1;
    return record < 0 ? 0 : (int)record;
}

// Without a usable picture the keys still move the cursor, and the picture follows it.
void move_cursor_blind(HWND hwnd, int delta, int records) {
    ViewState &v = wfal.view;
    const int previous_top = v.top_record, previous_cursor = v.cursor_record;
    v.cursor_record = held_record((LONGLONG)v.cursor_record + delta, records);
    v.top_record = v.cursor_record;
    if (v.cursor_record != previous_cursor) view_update(VIEW_CURSOR);
    if (v.top_record != previous_top) InvalidateRect(hwnd, NULL, TRUE);
}

// The cursor moved within the shown rows: only its strip and the time text are drawn again.
void redraw_cursor_in_place(HWND hwnd, const ViewFrame &f) {
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    draw_cursor(dc, f.pic);
    draw_time_text(dc, f.client);
    ReleaseDC(hwnd, dc);
}

// `touch` is a touched point (x, y); otherwise `delta` records move the cursor.
LRESULT on_cursor(HWND hwnd, bool touch, int x, int y, int delta) {
    ViewState &v = wfal.view;
    if (v.mode != VIEW_STILL) return 0;
    const ViewFrame f = view_frame(hwnd);
    if (!view_picture_usable(f.pic)) {
        if (!touch) move_cursor_blind(hwnd, delta, f.records);
        return 0;
    }
    const int previous_top = v.top_record, previous_cursor = v.cursor_record;
    LONGLONG row;
    if (touch) {
        if (x < f.pic.left || x >= f.pic.left + f.pic.width) return 0;
        row = (LONGLONG)y - f.pic.top + v.top_record;
    } else {
        row = held_record((LONGLONG)v.cursor_record + delta, f.records);
        if (row < v.top_record) v.top_record = (int)row;
        if (row >= (LONGLONG)v.top_record + f.pic.height)
            v.top_record = (int)row - f.pic.height + 1;
    }
    if (row < v.top_record || row >= (LONGLONG)v.top_record + f.pic.height) return 0;
    v.cursor_record = held_record(row, f.records);
    if (v.cursor_record != previous_cursor) view_update(VIEW_CURSOR);
    if (v.top_record != previous_top)
        InvalidateRect(hwnd, NULL, TRUE);
    else
        redraw_cursor_in_place(hwnd, f);
    return 0;
}

LRESULT on_touch(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    if (!(wparam & MK_LBUTTON)) return 0;
    return on_cursor(hwnd, true, LOWORD(lparam), HIWORD(lparam), 0);
}

} // namespace

LRESULT CALLBACK spectrogram_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: return on_paint(hwnd);
    case WM_VSCROLL: return on_scroll(hwnd, LOWORD(wparam), HIWORD(wparam));
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: return on_touch(hwnd, wparam, lparam);
    case VIEW_MOVE_CURSOR: return on_cursor(hwnd, false, 0, 0, (int)(INT_PTR)wparam);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}
