// The graph's arithmetic on the cases where a rounding, an off-by-one or a wrong mapping would
// move an item by a pixel and the stored screens show none: their traces lie inside the plot,
// their labels on whole tens of dB (the four level axes are theirs).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "graph/graph_scale.h"

namespace {

GraphCanvas canvas(int right, int bottom, double scale = 1.0) {
    return GraphCanvas{0, 0, right, bottom, 1, 14, 1, scale, 1.0};
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

// Where the view draws it (scale 1 from the origin, y sign 1): the plot area and when it is too
// small; the legend box at scale 2; the empty boxes a text is skipped for.
TEST_F(GraphScale, PlotAreaAndBoxes) {
    const std::tuple<GraphCanvas, const char *, bool> plots[] = {
        {canvas(615, 176), "40,18 457,142", true},
        {canvas(159, 176), "40,18 1,142", false},
        {canvas(615, 36), "40,18 457,2", true}};
    for (const auto &[cv, left_top_width_height, usable] : plots) {
        const GraphPlot p = plot(cv);
        EXPECT_EQ(join({p.left, p.top, p.width, p.height}), left_top_width_height);
        EXPECT_EQ(graph_plot_usable(p), usable) << left_top_width_height;
    }
    r->legend_x[0] = 30;
    EXPECT_EQ(str(graph_legend_box(*r, canvas(1230, 352, 2.0), 0)), "934,0 1032,16");
    EXPECT_TRUE(graph_box_empty(RECT{5, 3, 5, 10}) && graph_box_empty(RECT{5, 10, 8, 3}));
    EXPECT_FALSE(graph_box_empty(RECT{5, 3, 6, 4}));
}

// The value range spans plot_height - 1 rows: level_max on row 18, level_min on row 147.
TEST_F(GraphScale, TracePoints) {
    const std::pair<std::vector<int>, const char *> cases[] = {
        {{-12000, -11000, -32768, -5000}, "40,147 173,137"}, // a gap ends the trace
        {{5000, -20000}, "40,18 439,147"},                   // clamped to the plot
        {{-32768, 0}, ""},                                   // a first gap draws nothing
        {{0}, "40,27"}}; // one value: left edge, a row above its grid line
    // Point j of 401 lies at trunc(j * 399 / 400): the last on the plot's right edge minus one.
    POINT points[GRAPH_TRACE_POINTS];
    ASSERT_EQ(graph_trace_points(*r, PLOT_400, plot(), 0, points), 401);
    EXPECT_EQ(str(points, 3) + " " + str(points + 200, 1) + " " + str(points + 399, 2),
              "40,27 40,27 41,27 239,27 438,27 439,27");
    for (const auto &[levels, expected] : cases) {
        r->last_index[0] = int(levels.size()) - 1;
        std::copy(levels.begin(), levels.end(), r->levels[0]);
        EXPECT_EQ(str(points, graph_trace_points(*r, PLOT_400, plot(), 0, points)), expected);
    }
}

// The window 558 x 164 takes clicks on x 40..440 and y 18..148, both bounds inside; the right
// edge gives last + 1. (The cursor lines are the stored screens'.)
TEST_F(GraphScale, Clicks) {
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
