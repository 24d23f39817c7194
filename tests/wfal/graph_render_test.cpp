// render_graph: one scene with every item in play against its stored image, the DC left as it
// was found, and nothing drawn for a disabled graph.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>
#include <strsafe.h>
#include <wlgdi.h>

#include "graph/graph_render.h"
#include "module/state.h"
#include "support/golden.h"
#include "support/test_bitmap.h"

namespace {

constexpr COLORREF SENTINEL = RGB(1, 2, 3);

// A gap ends the trace; the cursors lie over it, one beyond the gap; a long level label
// is cut at the plot; the side text wraps; a text of one character is drawn.
TEST(GraphRender, SceneWithEveryItem) {
    GraphRecord &r = wfal.graph[0] = GraphRecord{};
    r.enabled = r.trace_count = r.trace_style[0] = 1, r.last_index[0] = 40;
    r.trace_colour[0] = RGB(0, 0, 255), r.grid_colour = RGB(0, 200, 0);
    r.cursor1_colour = RGB(255, 0, 0), r.cursor2_colour = RGB(255, 0, 255);
    r.level_min = -12000, r.level_max = 1000;
    r.margin_left = 40, r.margin_top = 18, r.margin_right = 118, r.margin_bottom = 16;
    r.corner_text_x = 50, r.x_label_y = 2, r.left_text_x = 5;
    for (int i = 0; i < 41; ++i)
        r.levels[0][i] = i == 30 ? GRAPH_NO_VALUE : -11000 + (i % 10) * 1100;
    r.cursor1_on = r.cursor2_on = 1, r.cursor1_index = 10, r.cursor2_index = 35;
    r.legend_x[0] = 150, r.y_label_count = r.x_label_count = 3;
    const int levels[] = {1000, -4000, -12000}, indices[] = {0, 20, 40};
    const WCHAR *y_texts[] = {u"  10", u"-1234567890123", u"-120"};
    const WCHAR *x_texts[] = {u"0.000", u"10.000", u"20.000"};
    for (int k = 0; k < 3; ++k) {
        r.y_label_level[k] = levels[k], r.x_label_index[k] = indices[k];
        StringCchCopyW(r.y_label_text[k], GRAPH_TEXT_CHARS, y_texts[k]);
        StringCchCopyW(r.x_label_text[k], GRAPH_TEXT_CHARS, x_texts[k]);
    }
    StringCchCopyW(r.legend_text[0], GRAPH_TEXT_CHARS, u"Trace");
    StringCchCopyW(r.side_text, GRAPH_SIDE_CHARS, u"Marker 1.000 kHz -50.00 dBm");
    StringCchCopyW(r.corner_text, GRAPH_TEXT_CHARS, u"R");
    StringCchCopyW(r.unit_text, GRAPH_TEXT_CHARS, u"dBm");
    TestBitmap bitmap(300, 130, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HGDIOBJ old_pen = SelectObject(bitmap.dc, pen), old_brush = SelectObject(bitmap.dc, brush);
    const int objects = wl_gdi_object_count();
    render_graph(0, 0, 0, 300, 130, 1, 14, 1, 1.0, 1.0, bitmap.dc);
    render_graph(0, 0, 0, 300, 130, 1, 14, 1, 1.0, 1.0, nullptr);
    EXPECT_EQ(wl_gdi_object_count(), objects);
    EXPECT_EQ(SelectObject(bitmap.dc, old_pen), pen);
    EXPECT_EQ(SelectObject(bitmap.dc, old_brush), brush);
    DeleteObject(pen), DeleteObject(brush);
    EXPECT_TRUE(golden_match(Surface{bitmap.pixels, 300, 300, 130}, "graph_scene"));
    r.enabled = 0; // a disabled graph draws nothing
    TestBitmap blank(300, 130, SENTINEL);
    render_graph(0, 0, 0, 300, 130, 1, 14, 1, 1.0, 1.0, blank.dc);
    EXPECT_EQ(std::count(blank.pixels, blank.pixels + 300 * 130, blank.pixels[0]), 300 * 130);
    wl_gdi_shutdown();
}

} // namespace
