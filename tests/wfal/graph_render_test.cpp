// render_graph on sentinel-filled bitmaps: whole pictures of the frame, grid, trace and cursor
// lines of a small plot, the gap that ends a trace, which styles get a grid, texts kept inside
// their boxes, and the drawing objects put back and deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <strsafe.h>
#include <wlgdi.h>

#include "graph/graph_render.h"
#include "module/state.h"
#include "support/test_bitmap.h"

namespace {

constexpr COLORREF SENTINEL = RGB(1, 2, 3);
constexpr COLORREF GRID = RGB(0, 200, 0);
constexpr COLORREF TRACE = RGB(0, 0, 255);
constexpr COLORREF CURSOR1 = RGB(255, 0, 0);
constexpr COLORREF CURSOR2 = RGB(255, 0, 255);
const std::vector<std::pair<COLORREF, char>> LEGEND = {
    {RGB(0, 0, 0), 'F'}, {GRID, 'g'}, {TRACE, 't'}, {CURSOR1, 'c'}, {CURSOR2, 'x'}};

// A 30 x 24 rectangle with margins 5, 4, 5, 4: the plot is 20 x 16 at (5, 4) and values
// 0 .. 100 span its rows 19 .. 4.
constexpr int W = 30, H = 24;

GraphRecord &small_graph(int points) {
    GraphRecord &r = wfal.graph[0];
    r = GraphRecord{};
    r.enabled = r.trace_count = 1;
    r.trace_style[0] = 1;
    r.last_index[0] = points - 1;
    r.trace_colour[0] = TRACE;
    r.level_min = 0, r.level_max = 100;
    r.margin_left = 5, r.margin_top = 4, r.margin_right = 5, r.margin_bottom = 4;
    r.grid_colour = GRID;
    r.cursor1_colour = CURSOR1, r.cursor2_colour = CURSOR2;
    for (int i = 0; i < points; ++i)
        r.levels[0][i] = GRAPH_NO_VALUE;
    return r;
}

std::string render(int w = W, int h = H) {
    TestBitmap bitmap(w, h, SENTINEL);
    render_graph(0, 0, 0, w, h, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    return bitmap.picture(LEGEND);
}

// The frame just outside the plot: x 4 .. 25, y 3 .. 20.
std::vector<std::string> framed() {
    std::vector<std::string> rows(H, std::string(W, '.'));
    for (int x = 4; x <= 25; ++x)
        rows[3][x] = rows[20][x] = 'F';
    for (int y = 3; y <= 20; ++y)
        rows[y][4] = rows[y][25] = 'F';
    return rows;
}

void hline(std::vector<std::string> &rows, int y, int x0, int x1, char ch) {
    for (int x = x0; x <= x1; ++x)
        rows[y][x] = ch;
}

// Each test leaves no DC, object or font cache behind.
class GraphRender : public ::testing::Test {
protected:
    void TearDown() override { wl_gdi_shutdown(); }
};

TEST_F(GraphRender, DisabledDrawsNothing) {
    GraphRecord &r = small_graph(2);
    r.levels[0][0] = r.levels[0][1] = 50;
    StringCchCopyW(r.unit_text, GRAPH_TEXT_CHARS, u"dBm");
    r.enabled = 0;
    EXPECT_EQ(render(), picture_rows(std::vector<std::string>(H, std::string(W, '.'))));
}

// Grid lines use plot_height: level 0 falls on the frame's bottom line, 100 on the top row; each
// line stops one short of the plot's last column, as a line leaves out its end point.
TEST_F(GraphRender, GridLinesAndFrame) {
    GraphRecord &r = small_graph(2);
    const int levels[] = {0, 25, 50, 75, 100};
    r.y_label_count = 5;
    for (int k = 0; k < 5; ++k)
        r.y_label_level[k] = levels[k];
    std::vector<std::string> rows = framed();
    for (int y : {16, 12, 8, 4})
        hline(rows, y, 5, 23, 'g');
    EXPECT_EQ(render(), picture_rows(rows));
}

TEST_F(GraphRender, GapEndsTheTrace) {
    GraphRecord &r = small_graph(4);
    const int values[] = {0, 100, GRAPH_NO_VALUE, 50};
    for (int i = 0; i < 4; ++i)
        r.levels[0][i] = values[i];
    TestBitmap bitmap(W, H, SENTINEL);
    render_graph(0, 0, 0, W, H, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    // From (5, 19) up to (11, 4), that end left out: one pixel on each of rows 19 .. 5.
    EXPECT_EQ(bitmap.at(5, 19), TRACE);
    for (int y = 0; y < H; ++y) {
        int on_row = 0;
        for (int x = 0; x < W; ++x) {
            if (bitmap.at(x, y) != TRACE) continue;
            ++on_row;
            EXPECT_LE(x, 11) << "drawn after the gap at " << x << "," << y;
        }
        EXPECT_EQ(on_row, (y >= 5 && y <= 19) ? 1 : 0) << "row " << y;
    }
}

// 21 values of 0 along the bottom row; the marker at the last index lies at 5 + trunc(400 / 20.1).
TEST_F(GraphRender, CursorLines) {
    struct Case {
        const char *name;
        int cursor1, cursor2;
        int column;
        char ch;
    } cases[] = {
        {"cursor 1 at the last point covers cursor 2", 20, 20, 24, 'c'},
        {"cursor 1 beyond the last index is not drawn", 21, 0, 5, 'x'},
        {"cursor 1 before the first index is not drawn", -1, 10, 14, 'x'},
    };
    for (const Case &c : cases) {
        GraphRecord &r = small_graph(21);
        for (int i = 0; i < 21; ++i)
            r.levels[0][i] = 0;
        r.cursor1_on = r.cursor2_on = 1;
        r.cursor1_index = c.cursor1, r.cursor2_index = c.cursor2;
        std::vector<std::string> rows = framed();
        hline(rows, 19, 5, 23, 't');
        for (int y = 4; y <= 18; ++y)
            rows[y][c.column] = c.ch;
        EXPECT_EQ(render(), picture_rows(rows)) << c.name;
    }
}

// Only a style other than 0, 2 and 3 brings the grid; only 1, 2 and 3 are drawn.
TEST_F(GraphRender, StylesAndGrid) {
    struct Case {
        int style;
        bool grid, trace;
    } cases[] = {
        {0, false, false}, {1, true, true}, {2, false, true}, {3, false, true}, {7, true, false}};
    for (const Case &c : cases) {
        GraphRecord &r = small_graph(3);
        r.trace_style[0] = c.style;
        r.levels[0][0] = r.levels[0][1] = r.levels[0][2] = 50;
        r.y_label_count = 1;
        r.y_label_level[0] = 25; // row 16, clear of the trace at row 12
        const std::string picture = render();
        EXPECT_EQ(picture.find('g') != std::string::npos, c.grid) << c.style;
        EXPECT_EQ(picture.find('t') != std::string::npos, c.trace) << c.style;
    }
}

bool inside(const RECT &b, int x, int y) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

// With a plot too small for anything else, the side, corner and unit texts remain, each inside
// its box; the side text wraps onto a second line.
TEST_F(GraphRender, TextsStayInTheirBoxes) {
    GraphRecord &r = small_graph(2);
    r.margin_left = 40, r.margin_top = 18, r.margin_right = 118, r.margin_bottom = 16;
    r.corner_text_x = 50, r.x_label_y = 2, r.left_text_x = 5;
    StringCchCopyW(r.side_text, GRAPH_SIDE_CHARS, u"Marker 1.000 kHz -50.00 dBm");
    StringCchCopyW(r.corner_text, GRAPH_TEXT_CHARS, u"Ref");
    StringCchCopyW(r.unit_text, GRAPH_TEXT_CHARS, u"dBm");
    const RECT boxes[] = {{48, 18, 158, 44}, {91, 46, 158, 59}, {5, 0, 103, 16}};
    TestBitmap bitmap(159, 60, SENTINEL);
    render_graph(0, 0, 0, 159, 60, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    int drawn[3] = {0, 0, 0};
    bool second_line = false;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 159; ++x) {
            if (bitmap.at(x, y) == SENTINEL) continue;
            int k = 0;
            while (k < 3 && !inside(boxes[k], x, y))
                ++k;
            ASSERT_LT(k, 3) << "stray pixel at " << x << "," << y;
            ++drawn[k];
            second_line |= k == 0 && y >= 18 + 14;
        }
    EXPECT_GT(drawn[0], 0);
    EXPECT_GT(drawn[1], 0);
    EXPECT_GT(drawn[2], 0);
    EXPECT_TRUE(second_line);
}

// The label box ends at the plot's left edge: a long label is cut there.
TEST_F(GraphRender, LevelLabelClippedAtThePlot) {
    GraphRecord &r = small_graph(2);
    r.trace_count = 0;
    r.margin_left = 40, r.margin_top = 10, r.margin_right = 10, r.margin_bottom = 10;
    r.left_text_x = 5;
    r.y_label_count = 1;
    r.y_label_level[0] = 50; // box rows 23 .. 38
    StringCchCopyW(r.y_label_text[0], GRAPH_TEXT_CHARS, u"-1234567890123");
    TestBitmap bitmap(120, 60, SENTINEL);
    render_graph(0, 0, 0, 120, 60, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    int text = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool frame = (x == 39 || x == 110) && y >= 9 && y <= 50;
            if (bitmap.at(x, y) == SENTINEL || frame) continue;
            const bool in_box = x >= 5 && x < 40 && y >= 23 && y < 39;
            EXPECT_TRUE(in_box || y == 9 || y == 50) << x << "," << y;
            text += in_box;
        }
    EXPECT_GT(text, 0);
}

// Everything selected is put back and everything made is deleted, with every item in play.
TEST_F(GraphRender, LeavesTheDcAsItFoundIt) {
    GraphRecord &r = small_graph(21);
    for (int i = 0; i < 21; ++i)
        r.levels[0][i] = i * 5;
    r.cursor1_on = r.cursor2_on = 1;
    r.legend_x[0] = 1;
    r.y_label_count = r.x_label_count = 1;
    StringCchCopyW(r.legend_text[0], GRAPH_TEXT_CHARS, u"A");
    StringCchCopyW(r.y_label_text[0], GRAPH_TEXT_CHARS, u"0");
    StringCchCopyW(r.x_label_text[0], GRAPH_TEXT_CHARS, u"1");
    StringCchCopyW(r.side_text, GRAPH_SIDE_CHARS, u"side");
    TestBitmap bitmap(W, H, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HGDIOBJ old_pen = SelectObject(bitmap.dc, pen);
    HGDIOBJ old_brush = SelectObject(bitmap.dc, brush);
    const int objects = wl_gdi_object_count();
    render_graph(0, 0, 0, W, H, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    render_graph(0, 0, 0, W, H, 1, 14, 1, 1.0, 1.0, nullptr);
    EXPECT_EQ(wl_gdi_object_count(), objects);
    EXPECT_EQ(SelectObject(bitmap.dc, old_pen), pen);
    EXPECT_EQ(SelectObject(bitmap.dc, old_brush), brush);
    DeleteObject(pen);
    DeleteObject(brush);
}

} // namespace
