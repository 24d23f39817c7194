// The graph's arithmetic on the cases where a rounding, an off-by-one or a wrong mapping would
// move an item by a pixel: the plot area, grid lines, label and text boxes, trace points with
// gaps and clamping, cursor lines, the click mapping, and the spectrum view's axis contents.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graph/graph_scale.h"

namespace {

// The spectrum view's layout with `points` values spanning the axis.
std::unique_ptr<GraphRecord> spectrum_record(int points) {
    auto r = std::make_unique<GraphRecord>();
    *r = GraphRecord{};
    r->enabled = r->trace_count = 1;
    r->trace_style[0] = 1;
    r->last_index[0] = points - 1;
    r->level_min = -12000;
    r->level_max = 1000;
    r->margin_left = 40, r->margin_top = 18, r->margin_right = 118, r->margin_bottom = 16;
    r->corner_text_x = 50, r->x_label_y = 2, r->left_text_x = 5, r->top_text_y = 0;
    return r;
}

GraphCanvas canvas(int right, int bottom, double scale = 1.0, int y_sign = 1, double text = 1.0) {
    return GraphCanvas{0, 0, right, bottom, 1, 14, y_sign, scale, text};
}

// A plot 400 wide and 130 high at (40, 18) with the spectrum view's margins.
const GraphCanvas PLOT_400 = canvas(558, 164);

std::string str(const RECT &b) {
    return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) +
           "," + std::to_string(b.bottom);
}

std::u16string text16(const WCHAR *t) {
    return std::u16string(t);
}

TEST(GraphScale, TruncatesTowardZero) {
    struct Case {
        double value;
        int expected;
    } cases[] = {
        {137.9, 137}, {-137.9, -137}, {-0.5, 0}, {3e10, 2147483647}, {-3e10, -2147483647 - 1}};
    for (const Case &c : cases)
        EXPECT_EQ(graph_trunc(c.value), c.expected) << c.value;
}

TEST(GraphScale, PlotArea) {
    struct Case {
        const char *name;
        GraphCanvas c;
        GraphPlot expected;
        bool usable;
    } cases[] = {
        {"window 615 x 176", canvas(615, 176), {40, 18, 457, 142}, true},
        {"offset and scale 2", {10, 20, 615, 176, 1, 14, 1, 2.0, 1.0}, {45, 28, 144, 44}, true},
        {"one unit wide", canvas(159, 176), {40, 18, 1, 142}, false},
        {"two units high", canvas(615, 36), {40, 18, 457, 2}, true},
    };
    auto r = spectrum_record(401);
    for (const Case &c : cases) {
        GraphPlot p = graph_plot_area(*r, c.c);
        EXPECT_EQ(p.left, c.expected.left) << c.name;
        EXPECT_EQ(p.top, c.expected.top) << c.name;
        EXPECT_EQ(p.width, c.expected.width) << c.name;
        EXPECT_EQ(p.height, c.expected.height) << c.name;
        EXPECT_EQ(graph_plot_usable(p), c.usable) << c.name;
    }
}

// Grid lines share plot_height with the labels, not plot_height - 1.
TEST(GraphScale, GridLines) {
    struct Case {
        const char *name;
        int style, level_min, level_max, level;
        int y_sign;
        int expected;
    } cases[] = {
        {"level 0 ten units below the top", 1, -12000, 1000, 0, 1, 28},
        {"level_min on the frame's bottom line", 1, -12000, 1000, -12000, 1, 148},
        {"level_max on the plot's top row", 1, -12000, 1000, 1000, 1, 18},
        {"half a unit truncated", 1, -12000, 1000, -11950, 1, 147},
        {"negative y sign truncates toward zero", 1, -12000, 1000, -11950, -1, -147},
        {"level cells: boundaries of ten cells", 17, 0, 9, 5, 1, 83},
    };
    auto r = spectrum_record(401);
    for (const Case &c : cases) {
        r->trace_style[0] = c.style;
        r->level_min = c.level_min, r->level_max = c.level_max;
        r->y_label_level[0] = c.level;
        GraphCanvas cv = PLOT_400;
        cv.y_sign = c.y_sign;
        EXPECT_EQ(graph_grid_y(*r, cv, graph_plot_area(*r, cv), 0), c.expected) << c.name;
    }
}

TEST(GraphScale, LevelLabelBoxes) {
    struct Case {
        const char *name;
        int style, level_min, level_max, level;
        double text_scale;
        const char *box;
    } cases[] = {
        {"top label starts F / 2 above the plot", 1, -12000, 1000, 1000, 1.0, "5,11,40,27"},
        {"bottom label", 1, -12000, 1000, -12000, 1.0, "5,141,40,157"},
        {"text scale widens the half and the height", 1, -12000, 1000, 1000, 2.0, "5,4,40,37"},
        {"level cells: centred on the cell", 17, 0, 9, 5, 1.0, "5,69,40,85"},
    };
    auto r = spectrum_record(401);
    for (const Case &c : cases) {
        r->trace_style[0] = c.style;
        r->level_min = c.level_min, r->level_max = c.level_max;
        r->y_label_level[0] = c.level;
        GraphCanvas cv = PLOT_400;
        cv.text_scale = c.text_scale;
        EXPECT_EQ(str(graph_y_label_box(*r, cv, graph_plot_area(*r, cv), 0)), c.box) << c.name;
    }
}

TEST(GraphScale, TextBoxes) {
    auto r = spectrum_record(401);
    r->legend_x[0] = 30;
    const GraphCanvas window = canvas(615, 176);
    const GraphPlot plot = graph_plot_area(*r, window);
    struct Case {
        const char *name;
        RECT box;
        const char *expected;
    } cases[] = {
        {"side text: 111 to 1 units left of the right edge", graph_side_text_box(*r, window),
         "504,18,614,160"},
        {"corner text shares the label row", graph_corner_text_box(*r, window), "547,162,614,175"},
        {"unit text", graph_unit_text_box(*r, window), "5,0,103,16"},
        {"legend", graph_legend_box(*r, window, 0), "467,0,565,16"},
        {"first frequency label on the left edge",
         (r->x_label_index[0] = 0, graph_x_label_box(*r, window, plot, 0)), "40,162,138,178"},
        {"middle label at its index, not centred",
         (r->x_label_index[1] = 200, graph_x_label_box(*r, window, plot, 1)), "267,162,365,178"},
        {"stop label runs into the right margin",
         (r->x_label_index[2] = 400, graph_x_label_box(*r, window, plot, 2)), "495,162,593,178"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(c.box), c.expected) << c.name;
    EXPECT_EQ(str(graph_text_flip(graph_unit_text_box(*r, window), -1)), "5,0,103,-16");
    EXPECT_TRUE(graph_box_empty(RECT{5, 3, 5, 10}));
    EXPECT_TRUE(graph_box_empty(RECT{5, 10, 8, 3}));
    EXPECT_FALSE(graph_box_empty(RECT{5, 3, 6, 4}));
    EXPECT_EQ(graph_legend_line_y(RECT{467, 3, 565, 20}, 1), 11);
    EXPECT_EQ(graph_legend_line_y(RECT{467, 3, 565, 20}, -1), -11);
}

struct TraceCase {
    const char *name;
    int style;
    std::vector<int> levels;
    int y_sign;
    std::vector<POINT> expected;
};

// The value range spans plot_height - 1 rows: level_max on row 18, level_min on row 147.
const TraceCase TRACE_CASES[] = {
    {"a gap ends the trace", 1, {-12000, -11000, -32768, -5000}, 1, {{40, 147}, {173, 137}}},
    {"clamped to the top and bottom rows", 1, {5000, -20000}, 1, {{40, 18}, {439, 147}}},
    {"negative y sign", 1, {-12000, -11000}, -1, {{40, -147}, {439, -137}}},
    {"a first gap draws nothing", 1, {-32768, 0}, 1, {}},
    {"area to the bottom: corners only after a first gap",
     2,
     {-32768, 0},
     1,
     {{40, 147}, {439, 147}}},
    {"area to the top", 3, {1000, 1000}, 1, {{40, 18}, {40, 18}, {439, 18}, {439, 18}}},
    {"one value: left edge, a row above its grid line", 1, {0}, 1, {{40, 27}}},
};

TEST(GraphScale, TracePoints) {
    for (const TraceCase &c : TRACE_CASES) {
        auto r = spectrum_record(int(c.levels.size()));
        r->trace_style[0] = c.style;
        for (size_t i = 0; i < c.levels.size(); ++i)
            r->levels[0][i] = c.levels[i];
        GraphCanvas cv = PLOT_400;
        cv.y_sign = c.y_sign;
        POINT points[GRAPH_TRACE_POINTS];
        int n = graph_trace_points(*r, cv, graph_plot_area(*r, cv), 0, points);
        ASSERT_EQ(n, int(c.expected.size())) << c.name;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(points[i].x, c.expected[i].x) << c.name << " point " << i;
            EXPECT_EQ(points[i].y, c.expected[i].y) << c.name << " point " << i;
        }
    }
}

// Point j of 401 lies at trunc(j * 399 / 400): the last on the plot's right edge minus one.
TEST(GraphScale, TraceColumnsOf401Points) {
    auto r = spectrum_record(401);
    const GraphPlot plot = graph_plot_area(*r, PLOT_400);
    POINT points[GRAPH_TRACE_POINTS];
    ASSERT_EQ(graph_trace_points(*r, PLOT_400, plot, 0, points), 401);
    struct Case {
        int j, x;
    } cases[] = {{0, 40}, {1, 40}, {2, 41}, {200, 239}, {399, 438}, {400, 439}};
    for (const Case &c : cases)
        EXPECT_EQ(points[c.j].x, c.x) << c.j;
}

TEST(GraphScale, CursorLines) {
    auto r = spectrum_record(401);
    const GraphPlot plot = graph_plot_area(*r, PLOT_400);
    struct Case {
        int index;
        bool drawn;
        int x;
    } cases[] = {
        {0, true, 40}, {200, true, 239}, {400, true, 439}, {-1, false, 0}, {401, false, 0}};
    for (const Case &c : cases) {
        int x = -99;
        EXPECT_EQ(graph_cursor_x(*r, PLOT_400, plot, c.index, &x), c.drawn) << c.index;
        if (c.drawn) {
            EXPECT_EQ(x, c.x) << c.index;
        }
    }
    EXPECT_EQ(graph_cursor_top(PLOT_400, plot), 18);
    EXPECT_EQ(graph_cursor_bottom(PLOT_400, plot), 147);
    POINT frame[5];
    graph_frame_points(PLOT_400, plot, frame);
    const POINT expected[5] = {{39, 17}, {440, 17}, {440, 148}, {39, 148}, {39, 17}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(frame[i].x, expected[i].x) << i;
        EXPECT_EQ(frame[i].y, expected[i].y) << i;
    }
}

// Window 558 x 164: the plot spans x 40..440 and y 18..148, both bounds inside.
TEST(GraphScale, ClickMapping) {
    struct Case {
        const char *name;
        int x, y;
        bool inside;
        int index;
    } cases[] = {
        {"left edge gives the first index", 40, 18, true, 0},
        {"one right of the left edge", 41, 80, true, 1},
        {"middle", 240, 80, true, 200},
        {"right edge gives last + 1", 440, 148, true, 401},
        {"left margin", 39, 80, false, 0},
        {"right margin", 441, 80, false, 0},
        {"top margin", 100, 17, false, 0},
        {"bottom margin", 100, 149, false, 0},
    };
    auto r = spectrum_record(401);
    for (const Case &c : cases) {
        int index = -99;
        EXPECT_EQ(graph_click_index(*r, 558, 164, c.x, c.y, &index), c.inside) << c.name;
        if (c.inside) {
            EXPECT_EQ(index, c.index) << c.name;
        }
    }
    r->first_index[0] = 100, r->last_index[0] = 199;
    int index = -99;
    EXPECT_TRUE(graph_click_index(*r, 558, 164, 40, 80, &index));
    EXPECT_EQ(index, 100);
}

TEST(GraphScale, LevelRangeAndLabels) {
    struct Case {
        bool per_hertz, probe;
        int level_min, level_max;
        const char16_t *first, *twelfth, *last;
    } cases[] = {
        {false, false, -12000, 1000, u"-120", u"   0", u"  10"},
        {true, false, -14000, -1000, u"-140", u" -20", u" -10"},
        {false, true, -11000, 2000, u"-110", u"  10", u"  20"},
        {true, true, -12000, 1000, u"-120", u"   0", u"  10"},
    };
    for (const Case &c : cases) {
        int low = 0, high = 0;
        graph_level_range(c.per_hertz, c.probe, &low, &high);
        EXPECT_EQ(low, c.level_min);
        EXPECT_EQ(high, c.level_max);
        int levels[GRAPH_LABELS];
        WCHAR texts[GRAPH_LABELS][GRAPH_TEXT_CHARS];
        ASSERT_EQ(graph_level_labels(low, high, levels, texts), 14);
        EXPECT_EQ(levels[13], high);
        EXPECT_EQ(text16(texts[0]), c.first);
        EXPECT_EQ(text16(texts[13]), c.last);
        EXPECT_EQ(text16(texts[12]), c.twelfth);
    }
    int levels[GRAPH_LABELS];
    WCHAR texts[GRAPH_LABELS][GRAPH_TEXT_CHARS];
    EXPECT_EQ(graph_level_labels(-12000, -50, levels, texts), 12) << "not above level_max";
    EXPECT_EQ(graph_level_labels(-30000, 30000, levels, texts), GRAPH_LABELS);
    EXPECT_EQ(graph_level_labels(-12050, -12000, levels, texts), 1);
    EXPECT_EQ(text16(texts[0]), u"-120.5");
}

TEST(GraphScale, FrequencyTexts) {
    struct Case {
        double half_hertz, divisor;
        const char16_t *text;
    } cases[] = {
        {199998000.0, 2000.0, u"99999.000"}, {200000000.0, 2000000.0, u"100.000"},
        {199998000.0, 2000000.0, u"99.999"}, {0.0, 2000.0, u" 0.000"},
        {3001.0, 2000.0, u" 1.500"},         {4294967294.0, 2000.0, u"2147483.647"},
    };
    for (const Case &c : cases) {
        WCHAR text[GRAPH_TEXT_CHARS];
        graph_frequency_text(c.half_hertz, c.divisor, text);
        EXPECT_EQ(text16(text), c.text) << c.half_hertz;
    }
}

} // namespace
