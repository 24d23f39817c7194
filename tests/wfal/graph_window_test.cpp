// The "graph" window's clicks: the window's size and the touched point reach the index mapping,
// whose result goes to the record's handler. Its paint is checked by the viewer's stored screens.
#include <gtest/gtest.h>

#include <vector>

#include "graph/graph_window.h"
#include "support/module_ui.h"

namespace {

std::vector<std::pair<int, int>> clicks;
void record_click(int graph, int index) {
    clicks.push_back({graph, index});
}

using GraphWindow = ModuleUiTest;

// The spectrum view's layout in a 300 x 200 window: the plot is 142 wide from x 40 to 182;
// 101 points.
TEST_F(GraphWindow, ClickMapsToDataIndex) {
    const struct {
        const char *name;
        int x, y;
        std::vector<std::pair<int, int>> clicks;
        bool handler = true;
    } cases[] = {
        {"inside", 111, 18, {{0, 50}}},
        {"in the margin", 183, 100, {}},
        {"no handler", 100, 100, {}, false},
    };
    HWND graph = CreateWindowExW(0, GRAPH_CLASS, u"", WS_CHILD | WS_VISIBLE, 50, 40, 300, 200,
                                 parent, (HMENU)202, wfal.instance, nullptr);
    GraphRecord &r = wfal.graph[0] = GraphRecord{};
    r.enabled = r.trace_count = 1, r.last_index[0] = 100;
    r.margin_left = 40, r.margin_top = 18, r.margin_right = 118, r.margin_bottom = 16;
    for (const auto &c : cases) {
        clicks.clear();
        r.on_click = c.handler ? record_click : nullptr;
        EXPECT_EQ(SendMessageW(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y)), 0);
        EXPECT_EQ(clicks, c.clicks) << c.name;
    }
    DestroyWindow(graph);
}

} // namespace
