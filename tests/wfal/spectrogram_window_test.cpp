// The "wfaw" window at its edges, on the composed screen: which record each row shows, the scroll
// range and requests, touches and keys, and a file gone from under it. The view flows' stored
// screens show it whole, the legend's least height and a file cut in a record included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <strsafe.h>

#include "spectrogram/palette.h"
#include "spectrogram/spectrogram_window.h"
#include "spectrogram/view_geometry.h"
#include "support/module_ui.h"
#include "support/result_file.h"
#include "support/temp_root.h"

namespace {

constexpr int X = 10, Y = 20; // the window in the parent = screen
constexpr COLORREF WHITE = RGB(255, 255, 255), BLACK = RGB(0, 0, 0);
constexpr int NONE = -1; // a white row

class SpectrogramWindow : public ModuleUiTest {
protected:
    TempDeviceRoot root;
    HWND view = nullptr;
    ViewPicture pic{}; // client coordinates
    int follow = 0;    // the next view's follow_cursor

    // A still view of a client width x height over `records` records (a fresh window), the
    // given mode, top and cursor, painted.
    void open(int width, int height, long long records, int mode = VIEW_STILL, int top = 0,
              int cursor = 0, int black = 0, int white = 223, int points = 2) {
        MoveWindow(parent, 0, 0, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT, TRUE);
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\t.res");
        DestroyWindow(view);
        view = CreateWindowExW(0, SPECTROGRAM_CLASS, u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, X, Y,
                               width + 16, height, parent, (HMENU)203, wfal.instance, nullptr);
        // Levels that name their record: with black 0 and white 223 the palette index is the level.
        ResultFileRecipe file;
        file.points = points, file.records = records;
        file.level = [](long long record, int) { return INT16(record % 224); };
        result_file_write(root.dir() + "/t.res", file);
        ViewState &v = wfal.view = ViewState{};
        v.mode = mode, v.top_record = top, v.cursor_record = cursor, v.follow_cursor = follow;
        v.margin_left = VIEW_MARGIN_LEFT, v.margin_top = VIEW_MARGIN_TOP;
        v.margin_right = VIEW_MARGIN_RIGHT, v.margin_bottom = VIEW_MARGIN_BOTTOM;
        v.points = points, v.record_size = 2 * points, v.data_offset = RESULT_HEADER_SIZE;
        v.black_level = black, v.white_level = white;
        wfal.file_size = RESULT_HEADER_SIZE + records * v.record_size;
        pic = view_picture(v, RECT{0, 0, width, height});
        repaint();
    }
    void repaint() { InvalidateRect(view, nullptr, TRUE), pump_pending(); }
    COLORREF at(int x, int y) { return ui_pixel(X + x, Y + y); }
    // Every row's palette index (NONE: white, -2: neither).
    std::vector<int> rows() {
        std::vector<int> out;
        for (int r = 0; r < pic.height; ++r) {
            const COLORREF c = at(pic.left, pic.top + r);
            int i = PALETTE_SIZE - 1;
            while (i >= 0 && palette_colour(i) != c)
                --i;
            out.push_back(c == WHITE ? NONE : i < 0 ? -2 : i);
        }
        return out;
    }
    // The rows when `count` records from `first` on are shown.
    std::vector<int> expected_rows(long long first, long long count) {
        std::vector<int> out;
        for (int r = 0; r < pic.height; ++r)
            out.push_back(r < count ? int((first + r) % 224) : NONE);
        return out;
    }
};

// A picture 150 high. A repaint settles the top (and follows the cursor once when asked); a
// scroll request moves the top by pages, tenths of a picture or the thumb's track, scaled by 3
// over 130001 records. A thumb at p shows record p * scale.
TEST_F(SpectrogramWindow, RowsScrollRangeAndRequests) {
    constexpr int PAINT = -1, DOWN = SB_PAGEDOWN, TRACK = SB_THUMBTRACK;
    // records, top, cursor, follow, request, thumb, top after, scroll range's end
    const int cases[][8] = {
        // Fewer records than rows: a negative range is set as 0 to 0 (the bar disabled).
        {40, 0, 0, 0, PAINT, 0, 0, 0},
        {150, 0, 0, 0, PAINT, 0, 0, 0},
        {200, 120, 0, 0, PAINT, 0, 50, 50},
        {1000, 100, 180, 1, PAINT, 0, 100, 850},
        {1000, 0, 500, 1, PAINT, 0, 425, 850},
        {1000, 600, 10, 1, PAINT, 0, 0, 850},
        {200, 0, 180, 1, PAINT, 0, 50, 50},
        {1000, 0, 500, 0, PAINT, 0, 0, 850},
        {130001, 3000, 0, 0, PAINT, 0, 3000, 43284},
        {200, 0, 0, 0, DOWN, 0, 50, 50},
        {200, 50, 0, 0, SB_PAGEUP, 0, 0, 50},
        {200, 0, 0, 0, SB_LINEDOWN, 0, 15, 50},
        {200, 10, 0, 0, SB_LINEUP, 0, 0, 50},
        {200, 0, 0, 0, TRACK, 30, 30, 50},
        {200, 20, 0, 0, SB_THUMBPOSITION, 40, 20, 50},
        {40, 0, 0, 0, DOWN, 0, 0, 0},
        {130001, 3000, 0, 0, DOWN, 0, 3447, 43284},
        {130001, 0, 0, 0, TRACK, 43284, 129852, 43284}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << " " << c[1] << " " << c[4]);
        follow = c[3];
        open(161, 152, c[0], VIEW_STILL, c[1], c[2]);
        if (c[4] != PAINT) SendMessageW(view, WM_VSCROLL, MAKEWPARAM(c[4], c[5]), 0);
        EXPECT_EQ(std::vector<int>({wfal.view.top_record, wfal.view.follow_cursor}),
                  std::vector<int>({c[6], 0}));
        pump_pending();
        const int top = wfal.view.top_record, scale = c[0] > 65535 ? 3 : 1;
        EXPECT_EQ(top, std::min(c[6], std::max(c[0] - 150, 0)));
        EXPECT_EQ(rows(), expected_rows(top, c[0] - top));
        SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(view, SB_VERT, &si);
        EXPECT_EQ(std::vector<int>({si.nMin, si.nMax, si.nPos}),
                  std::vector<int>({0, c[7], top / scale}));
    }
}

// 120 records, picture 100 wide (x 40 to 140): 150 rows for touches, 50 for keys, or none (a
// window 2 high). Touches count with the button down and inside the picture's columns and rows
// (the last record's row below it); the keys bring the cursor into view, held to the records.
TEST_F(SpectrogramWindow, TouchesAndCursorKeys) {
    constexpr int DOWN = WM_LBUTTONDOWN, MOVE = WM_MOUSEMOVE, KEY = VIEW_MOVE_CURSOR;
    constexpr int STILL = VIEW_STILL, B = MK_LBUTTON;
    // mode, height, top, cursor, message, wparam, x, y (for touches), top and cursor after
    const int cases[][10] = {{STILL, 152, 0, 10, MOVE, B, 100, 31, 0, 30},
                             {STILL, 152, 0, 10, MOVE, 0, 100, 31, 0, 10},
                             {STILL, 152, 0, 10, DOWN, B, 40, 6, 0, 5},
                             {STILL, 152, 0, 10, DOWN, B, 39, 21, 0, 10},
                             {STILL, 152, 0, 10, DOWN, B, 160, 120, 0, 10},
                             {STILL, 152, 0, 10, DOWN, B, 100, 0, 0, 10},
                             {STILL, 152, 0, 10, DOWN, B, 100, 121, 0, 119},
                             {STILL, 152, 0, 10, DOWN, B, 100, 151, 0, 10},
                             {STILL, 2, 0, 10, DOWN, B, 100, 1, 0, 10},
                             {STILL, 52, 0, 49, KEY, 1, 0, 0, 1, 50},
                             {STILL, 52, 10, 10, KEY, -1, 0, 0, 9, 9},
                             {STILL, 52, 0, 0, KEY, -1, 0, 0, 0, 0},
                             {STILL, 52, 0, 100, KEY, 100, 0, 0, 70, 119},
                             {STILL, 52, 50, 10, KEY, 1, 0, 0, 11, 11},
                             {STILL, 2, 0, 10, KEY, 1, 0, 0, 11, 11},
                             {STILL, 2, 5, 0, KEY, -1, 0, 0, 0, 0},
                             {VIEW_EMPTY, 52, 20, 30, DOWN, B, 100, 5, 20, 30},
                             {VIEW_EMPTY, 52, 20, 30, WM_VSCROLL, SB_PAGEDOWN, 0, 0, 20, 30},
                             {VIEW_LIVE, 52, 20, 30, MOVE, B, 100, 5, 20, 30},
                             {VIEW_LIVE, 52, 20, 30, KEY, 1, 0, 0, 20, 30}};
    for (const auto &c : cases) {
        open(239, c[1], 120, c[0], c[2], c[3]);
        EXPECT_EQ(SendMessageW(view, UINT(c[4]), WPARAM(c[5]), MAKELPARAM(c[6], c[7])), 0);
        EXPECT_EQ(std::vector<int>({wfal.view.top_record, wfal.view.cursor_record}),
                  std::vector<int>({c[8], c[9]}))
            << c[0] << " " << c[1] << " " << c[4] << " " << c[6] << "," << c[7];
    }
}

// A file gone since it was opened leaves the frame, the legend and the time text, drawn from the
// view record alone. Equal levels are taken as one apart; one point is a picture all the same.
TEST_F(SpectrogramWindow, WhatIsDrawn) {
    open(239, 152, 100);
    std::remove((root.dir() + "/t.res").c_str());
    StringCchCopyW(wfal.view.time_text, VIEW_TIME_CHARS, u"Spectrogram");
    repaint();
    EXPECT_EQ(rows(), expected_rows(0, 0));
    EXPECT_EQ(at(pic.left - 1, pic.top - 1), BLACK);
    EXPECT_EQ(at(pic.right + 20, pic.bottom - 9), palette_colour(0));
    const RECT text = {X + pic.right + 7, Y, X + pic.right + 98, Y + 16};
    EXPECT_NE(ui_picture(text, {{WHITE, '.'}}).find('?'), std::string::npos) << "no time text";
    open(239, 152, 100, VIEW_STILL, 0, 0, 5, 5);
    EXPECT_EQ(wfal.view.white_level, 6);
    const std::vector<int> shown = rows();
    EXPECT_EQ(std::vector<int>(shown.begin() + 4, shown.begin() + 8),
              std::vector<int>({0, 0, PALETTE_SIZE - 1, PALETTE_SIZE - 1}));
    open(239, 152, 100, VIEW_STILL, 0, 0, 0, 223, 1);
    EXPECT_EQ(rows(), expected_rows(0, 100));
}

} // namespace
