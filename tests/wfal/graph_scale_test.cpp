// The graph's arithmetic on the cases where a rounding, an off-by-one or a wrong mapping would
// move an item by a pixel.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "graph/graph_scale.h"

namespace {

GraphCanvas canvas(int right, int bottom, double scale = 1.0, int y_sign = 1, double text = 1.0) {
    return GraphCanvas{0, 0, right, bottom, 1, 14, y_sign, scale, text};
}

// A plot 400 wide and 130 high at (40, 18) with the spectrum view's margins.
const GraphCanvas PLOT_400 = canvas(558, 164);

std::string join(const std::vector<int> &v) {
    std::string text;
    for (size_t i = 0; i < v.size(); ++i)
        text += (i == 0 ? "" : i % 2 ? "," : " ") + std::to_string(v[i]);
    return text;
}
std::string str(const RECT &b) {
    return join({b.left, b.top, b.right, b.bottom});
}
std::string str(const POINT *points, int count) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i)
        v.insert(v.end(), {points[i].x, points[i].y});
    return join(v);
}

// The spectrum view's layout with 401 values spanning the axis.
class GraphScale : public ::testing::Test {
protected:
    std::unique_ptr<GraphRecord> r = std::make_unique<GraphRecord>();

    void SetUp() override {
        r->enabled = r->trace_count = r->trace_style[0] = 1, r->last_index[0] = 400;
        r->level_min = -12000, r->level_max = 1000;
        r->margin_left = 40, r->margin_top = 18, r->margin_right = 118, r->margin_bottom = 16;
        r->corner_text_x = 50, r->x_label_y = 2, r->left_text_x = 5, r->top_text_y = 0;
    }
    GraphPlot plot(const GraphCanvas &c = PLOT_400) const { return graph_plot_area(*r, c); }
};

TEST_F(GraphScale, TruncationAndPlotArea) {
    const std::pair<double, int> truncated[] = {
        {137.9, 137}, {-137.9, -137}, {-0.5, 0}, {3e10, 2147483647}, {-3e10, -2147483647 - 1}};
    for (const auto &[value, expected] : truncated)
        EXPECT_EQ(graph_trunc(value), expected) << value;
    const std::tuple<GraphCanvas, const char *, bool> plots[] = {
        {canvas(615, 176), "40,18 457,142", true},
        {{10, 20, 615, 176, 1, 14, 1, 2.0, 1.0}, "45,28 144,44", true}, // offset and scale 2
        {canvas(159, 176), "40,18 1,142", false},
        {canvas(615, 36), "40,18 457,2", true}};
    for (const auto &[cv, left_top_width_height, usable] : plots) {
        const GraphPlot p = plot(cv);
        EXPECT_EQ(join({p.left, p.top, p.width, p.height}), left_top_width_height);
        EXPECT_EQ(graph_plot_usable(p), usable) << left_top_width_height;
    }
}

// Grid lines and level labels share plot_height, not plot_height - 1. A label starts F / 2
// above its level (T scales both the half and the height); in level-cell mode it is centred on
// the cell while the grid line stays on the cell's boundary.
TEST_F(GraphScale, GridLinesAndLevelLabelBoxes) {
    // trace style, level axis, the level, y sign, T; grid y and label box
    const std::tuple<int, int, int, int, int, double, int, const char *> cases[] = {
        {1, -12000, 1000, 1000, 1, 1.0, 18, "5,11 40,27"}, // level_max on the plot's top row
        {1, -12000, 1000, 0, 1, 1.0, 28, "5,21 40,37"},
        {1, -12000, 1000, -12000, 1, 1.0, 148, "5,141 40,157"}, // on the frame's bottom line
        {1, -12000, 1000, -11950, 1, 1.0, 147, "5,140 40,156"}, // half a unit truncated
        {1, -12000, 1000, -11950, -1, 1.0, -147, "5,140 40,156"},
        {1, -12000, 1000, 1000, 1, 2.0, 18, "5,4 40,37"},
        {17, 0, 9, 5, 1, 1.0, 83, "5,69 40,85"}}; // level cells: ten cells
    for (const auto &[style, level_min, level_max, level, y_sign, text_scale, grid_y, box] :
         cases) {
        SCOPED_TRACE(box);
        r->trace_style[0] = style, r->y_label_level[0] = level;
        r->level_min = level_min, r->level_max = level_max;
        const GraphCanvas cv = canvas(558, 164, 1.0, y_sign, text_scale);
        EXPECT_EQ(graph_grid_y(*r, cv, plot(cv), 0), grid_y);
        EXPECT_EQ(str(graph_y_label_box(*r, cv, plot(cv), 0)), box);
    }
}

// The stored scene shows the boxes at scale 1; here the flip for a negative y sign and a box at
// scale 2.
TEST_F(GraphScale, BoxesFlipAndEmpty) {
    EXPECT_EQ(str(graph_text_flip(graph_unit_text_box(*r, canvas(615, 176)), -1)), "5,0 103,-16");
    EXPECT_EQ(graph_legend_line_y(RECT{467, 3, 565, 20}, -1), -11);
    r->legend_x[0] = 30;
    EXPECT_EQ(str(graph_legend_box(*r, canvas(1230, 352, 2.0), 0)), "934,0 1032,16");
    EXPECT_TRUE(graph_box_empty(RECT{5, 3, 5, 10}) && graph_box_empty(RECT{5, 10, 8, 3}));
    EXPECT_FALSE(graph_box_empty(RECT{5, 3, 6, 4}));
}

// The value range spans plot_height - 1 rows: level_max on row 18, level_min on row 147.
TEST_F(GraphScale, TracePoints) {
    const std::tuple<int, std::vector<int>, int, const char *> cases[] = {
        {1, {-12000, -11000, -32768, -5000}, 1, "40,147 173,137"}, // a gap ends the trace
        {1, {5000, -20000}, 1, "40,18 439,147"},                   // clamped to the plot
        {1, {-12000, -11000}, -1, "40,-147 439,-137"},
        {1, {-32768, 0}, 1, ""},                           // a first gap draws nothing
        {2, {-32768, 0}, 1, "40,147 439,147"},             // area: corners only after a gap
        {3, {1000, 1000}, 1, "40,18 40,18 439,18 439,18"}, // area to the top
        {1, {0}, 1, "40,27"}}; // one value: left edge, a row above its grid line
    // Point j of 401 lies at trunc(j * 399 / 400): the last on the plot's right edge minus one.
    POINT points[GRAPH_TRACE_POINTS];
    ASSERT_EQ(graph_trace_points(*r, PLOT_400, plot(), 0, points), 401);
    EXPECT_EQ(str(points, 3) + " " + str(points + 200, 1) + " " + str(points + 399, 2),
              "40,27 40,27 41,27 239,27 438,27 439,27");
    for (const auto &[style, levels, y_sign, expected] : cases) {
        r->last_index[0] = int(levels.size()) - 1, r->trace_style[0] = style;
        std::copy(levels.begin(), levels.end(), r->levels[0]);
        const GraphCanvas cv = canvas(558, 164, 1.0, y_sign);
        const int n = graph_trace_points(*r, cv, plot(cv), 0, points);
        EXPECT_EQ(str(points, n), expected);
    }
}

// A cursor at index i lies at (i - first) * width / (last - first + 0.1); a short axis shows the
// 0.1, where the 401 points of a 400-unit plot would not. The window 558 x 164 takes clicks on
// x 40..440 and y 18..148, both bounds inside; the right edge gives last + 1.
TEST_F(GraphScale, CursorLinesAndClicks) {
    const std::tuple<int, int, int, int> cursors[] = {
        {0, 400, 0, 40},    {0, 400, 200, 239},   {0, 400, 400, 439},   {0, 400, -1, -99},
        {0, 400, 401, -99}, {100, 199, 199, 439}, {100, 199, 150, 241}, {100, 199, 99, -99}};
    for (const auto &[first, last, index, want_x] : cursors) {
        r->first_index[0] = first, r->last_index[0] = last;
        int x = -99;
        EXPECT_EQ(graph_cursor_x(*r, PLOT_400, plot(), index, &x), want_x != -99) << index;
        EXPECT_EQ(x, want_x) << index;
    }
    const std::tuple<int, int, int, int, int> clicks[] = {
        {0, 400, 40, 18, 0},     {0, 400, 41, 80, 1},     {0, 400, 240, 80, 200},
        {0, 400, 440, 148, 401}, {100, 199, 40, 80, 100}, {0, 400, 39, 80, -99},
        {0, 400, 441, 80, -99},  {0, 400, 100, 17, -99},  {0, 400, 100, 149, -99}};
    for (const auto &[first, last, x, y, want] : clicks) {
        r->first_index[0] = first, r->last_index[0] = last;
        int index = -99;
        EXPECT_EQ(graph_click_index(*r, 558, 164, x, y, &index), want != -99) << x << "," << y;
        EXPECT_EQ(index, want) << x << "," << y;
    }
}

TEST_F(GraphScale, LevelRangeAndLabels) {
    const std::tuple<bool, bool, int, int, std::u16string> cases[] = {
        {false, false, -12000, 1000, u"-120|   0|  10"},
        {true, false, -14000, -1000, u"-140| -20| -10"},
        {false, true, -11000, 2000, u"-110|  10|  20"},
        {true, true, -12000, 1000, u"-120|   0|  10"}};
    int levels[GRAPH_LABELS];
    WCHAR texts[GRAPH_LABELS][GRAPH_TEXT_CHARS];
    for (const auto &[per_hertz, probe, level_min, level_max, first_twelfth_last] : cases) {
        int low = 0, high = 0;
        graph_level_range(per_hertz, probe, &low, &high);
        EXPECT_EQ((std::vector<int>{low, high}), (std::vector<int>{level_min, level_max}));
        ASSERT_EQ(graph_level_labels(low, high, levels, texts), 14);
        EXPECT_EQ(levels[13], high);
        EXPECT_EQ(std::u16string(texts[0]) + u"|" + texts[12] + u"|" + texts[13],
                  first_twelfth_last);
    }
    EXPECT_EQ(graph_level_labels(-12000, -50, levels, texts), 12) << "not above level_max";
    EXPECT_EQ(graph_level_labels(-30000, 30000, levels, texts), GRAPH_LABELS);
    EXPECT_EQ(graph_level_labels(-12050, -12000, levels, texts), 1);
    EXPECT_EQ(std::u16string(texts[0]), u"-120.5");
}

TEST_F(GraphScale, FrequencyTexts) {
    const std::tuple<double, double, const char16_t *> cases[] = {
        {199998000.0, 2000.0, u"99999.000"}, {200000000.0, 2000000.0, u"100.000"},
        {199998000.0, 2000000.0, u"99.999"}, {0.0, 2000.0, u" 0.000"},
        {3001.0, 2000.0, u" 1.500"},         {4294967294.0, 2000.0, u"2147483.647"}};
    for (const auto &[half_hertz, divisor, expected] : cases) {
        WCHAR text[GRAPH_TEXT_CHARS];
        graph_frequency_text(half_hertz, divisor, text);
        EXPECT_EQ(std::u16string(text), expected) << half_hertz;
    }
}

} // namespace
