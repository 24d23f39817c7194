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

std::string str(const RECT &b) {
    return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) +
           "," + std::to_string(b.bottom);
}

std::string str(const POINT *points, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? " " : "") + std::to_string(points[i].x) + "," + std::to_string(points[i].y);
    return text;
}

std::string str(const GraphPlot &p) {
    return str(RECT{p.left, p.top, p.width, p.height});
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
        {canvas(615, 176), "40,18,457,142", true},
        {{10, 20, 615, 176, 1, 14, 1, 2.0, 1.0}, "45,28,144,44", true}, // offset and scale 2
        {canvas(159, 176), "40,18,1,142", false},
        {canvas(615, 36), "40,18,457,2", true}};
    for (const auto &[cv, left_top_width_height, usable] : plots) {
        EXPECT_EQ(str(plot(cv)), left_top_width_height);
        EXPECT_EQ(graph_plot_usable(plot(cv)), usable) << left_top_width_height;
    }
}

// Grid lines and level labels share plot_height, not plot_height - 1. A label starts F / 2
// above its level (T scales both the half and the height); in level-cell mode it is centred on
// the cell while the grid line stays on the cell's boundary.
TEST_F(GraphScale, GridLinesAndLevelLabelBoxes) {
    // name, trace style, level axis, the level, y sign, T; grid y and label box
    const std::tuple<const char *, int, int, int, int, int, double, int, const char *> cases[] = {
        {"level_max on the plot's top row", 1, -12000, 1000, 1000, 1, 1.0, 18, "5,11,40,27"},
        {"level 0 ten units below the top", 1, -12000, 1000, 0, 1, 1.0, 28, "5,21,40,37"},
        {"level_min on the frame's bottom line", 1, -12000, 1000, -12000, 1, 1.0, 148,
         "5,141,40,157"},
        {"half a unit truncated", 1, -12000, 1000, -11950, 1, 1.0, 147, "5,140,40,156"},
        {"negative y sign truncates toward zero", 1, -12000, 1000, -11950, -1, 1.0, -147,
         "5,140,40,156"},
        {"text scale 2", 1, -12000, 1000, 1000, 1, 2.0, 18, "5,4,40,37"},
        {"level cells: ten cells", 17, 0, 9, 5, 1, 1.0, 83, "5,69,40,85"}};
    for (const auto &[name, style, level_min, level_max, level, y_sign, text_scale, grid_y,
                      label_box] : cases) {
        SCOPED_TRACE(name);
        r->trace_style[0] = style, r->y_label_level[0] = level;
        r->level_min = level_min, r->level_max = level_max;
        const GraphCanvas cv = canvas(558, 164, 1.0, y_sign, text_scale);
        EXPECT_EQ(graph_grid_y(*r, cv, plot(cv), 0), grid_y);
        EXPECT_EQ(str(graph_y_label_box(*r, cv, plot(cv), 0)), label_box);
    }
}

// The stored scene shows the boxes at scale 1; here the flip for a negative y sign and a box at
// scale 2.
TEST_F(GraphScale, BoxesFlipAndEmpty) {
    EXPECT_EQ(str(graph_text_flip(graph_unit_text_box(*r, canvas(615, 176)), -1)), "5,0,103,-16");
    EXPECT_EQ(graph_legend_line_y(RECT{467, 3, 565, 20}, -1), -11);
    r->legend_x[0] = 30;
    EXPECT_EQ(str(graph_legend_box(*r, canvas(1230, 352, 2.0), 0)), "934,0,1032,16");
    EXPECT_EQ(
        (std::vector<BOOL>{graph_box_empty(RECT{5, 3, 5, 10}), graph_box_empty(RECT{5, 10, 8, 3}),
                           graph_box_empty(RECT{5, 3, 6, 4})}),
        (std::vector<BOOL>{TRUE, TRUE, FALSE}));
}

// The value range spans plot_height - 1 rows: level_max on row 18, level_min on row 147.
TEST_F(GraphScale, TracePoints) {
    const std::tuple<const char *, int, std::vector<int>, int, const char *> cases[] = {
        {"a gap ends the trace", 1, {-12000, -11000, -32768, -5000}, 1, "40,147 173,137"},
        {"clamped to the top and bottom rows", 1, {5000, -20000}, 1, "40,18 439,147"},
        {"negative y sign", 1, {-12000, -11000}, -1, "40,-147 439,-137"},
        {"a first gap draws nothing", 1, {-32768, 0}, 1, ""},
        {"area to the bottom: corners only after a first gap", 2, {-32768, 0}, 1, "40,147 439,147"},
        {"area to the top", 3, {1000, 1000}, 1, "40,18 40,18 439,18 439,18"},
        {"one value: left edge, a row above its grid line", 1, {0}, 1, "40,27"}};
    // Point j of 401 lies at trunc(j * 399 / 400): the last on the plot's right edge minus one.
    POINT points[GRAPH_TRACE_POINTS];
    ASSERT_EQ(graph_trace_points(*r, PLOT_400, plot(), 0, points), 401);
    EXPECT_EQ(str(points, 3) + " " + str(points + 200, 1) + " " + str(points + 399, 2),
              "40,27 40,27 41,27 239,27 438,27 439,27");
    for (const auto &[name, style, levels, y_sign, expected] : cases) {
        r->last_index[0] = int(levels.size()) - 1, r->trace_style[0] = style;
        std::copy(levels.begin(), levels.end(), r->levels[0]);
        const GraphCanvas cv = canvas(558, 164, 1.0, y_sign);
        POINT points[GRAPH_TRACE_POINTS];
        const int n = graph_trace_points(*r, cv, plot(cv), 0, points);
        EXPECT_EQ(str(points, n), expected) << name;
    }
}

// A cursor at index i lies at (i - first) * width / (last - first + 0.1); a short axis shows the
// 0.1, where the 401 points of a 400-unit plot would not.
TEST_F(GraphScale, CursorLines) {
    const std::tuple<int, int, int, bool, int> cases[] = {
        {0, 400, 0, true, 40},      {0, 400, 200, true, 239}, {0, 400, 400, true, 439},
        {0, 400, -1, false, 0},     {0, 400, 401, false, 0},  {100, 199, 199, true, 439},
        {100, 199, 150, true, 241}, {100, 199, 99, false, 0}};
    for (const auto &[first, last, index, drawn, want_x] : cases) {
        r->first_index[0] = first, r->last_index[0] = last;
        int x = -99;
        EXPECT_EQ(graph_cursor_x(*r, PLOT_400, plot(), index, &x), drawn) << index;
        EXPECT_EQ(x, drawn ? want_x : -99) << index;
    }
}

// Window 558 x 164: the plot spans x 40..440 and y 18..148, both bounds inside.
TEST_F(GraphScale, ClickMapping) {
    const std::tuple<const char *, int, int, int, int, bool, int> cases[] = {
        {"left edge gives the first index", 0, 400, 40, 18, true, 0},
        {"one right of the left edge", 0, 400, 41, 80, true, 1},
        {"middle", 0, 400, 240, 80, true, 200},
        {"right edge gives last + 1", 0, 400, 440, 148, true, 401},
        {"left edge of a later span", 100, 199, 40, 80, true, 100},
        {"left margin", 0, 400, 39, 80, false, 0},
        {"right margin", 0, 400, 441, 80, false, 0},
        {"top margin", 0, 400, 100, 17, false, 0},
        {"bottom margin", 0, 400, 100, 149, false, 0}};
    for (const auto &[name, first, last, x, y, inside, want] : cases) {
        r->first_index[0] = first, r->last_index[0] = last;
        int index = -99;
        EXPECT_EQ(graph_click_index(*r, 558, 164, x, y, &index), inside) << name;
        EXPECT_EQ(index, inside ? want : -99) << name;
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
