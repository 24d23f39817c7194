// The "graph" window: its paint shows exactly what render_graph draws on white, a blank record
// shows white only, and clicks map to data indexes at the plot's edges and not in its margins.
#include <gtest/gtest.h>

#include <strsafe.h>

#include <vector>

#include "graph/graph_render.h"
#include "graph/graph_window.h"
#include "support/module_ui.h"
#include "support/test_bitmap.h"

namespace {

constexpr int X = 50, Y = 40, W = 300, H = 200; // the window in the parent = screen
constexpr COLORREF WHITE = RGB(255, 255, 255);

std::vector<std::pair<int, int>> clicks;
void record_click(int graph, int index) {
    clicks.push_back({graph, index});
}

class GraphWindow : public ModuleUiTest {
protected:
    HWND graph = nullptr;

    void SetUp() override {
        ModuleUiTest::SetUp();
        wfal.graph[0] = GraphRecord{};
        clicks.clear();
        graph = CreateWindowExW(0, GRAPH_CLASS, u"", WS_CHILD | WS_VISIBLE, X, Y, W, H, parent,
                                (HMENU)202, wfal.instance, nullptr);
    }
    void TearDown() override {
        DestroyWindow(graph);
        ModuleUiTest::TearDown();
    }

    // The spectrum view's layout: plot 142 x 166 at (40, 18); 101 points, a sloped line.
    void fill_spectrum() {
        GraphRecord &r = wfal.graph[0];
        r.enabled = r.trace_count = 1;
        r.trace_style[0] = 1;
        r.last_index[0] = 100;
        r.level_min = -12000, r.level_max = 1000;
        r.margin_left = 40, r.margin_top = 18, r.margin_right = 118, r.margin_bottom = 16;
        r.left_text_x = 5, r.x_label_y = 2;
        for (int i = 0; i <= 100; ++i)
            r.levels[0][i] = -12000 + i * 130;
        r.y_label_count = 1;
        r.y_label_level[0] = -6000;
        r.grid_colour = RGB(192, 192, 192);
        r.cursor1_on = 1, r.cursor1_index = 50, r.cursor1_colour = RGB(192, 128, 128);
        StringCchCopyW(r.y_label_text[0], GRAPH_TEXT_CHARS, u" -60");
        StringCchCopyW(r.side_text, GRAPH_SIDE_CHARS, u"Marker 50");
        r.on_click = record_click;
    }

    void repaint() {
        InvalidateRect(graph, nullptr, TRUE);
        pump_pending();
    }
};

TEST_F(GraphWindow, BlankRecordShowsWhite) {
    repaint();
    EXPECT_EQ(ui_picture(RECT{X, Y, X + W, Y + H}, {{WHITE, 'w'}}),
              picture_rows(std::vector<std::string>(H, std::string(W, 'w'))));
}

// The window renders with pen width 1, font height 14 and scale 1 over its whole client area.
TEST_F(GraphWindow, ShowsTheRenderedGraph) {
    fill_spectrum();
    repaint();
    TestBitmap expected(W, H, WHITE);
    render_graph(0, 0, 0, W, H, 1, 14, 1, 1.0, 1.0, expected.dc);
    const uint32_t *screen = wl_screen_pixels(); // 0x00RRGGBB, as TestBitmap's pixels
    int differing = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            differing += screen[(Y + y) * WL_SCREEN_WIDTH + X + x] != expected.pixels[y * W + x];
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(ui_pixel(X + 39, Y + 17), RGB(0, 0, 0)) << "frame corner";
    EXPECT_EQ(ui_pixel(X + 40 + 70, Y + 30), RGB(192, 128, 128)) << "marker at index 50";
}

// Plot 142 wide from x 40 to 182 and 166 high from y 18 to 184, both bounds inside.
TEST_F(GraphWindow, ClickMapsToDataIndex) {
    struct Case {
        const char *name;
        int x, y;
        int index; // -1: no call
    } cases[] = {
        {"left edge", 40, 100, 0},    {"right edge gives last + 1", 182, 100, 101},
        {"middle", 111, 18, 50},      {"bottom edge", 100, 184, 42},
        {"left margin", 39, 100, -1}, {"right margin", 183, 100, -1},
        {"top margin", 100, 17, -1},  {"bottom margin", 100, 185, -1},
    };
    fill_spectrum();
    for (const Case &c : cases) {
        clicks.clear();
        SendMessageW(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        if (c.index < 0) {
            EXPECT_TRUE(clicks.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(clicks.size(), 1u) << c.name;
        EXPECT_EQ(clicks[0].first, 0) << c.name;
        EXPECT_EQ(clicks[0].second, c.index) << c.name;
    }
}

TEST_F(GraphWindow, ClickWithoutHandlerIsConsumed) {
    fill_spectrum();
    wfal.graph[0].on_click = nullptr;
    EXPECT_EQ(SendMessageW(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100)), 0);
    EXPECT_TRUE(clicks.empty());
}

} // namespace
