// The "wfaw" window on the composed screen: which record each row shows, the palette at its
// edges, the scroll range and requests, the clipped cursor arrow, touches, the legend's place
// and the failures that must leave a white picture instead of a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <strsafe.h>

#include "spectrogram/palette.h"
#include "spectrogram/spectrogram_window.h"
#include "spectrogram/view_geometry.h"
#include "support/module_ui.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/test_bitmap.h"

namespace {

constexpr int X = 10, Y = 20; // the window in the parent = screen
constexpr int SCROLL_BAR = 16;
constexpr COLORREF WHITE = RGB(255, 255, 255), BLACK = RGB(0, 0, 0);
constexpr int NONE = -1, NOT_PALETTE = -2;

// Levels that name their record: with black 0 and white 223 the palette index is the level.
ResultFileRecipe numbered_records(long long records, int points = 2) {
    ResultFileRecipe s;
    s.points = points;
    s.records = records;
    s.level = [](long long record, int) { return INT16(record % 224); };
    return s;
}

class SpectrogramWindow : public ModuleUiTest {
protected:
    TempDeviceRoot root;
    HWND view = nullptr;
    ViewPicture pic{}; // client coordinates

    void SetUp() override {
        ModuleUiTest::SetUp();
        MoveWindow(parent, 0, 0, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT, TRUE);
        wfal.view = ViewState{};
        wfal.file_size = 0;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\t.res");
    }
    void TearDown() override {
        DestroyWindow(view);
        ModuleUiTest::TearDown();
    }

    // A still view of a client width x height over the file described by `file` (a fresh window).
    void open(int width, int height, const ResultFileRecipe &file, int black = 0, int white = 223) {
        if (view) DestroyWindow(view);
        view =
            CreateWindowExW(0, SPECTROGRAM_CLASS, u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, X, Y,
                            width + SCROLL_BAR, height, parent, (HMENU)203, wfal.instance, nullptr);
        result_file_write(root.dir() + "/t.res", file);
        ViewState &v = wfal.view;
        v.mode = VIEW_STILL;
        v.margin_left = VIEW_MARGIN_LEFT, v.margin_top = VIEW_MARGIN_TOP;
        v.margin_right = VIEW_MARGIN_RIGHT, v.margin_bottom = VIEW_MARGIN_BOTTOM;
        v.points = file.points, v.record_size = 2 * file.points;
        v.data_offset = RESULT_HEADER_SIZE;
        v.black_level = black, v.white_level = white;
        wfal.file_size = RESULT_HEADER_SIZE + file.records * v.record_size;
        pic = view_picture(v, RECT{0, 0, width, height});
    }
    std::vector<uint32_t> shot; // the composed screen, 0x00RRGGBB

    void repaint() {
        InvalidateRect(view, nullptr, TRUE);
        pump_pending();
        look();
    }
    void look() {
        const uint32_t *screen = wl_screen_pixels();
        shot.assign(screen, screen + WL_SCREEN_WIDTH * WL_SCREEN_HEIGHT);
    }
    // A pixel of the client area as the last look saw it.
    COLORREF at(int x, int y) {
        uint32_t p = shot[size_t(Y + y) * WL_SCREEN_WIDTH + X + x];
        return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Every row's palette index (NONE: white), and what it is when records [first, first +
    // count) are shown.
    std::vector<int> rows() {
        std::map<COLORREF, int> index_of = {{WHITE, NONE}};
        for (int i = 0; i < PALETTE_SIZE; ++i)
            index_of[palette_colour(i)] = i;
        std::vector<int> out;
        for (int r = 0; r < pic.height; ++r) {
            auto found = index_of.find(at(pic.left, pic.top + r));
            out.push_back(found == index_of.end() ? NOT_PALETTE : found->second);
        }
        return out;
    }
    std::vector<int> expected_rows(long long first, long long count) {
        std::vector<int> out;
        for (int r = 0; r < pic.height; ++r)
            out.push_back(r < count ? int((first + r) % 224) : NONE);
        return out;
    }
    SCROLLINFO scroll() {
        SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(view, SB_VERT, &si);
        return si;
    }
    // The cursor strip of picture rows [from, to) as '#' (black) and '.' (white).
    std::string strip(int from, int to) {
        return ui_picture(
            RECT{X + pic.left - 7, Y + pic.top + from, X + pic.left - 1, Y + pic.top + to},
            {{BLACK, '#'}, {WHITE, '.'}});
    }
    // Pixels other than white (lines, bar and grey-edged text) in client coordinates.
    int ink(int left, int top, int right, int bottom) {
        const std::string p =
            ui_picture(RECT{X + left, Y + top, X + right, Y + bottom}, {{WHITE, '.'}});
        return int(std::count(p.begin(), p.end(), '?'));
    }
};

// The palette's ends and middle; equal levels are taken as one apart.
TEST_F(SpectrogramWindow, PaletteAtTheLevelEdges) {
    const COLORREF LOW = RGB(32, 0, 32), HIGH = RGB(255, 249, 249), MID = RGB(0, 255, 144);
    struct Case {
        const char *name;
        int black, white;
        INT16 levels[3];
        std::vector<COLORREF> colours;
        int white_after;
    } cases[] = {
        {"black, white, halfway", -12000, 1000, {-12000, 1000, -5500}, {LOW, HIGH, MID}, 1000},
        {"beyond both ends", -12000, 1000, {-32768, 32767, -11999}, {LOW, HIGH, LOW}, 1000},
        {"mirrored", 1000, -12000, {1000, -12000, -5500}, {LOW, HIGH, MID}, -12000},
        {"equal levels", 500, 500, {500, 501, 499}, {LOW, HIGH, LOW}, 501},
    };
    for (const Case &c : cases) {
        ResultFileRecipe file = numbered_records(3, 3);
        file.level = [&c](long long, int point) { return c.levels[point]; };
        open(439, 20, file, c.black, c.white); // 300 pixels: 100 per point
        repaint();
        std::vector<COLORREF> colours;
        for (int p = 0; p < 3; ++p)
            colours.push_back(at(pic.left + 100 * p + 50, pic.top + 2));
        EXPECT_EQ(colours, c.colours) << c.name;
        EXPECT_EQ(wfal.view.white_level, c.white_after) << c.name;
    }
}

// A picture 22 wide and 150 high throughout.
TEST_F(SpectrogramWindow, RowsAndScrollRangeAfterRepaint) {
    struct Case {
        const char *name;
        long long records;
        int top_before, cursor, follow, top_after, scroll_max, scroll_pos;
    } cases[] = {
        // A negative range is set as 0 to 0, which shows the bar disabled.
        {"fewer records than rows", 40, 0, 0, 0, 0, 0, 0},
        {"one record", 1, 0, 0, 0, 0, 0, 0},
        {"exactly one picture", 150, 0, 0, 0, 0, 0, 0},
        {"top beyond the last picture", 200, 120, 0, 0, 50, 50, 50},
        {"follow: cursor in view stays", 1000, 100, 180, 1, 100, 850, 100},
        {"follow: cursor below", 1000, 0, 500, 1, 425, 850, 425},
        {"follow: cursor above", 1000, 600, 10, 1, 0, 850, 0},
        {"follow: near the end", 200, 0, 180, 1, 50, 50, 50},
        {"no follow: cursor out of view", 1000, 0, 500, 0, 0, 850, 0},
        {"130001 records scale by 3", 130001, 3000, 0, 0, 3000, 43284, 1000},
        {"scale 3 at the end", 130001, 129900, 0, 0, 129851, 43284, 43283},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open(161, 152, numbered_records(c.records));
        wfal.view.top_record = c.top_before;
        wfal.view.cursor_record = c.cursor;
        wfal.view.follow_cursor = c.follow;
        repaint();
        EXPECT_EQ(wfal.view.top_record, c.top_after);
        EXPECT_EQ(wfal.view.follow_cursor, 0);
        EXPECT_EQ(rows(), expected_rows(c.top_after, c.records - c.top_after));
        SCROLLINFO si = scroll();
        EXPECT_EQ(std::vector<int>({si.nMin, si.nMax, si.nPos}),
                  std::vector<int>({0, c.scroll_max, c.scroll_pos}));
    }
}

// Scrolling moves top_record, and the repaint it asks for shows the records from there.
TEST_F(SpectrogramWindow, ScrollRequests) {
    struct Case {
        const char *name;
        long long records;
        int top, request, thumb, top_after;
    } cases[] = {
        {"page down held to the maximum", 200, 0, SB_PAGEDOWN, 0, 50},
        {"page up from the bottom", 200, 50, SB_PAGEUP, 0, 0},
        {"line down: a tenth of the picture", 200, 0, SB_LINEDOWN, 0, 15},
        {"line up held to 0", 200, 10, SB_LINEUP, 0, 0},
        {"thumb track", 200, 0, SB_THUMBTRACK, 30, 30},
        {"thumb beyond the range", 200, 0, SB_THUMBTRACK, 65000, 50},
        {"thumb position moves nothing", 200, 20, SB_THUMBPOSITION, 40, 20},
        {"end scroll moves nothing", 200, 20, SB_ENDSCROLL, 40, 20},
        {"fewer records than rows", 40, 0, SB_PAGEDOWN, 0, 0},
        {"scale 3: thumb p shows 3p", 130001, 0, SB_THUMBTRACK, 1000, 3000},
        {"scale 3: page down", 130001, 3000, SB_PAGEDOWN, 0, 3447},
        {"scale 3: thumb at the end", 130001, 0, SB_THUMBTRACK, 43284, 129852},
    };
    for (const Case &c : cases) {
        open(161, 152, numbered_records(c.records));
        wfal.view.top_record = c.top;
        repaint();
        EXPECT_EQ(SendMessageW(view, WM_VSCROLL, MAKEWPARAM(c.request, c.thumb), 0), 0);
        EXPECT_EQ(wfal.view.top_record, c.top_after) << c.name;
        pump_pending();
        look();
        const int top = std::min<long long>(c.top_after, c.records - 150 > 0 ? c.records - 150 : 0);
        EXPECT_EQ(rows(), expected_rows(top, c.records - top)) << c.name;
    }
}

TEST_F(SpectrogramWindow, CursorArrowIsClippedAtThePicturesEdges) {
    const std::string full = "####..\n#####.\n######\n#####.\n####..";
    struct Case {
        int cursor, from, to; // from, to: the strip rows shown
        std::string picture;
    } cases[] = {
        {0, 0, 4, "######\n#####.\n####..\n......"},
        {1, 0, 5, "#####.\n######\n#####.\n####..\n......"},
        {10, 7, 14, "......\n" + full + "\n......"},
        {18, 15, 20, "......\n####..\n#####.\n######\n#####."},
        {19, 16, 20, "......\n####..\n#####.\n######"},
        {20, 0, 20, picture_rows(std::vector<std::string>(20, "......"))},
    };
    for (const Case &c : cases) {
        open(161, 22, numbered_records(100)); // 20 rows
        wfal.view.cursor_record = c.cursor;
        repaint();
        EXPECT_EQ(strip(c.from, c.to), c.picture) << c.cursor;
    }
}

// 120 records, picture 100 wide (x 40 to 140): 150 rows for touches, 50 for keys, or none.
TEST_F(SpectrogramWindow, TouchesAndCursorKeys) {
    constexpr UINT DOWN = WM_LBUTTONDOWN, MOVE = WM_MOUSEMOVE, KEY = VIEW_MOVE_CURSOR;
    struct Case {
        const char *name;
        int mode, client_height, top, cursor;
        UINT message;
        WPARAM wparam;
        int x, y, top_after, cursor_after; // x, y for touches
    } cases[] = {
        {"a row", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 100, 21, 0, 20},
        {"dragging", VIEW_STILL, 152, 0, 10, MOVE, MK_LBUTTON, 100, 31, 0, 30},
        {"moving without the button", VIEW_STILL, 152, 0, 10, MOVE, 0, 100, 31, 0, 10},
        {"picture's left column", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 40, 6, 0, 5},
        {"left margin", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 39, 21, 0, 10},
        {"legend", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 160, 120, 0, 10},
        {"time text", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 200, 5, 0, 10},
        {"top margin", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 100, 0, 0, 10},
        {"below the last record", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 100, 140, 0, 119},
        {"bottom margin", VIEW_STILL, 152, 0, 10, DOWN, MK_LBUTTON, 100, 151, 0, 10},
        {"no picture: touch", VIEW_STILL, 2, 0, 10, DOWN, MK_LBUTTON, 100, 1, 0, 10},
        {"key down", VIEW_STILL, 52, 0, 10, KEY, 3, 0, 0, 0, 13},
        {"key down from the bottom row", VIEW_STILL, 52, 0, 49, KEY, 1, 0, 0, 1, 50},
        {"key up from the top row", VIEW_STILL, 52, 10, 10, KEY, WPARAM(-1), 0, 0, 9, 9},
        {"key up at record 0", VIEW_STILL, 52, 0, 0, KEY, WPARAM(-1), 0, 0, 0, 0},
        {"key down at the last", VIEW_STILL, 52, 70, 119, KEY, 1, 0, 0, 70, 119},
        {"keys held to the records", VIEW_STILL, 52, 0, 100, KEY, 100, 0, 0, 70, 119},
        {"cursor out of view comes back", VIEW_STILL, 52, 50, 10, KEY, 1, 0, 0, 11, 11},
        {"no picture: top follows", VIEW_STILL, 2, 0, 10, KEY, 1, 0, 0, 11, 11},
        {"no picture: held at 0", VIEW_STILL, 2, 5, 0, KEY, WPARAM(-1), 0, 0, 0, 0},
        {"empty: touch", VIEW_EMPTY, 52, 20, 30, DOWN, MK_LBUTTON, 100, 5, 20, 30},
        {"empty: drag", VIEW_EMPTY, 52, 20, 30, MOVE, MK_LBUTTON, 100, 5, 20, 30},
        {"empty: key", VIEW_EMPTY, 52, 20, 30, KEY, 1, 0, 0, 20, 30},
        {"empty: scroll", VIEW_EMPTY, 52, 20, 30, WM_VSCROLL, SB_PAGEDOWN, 0, 0, 20, 30},
        {"live: touch", VIEW_LIVE, 52, 20, 30, DOWN, MK_LBUTTON, 100, 5, 20, 30},
        {"live: drag", VIEW_LIVE, 52, 20, 30, MOVE, MK_LBUTTON, 100, 5, 20, 30},
        {"live: key", VIEW_LIVE, 52, 20, 30, KEY, 1, 0, 0, 20, 30},
        {"live: scroll", VIEW_LIVE, 52, 20, 30, WM_VSCROLL, SB_PAGEDOWN, 0, 0, 20, 30},
    };
    for (const Case &c : cases) {
        open(239, c.client_height, numbered_records(120));
        wfal.view.mode = c.mode;
        wfal.view.top_record = c.top, wfal.view.cursor_record = c.cursor;
        repaint();
        EXPECT_EQ(SendMessageW(view, c.message, c.wparam, MAKELPARAM(c.x, c.y)), 0) << c.name;
        EXPECT_EQ(wfal.view.top_record, c.top_after) << c.name;
        EXPECT_EQ(wfal.view.cursor_record, c.cursor_after) << c.name;
        if (c.mode != VIEW_STILL || c.client_height != 152) continue;
        // A touch redraws the strip in place at once: the arrow's point moves to the new row.
        EXPECT_EQ(strip(c.cursor_after, c.cursor_after + 1), "######") << c.name;
        EXPECT_EQ(strip(c.cursor, c.cursor + 1), c.cursor_after == c.cursor ? "######" : "......")
            << c.name;
    }
}

// Picture 100 x 401: the bar has 309 rows, labels lie 44.14 rows apart.
TEST_F(SpectrogramWindow, LegendLabelsAndColourBar) {
    open(239, 403, numbered_records(10));
    ViewState &v = wfal.view;
    v.level_offset = -778, v.black_level = -10778, v.white_level = 1222;
    StringCchCopyW(v.level_unit, VIEW_UNIT_CHARS, u"dBm");
    repaint();
    // The right margin beside the bar, drawn again here from the expected texts and places.
    TestBitmap expected(70, 403, WHITE);
    HFONT font = CreateFontW(14, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    HGDIOBJ old = SelectObject(expected.dc, font);
    ExtTextOutW(expected.dc, 3, pic.top + 64, 0, nullptr, u"dBm", 3, nullptr);
    const std::u16string labels[8] = {u"-100", u"-83", u"-66", u"-49", u"-31", u"-14", u"3", u"20"};
    const int label_y[8] = {386, 341, 297, 253, 209, 165, 121, 77};
    for (int k = 0; k < 8; ++k)
        ExtTextOutW(expected.dc, 3, label_y[k], 0, nullptr, labels[k].c_str(),
                    UINT(labels[k].size()), nullptr);
    SelectObject(expected.dc, old);
    DeleteObject(font);
    int differing = 0;
    for (int y = 0; y < 403; ++y)
        for (int x = 0; x < 70; ++x)
            differing += at(pic.right + 29 + x, y) != expected.at(x, y);
    EXPECT_EQ(differing, 0);
    // The bar: frame from PT + 82 to PB - 8; row j from the bottom has index j * 223 / 309.
    EXPECT_EQ(at(pic.right + 20, pic.top + 82), BLACK);
    EXPECT_EQ(at(pic.right + 20, pic.bottom - 8), BLACK);
    for (int j = 0; j <= 308; ++j) {
        const int y = pic.bottom - 9 - j;
        const COLORREF c = palette_colour(j * 223 / 309);
        ASSERT_EQ(std::vector<COLORREF>({at(pic.right + 12, y), at(pic.right + 13, y),
                                         at(pic.right + 26, y), at(pic.right + 27, y)}),
                  std::vector<COLORREF>({BLACK, c, c, BLACK}))
            << j;
    }
}

// What stays when the file fails or the view is empty or short: frame, legend and time text
// are drawn from the view record alone.
TEST_F(SpectrogramWindow, WhatIsDrawn) {
    enum File { WHOLE, CUT_MID_RECORD, CUT_AT_RECORD, MISSING };
    struct Case {
        const char *name;
        int mode, client_height;
        File file;
        int rows_shown;
        bool frame, legend, text;
    } cases[] = {
        {"whole file", VIEW_STILL, 152, WHOLE, 100, true, true, true},
        {"cut mid-record", VIEW_STILL, 152, CUT_MID_RECORD, 40, true, true, true},
        {"cut at a record", VIEW_STILL, 152, CUT_AT_RECORD, 40, true, true, true},
        {"missing", VIEW_STILL, 152, MISSING, 0, true, true, true},
        {"empty view", VIEW_EMPTY, 152, WHOLE, 0, false, false, false},
        {"picture 98 high: no legend", VIEW_STILL, 100, WHOLE, 98, true, false, true},
        {"picture 99 high", VIEW_STILL, 101, WHOLE, 99, true, true, true},
    };
    for (const Case &c : cases) {
        open(239, c.client_height, numbered_records(100));
        ResultFileRecipe file = numbered_records(c.file == WHOLE ? 100 : 40);
        file.partial_bytes = c.file == CUT_MID_RECORD ? 3 : 0;
        result_file_write(root.dir() + "/t.res", file);
        if (c.file == MISSING) std::remove((root.dir() + "/t.res").c_str());
        wfal.view.mode = c.mode;
        StringCchCopyW(wfal.view.level_unit, VIEW_UNIT_CHARS, u"dBm");
        StringCchCopyW(wfal.view.time_text, VIEW_TIME_CHARS, u"Spectrogram");
        repaint();
        EXPECT_EQ(rows(), expected_rows(0, c.rows_shown)) << c.name;
        EXPECT_EQ(at(pic.left - 1, pic.top - 1) == BLACK, c.frame) << c.name;
        EXPECT_EQ(at(pic.right + 20, pic.bottom - 9) == palette_colour(0), c.legend) << c.name;
        EXPECT_EQ(ink(pic.right + 1, 40, pic.right + 99, c.client_height) > 0, c.legend) << c.name;
        EXPECT_EQ(ink(pic.right + 7, 0, pic.right + 98, 16) > 20, c.text) << c.name;
        EXPECT_EQ(ink(0, 0, 239, c.client_height) == 0, c.mode == VIEW_EMPTY) << c.name;
    }
}

} // namespace
