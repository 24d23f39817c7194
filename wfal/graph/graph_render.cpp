// Each item makes its own pen, brush or font, selects it for that item only and puts the DC's
// previous object back, so the renderer leaves the DC as it found it and holds nothing between
// calls. Later items paint over earlier ones; the order below is the picture's layering.
#include <windows.h>
#include <strsafe.h>

#include "graph/graph_render.h"
#include "graph/graph_scale.h"
#include "module/state.h"
#include "ui/gdi_draw.h"
#include "ui/gdi_holders.h"

namespace {

// Every line of the graph is solid, in the canvas's pen width.
constexpr int GRAPH_PEN_STYLE = PS_SOLID;
constexpr COLORREF FRAME_COLOUR = RGB(0, 0, 0);
// A legend entry's sample line ends this many graph units left of its text.
constexpr int LEGEND_LINE_FROM = 12;
constexpr int LEGEND_LINE_TO = 2;

// Texts keep the DC's own colours and background mode.
HFONT graph_font(int font_height) {
    LOGFONTW font = {};
    font.lfHeight = font_height;
    font.lfWidth = font_height / 2;
    StringCchCopyW(font.lfFaceName, LF_FACESIZE, TEXT("courier new"));
    return CreateFontIndirectW(&font);
}

HPEN solid_pen(const GraphCanvas &c, COLORREF colour) {
    return CreatePen(GRAPH_PEN_STYLE, c.pen_width, colour);
}

// Draws a text into a box given without the y sign; an empty text or box is skipped.
void draw_text(HDC dc, const GraphCanvas &c, const WCHAR *text, RECT box, UINT format) {
    if (!text[0] || graph_box_empty(box)) return;
    box = graph_text_flip(box, c.y_sign);
    DrawTextW(dc, text, -1, &box, format);
}

void draw_single_text(HDC dc, const GraphCanvas &c, const WCHAR *text, const RECT &box,
                      UINT format) {
    if (!text[0]) return;
    GdiSelection font(dc, graph_font(c.font_height), true);
    draw_text(dc, c, text, box, format);
}

void draw_x_labels(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot) {
    GdiSelection font(dc, graph_font(c.font_height), true);
    for (int k = 0; k < graph_x_label_count(r); ++k)
        draw_text(dc, c, r.x_label_text[k], graph_x_label_box(r, c, plot, k), DT_LEFT | DT_TOP);
}

void draw_y_labels(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot) {
    GdiSelection font(dc, graph_font(c.font_height), true);
    for (int k = 0; k < graph_y_label_count(r); ++k)
        draw_text(dc, c, r.y_label_text[k], graph_y_label_box(r, c, plot, k), DT_LEFT | DT_TOP);
}

void draw_grid(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot) {
    if (graph_y_label_count(r) == 0) return;
    GdiSelection pen(dc, solid_pen(c, r.grid_colour), true);
    const int x0 = graph_trunc(plot.left * c.scale);
    const int x1 = graph_trunc(((double)plot.left + plot.width - 1) * c.scale);
    for (int k = 0; k < graph_y_label_count(r); ++k) {
        const int y = graph_grid_y(r, c, plot, k);
        draw_line(dc, x0, y, x1, y);
    }
}

void draw_legend(HDC dc, const GraphRecord &r, const GraphCanvas &c, int t) {
    const RECT box = graph_legend_box(r, c, t);
    if (graph_box_empty(box)) return;
    {
        GdiSelection pen(dc, solid_pen(c, r.trace_colour[t]), true);
        const int m = graph_legend_line_y(box, c.y_sign);
        draw_line(dc, graph_trunc(box.left - LEGEND_LINE_FROM * c.scale), m,
                  graph_trunc(box.left - LEGEND_LINE_TO * c.scale), m);
    }
    draw_single_text(dc, c, r.legend_text[t], box, DT_LEFT | DT_TOP);
}

void draw_trace(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int t) {
    POINT points[GRAPH_TRACE_POINTS];
    const int count = graph_trace_points(r, c, plot, t, points);
    GdiSelection pen(dc, solid_pen(c, r.trace_colour[t]), true);
    GdiSelection brush(dc, CreateSolidBrush(r.trace_colour[t]), true);
    if (r.trace_style[t] == GRAPH_TRACE_LINE) {
        if (count > 0) Polyline(dc, points, count);
    } else {
        Polygon(dc, points, count);
    }
}

void draw_cursor(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int on,
                 int index, COLORREF colour) {
    int x;
    if (!on || !graph_cursor_x(r, c, plot, index, &x)) return;
    GdiSelection pen(dc, solid_pen(c, colour), true);
    draw_line(dc, x, graph_cursor_top(c, plot), x, graph_cursor_bottom(c, plot));
}

void draw_frame(HDC dc, const GraphCanvas &c, const GraphPlot &plot) {
    POINT points[5];
    graph_frame_points(c, plot, points);
    GdiSelection pen(dc, solid_pen(c, FRAME_COLOUR), true);
    Polyline(dc, points, 5);
}

// Filled traces and no trace leave the grid to a later trace; any other style, drawable or not,
// asks for it.
bool style_wants_grid(int style) {
    return style != GRAPH_TRACE_NONE && style != GRAPH_TRACE_AREA_DOWN &&
           style != GRAPH_TRACE_AREA_UP;
}
bool style_drawn(int style) {
    return style >= GRAPH_TRACE_LINE && style <= GRAPH_TRACE_AREA_UP;
}

void draw_traces(HDC dc, const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot) {
    bool grid_drawn = false;
    for (int t = 0; t < graph_trace_count(r); ++t) {
        const int style = r.trace_style[t];
        if (r.legend_x[t] != 0) draw_legend(dc, r, c, t);
        if (!grid_drawn && style_wants_grid(style)) {
            draw_grid(dc, r, c, plot);
            grid_drawn = true;
        }
        if (!style_drawn(style)) continue;
        draw_trace(dc, r, c, plot, t);
        draw_cursor(dc, r, c, plot, r.cursor2_on, r.cursor2_index, r.cursor2_colour);
        draw_cursor(dc, r, c, plot, r.cursor1_on, r.cursor1_index, r.cursor1_colour);
    }
}

} // namespace

void render_graph(int graph_index, int left, int top, int right, int bottom, int pen_width,
                  int font_height, int y_sign, double scale, double text_scale, HDC dc) {
    // Without a DC every item would only be computed, which leaves nothing behind.
    if (!dc || graph_index < 0 || graph_index >= GRAPH_COUNT) return;
    const GraphRecord &r = wfal.graph[graph_index];
    if (!r.enabled) return;
    const GraphCanvas c = {left,        top,    right, bottom,    pen_width,
                           font_height, y_sign, scale, text_scale};
    draw_single_text(dc, c, r.side_text, graph_side_text_box(r, c), DT_WORDBREAK);
    draw_single_text(dc, c, r.corner_text, graph_corner_text_box(r, c), DT_LEFT | DT_TOP);
    draw_single_text(dc, c, r.unit_text, graph_unit_text_box(r, c), DT_LEFT | DT_TOP);
    const GraphPlot plot = graph_plot_area(r, c);
    if (!graph_plot_usable(plot)) return;
    draw_x_labels(dc, r, c, plot);
    draw_y_labels(dc, r, c, plot);
    draw_traces(dc, r, c, plot);
    draw_frame(dc, c, plot);
}
