// Every position is computed in double precision and truncated toward zero only where a device
// coordinate is made, so that each item lands on the same pixel at every scale.
#include <windows.h>
#include <strsafe.h>

#include "graph/graph_scale.h"

namespace {

constexpr int LEVEL_STEP = 1000; // 10 dB between level labels

// Text boxes are seven characters wide and 1.2 lines high.
RECT text_box_at(int left, int top, const GraphCanvas &c) {
    RECT box;
    box.left = left;
    box.top = top;
    box.right = graph_trunc(left + c.font_height * 7 * c.text_scale);
    box.bottom = graph_trunc(top + c.font_height * 1.2 * c.text_scale);
    return box;
}

int level_cell(const GraphRecord &r) {
    return (r.trace_style[0] & GRAPH_STYLE_CELLS) ? 1 : 0;
}

// The level's distance above the plot's bottom edge, in graph units; `half` puts it on the centre
// of its cell in level-cell mode.
double level_offset(const GraphRecord &r, const GraphPlot &plot, int level, double half) {
    const int cell = level_cell(r);
    return (level - (double)r.level_min + half) * plot.height /
           ((double)r.level_max - r.level_min + cell);
}

// A value's height above the bottom row: the range spans plot_height - 1 rows, clamped.
double trace_dy(const GraphRecord &r, const GraphPlot &plot, int v) {
    if (v < r.level_min) return 0;
    if (v > r.level_max || r.level_max == r.level_min) return plot.height - 1;
    return ((double)v - r.level_min) * (plot.height - 1) / ((double)r.level_max - r.level_min);
}

POINT device_point(const GraphCanvas &c, double gx, double gy) {
    POINT p;
    p.x = graph_trunc(gx * c.scale);
    p.y = graph_trunc(gy * c.scale * c.y_sign);
    return p;
}

} // namespace

int graph_trunc(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return (int)value;
}

GraphPlot graph_plot_area(const GraphRecord &r, const GraphCanvas &c) {
    const double s = c.scale;
    GraphPlot plot;
    plot.left = graph_trunc(r.margin_left + c.left / s);
    plot.top = graph_trunc(r.margin_top + c.top / s);
    plot.width = graph_trunc(c.right / s - r.margin_right - c.left / s - r.margin_left);
    plot.height = graph_trunc(c.bottom / s - r.margin_bottom - c.top / s - r.margin_top);
    return plot;
}

BOOL graph_plot_usable(const GraphPlot &plot) {
    return plot.width >= 2 && plot.height >= 2;
}

RECT graph_unit_text_box(const GraphRecord &r, const GraphCanvas &c) {
    return text_box_at(graph_trunc(r.left_text_x * c.scale + c.left),
                       graph_trunc(r.top_text_y * c.scale + c.top), c);
}

RECT graph_side_text_box(const GraphRecord &r, const GraphCanvas &c) {
    RECT box;
    box.left = graph_trunc(c.right - r.margin_right * c.scale + (c.font_height / 2) * c.text_scale);
    box.top = graph_trunc(r.margin_top * c.scale + c.top);
    box.right = graph_trunc(c.right - c.scale);
    box.bottom = graph_trunc(c.bottom - r.margin_bottom * c.scale);
    return box;
}

RECT graph_corner_text_box(const GraphRecord &r, const GraphCanvas &c) {
    RECT box;
    box.left = graph_trunc(c.right - ((double)r.margin_right - r.corner_text_x) * c.scale);
    box.top = graph_trunc(c.bottom - ((double)r.margin_bottom - r.x_label_y) * c.scale);
    box.right = graph_trunc(c.right - c.scale);
    box.bottom = graph_trunc(c.bottom - c.scale);
    return box;
}

// Frequency labels start at their index position; they are not centred on it.
RECT graph_x_label_box(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k) {
    const int t = graph_axis_trace(r);
    const double f = r.first_index[t];
    const double span = (double)r.last_index[t] - f + 1;
    const double gx = (r.x_label_index[k] - f) * plot.width / span + plot.left;
    return text_box_at(graph_trunc(gx * c.scale),
                       graph_trunc(c.bottom - ((double)r.margin_bottom - r.x_label_y) * c.scale),
                       c);
}

// Centred vertically on its level; the box ends at the plot's left edge, clipping long texts.
RECT graph_y_label_box(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k) {
    const double half = level_cell(r) ? 0.5 : 0.0;
    const double offset = level_offset(r, plot, r.y_label_level[k], half);
    const int top = graph_trunc((plot.top + plot.height - offset) * c.scale -
                                (c.font_height / 2) * c.text_scale);
    RECT box = text_box_at(graph_trunc(r.left_text_x * c.scale + c.left), top, c);
    box.right = graph_trunc(r.margin_left * c.scale + c.left);
    return box;
}

RECT graph_legend_box(const GraphRecord &r, const GraphCanvas &c, int t) {
    const int x = graph_trunc(c.right - r.margin_right * c.scale - r.legend_x[t] * c.scale);
    return text_box_at(x, graph_trunc(r.top_text_y * c.scale + c.top), c);
}

BOOL graph_box_empty(const RECT &box) {
    return box.left >= box.right || box.top >= box.bottom;
}

RECT graph_text_flip(RECT box, int y_sign) {
    box.top *= y_sign;
    box.bottom *= y_sign;
    return box;
}

int graph_trace_count(const GraphRecord &r) {
    return r.trace_count < 0 ? 0 : (r.trace_count > GRAPH_TRACES ? GRAPH_TRACES : r.trace_count);
}

int graph_x_label_count(const GraphRecord &r) {
    return r.x_label_count < 0 ? 0
                               : (r.x_label_count > GRAPH_LABELS ? GRAPH_LABELS : r.x_label_count);
}

int graph_y_label_count(const GraphRecord &r) {
    return r.y_label_count < 0 ? 0
                               : (r.y_label_count > GRAPH_LABELS ? GRAPH_LABELS : r.y_label_count);
}

int graph_axis_trace(const GraphRecord &r) {
    return (r.x_axis_trace >= 0 && r.x_axis_trace < GRAPH_TRACES) ? r.x_axis_trace : 0;
}

int graph_grid_y(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k) {
    const double offset = level_offset(r, plot, r.y_label_level[k], 0.0);
    return graph_trunc((plot.top + plot.height - offset) * c.scale * c.y_sign);
}

int graph_trace_points(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int t,
                       POINT points[GRAPH_TRACE_POINTS]) {
    const int style = r.trace_style[t];
    const double bottom_row = plot.top + plot.height - 1;
    const double right_column = plot.left + plot.width - 1;
    int count = 0;
    if (style == GRAPH_TRACE_AREA_DOWN) points[count++] = device_point(c, plot.left, bottom_row);
    if (style == GRAPH_TRACE_AREA_UP) points[count++] = device_point(c, plot.left, plot.top);
    const int f = r.first_index[t];
    const int span = r.last_index[t] - f;
    for (int j = 0; j <= span && j < GRAPH_POINTS; ++j) {
        const int i = f + j;
        if (i < 0 || i >= GRAPH_POINTS) break; // beyond the record's values: the trace ends
        const int v = r.levels[t][i];
        if (v == GRAPH_NO_VALUE) break;
        // A single value has no span to spread over: it sits on the left edge.
        const int dx = span > 0 ? graph_trunc((double)j * (plot.width - 1) / span) : 0;
        points[count++] = device_point(c, plot.left + dx, bottom_row - trace_dy(r, plot, v));
    }
    if (style == GRAPH_TRACE_AREA_DOWN) points[count++] = device_point(c, right_column, bottom_row);
    if (style == GRAPH_TRACE_AREA_UP) points[count++] = device_point(c, right_column, plot.top);
    return count;
}

// The 0.1 keeps a cursor at the last index just inside the plot's right edge.
BOOL graph_cursor_x(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int index,
                    int *x) {
    const int t = graph_axis_trace(r);
    const int f = r.first_index[t];
    const int l = r.last_index[t];
    if (index < f || index > l) return FALSE;
    const double gx = ((double)index - f) * plot.width / ((double)l - f + 0.1) + plot.left;
    *x = graph_trunc(gx * c.scale);
    return TRUE;
}

int graph_cursor_top(const GraphCanvas &c, const GraphPlot &plot) {
    return device_point(c, 0, plot.top).y;
}

int graph_cursor_bottom(const GraphCanvas &c, const GraphPlot &plot) {
    return device_point(c, 0, (double)plot.top + plot.height - 1).y;
}

void graph_frame_points(const GraphCanvas &c, const GraphPlot &plot, POINT points[5]) {
    const POINT p0 = device_point(c, plot.left - 1, plot.top - 1);
    const POINT p1 =
        device_point(c, (double)plot.left + plot.width, (double)plot.top + plot.height);
    points[0] = p0;
    points[1] = POINT{p1.x, p0.y};
    points[2] = p1;
    points[3] = POINT{p0.x, p1.y};
    points[4] = p0;
}

int graph_legend_line_y(const RECT &box, int y_sign) {
    return (box.top + (box.bottom - box.top) / 2) * y_sign;
}

// The window renders at scale 1 from (0, 0), so the margins apply unscaled; both bounds are
// inside, and the right bound gives last_index + 1.
BOOL graph_click_index(const GraphRecord &r, int w, int h, int x, int y, int *index) {
    if (x < r.margin_left || x > w - r.margin_right) return FALSE;
    if (y < r.margin_top || y > h - r.margin_bottom) return FALSE;
    const int t = graph_axis_trace(r);
    const double f = r.first_index[t];
    const double span = (double)r.last_index[t] - f + 1;
    const double width = (double)w - r.margin_right - r.margin_left;
    *index = graph_trunc(span * (x - r.margin_left) / width + f);
    return TRUE;
}

void graph_level_range(bool per_hertz, bool high_impedance_probe, int *level_min, int *level_max) {
    int low = per_hertz ? -14000 : -12000;
    int high = per_hertz ? -1000 : 1000;
    if (high_impedance_probe) {
        low += 2000;
        high += 2000;
    }
    if (high > 2000) {
        low = -11000;
        high = 2000;
    }
    *level_min = low;
    *level_max = high;
}

int graph_level_labels(int level_min, int level_max, int levels[GRAPH_LABELS],
                       WCHAR texts[GRAPH_LABELS][GRAPH_TEXT_CHARS]) {
    int count = 0;
    for (long long level = level_min; level <= level_max && count < GRAPH_LABELS;
         level += LEVEL_STEP) {
        levels[count] = (int)level;
        StringCchPrintfW(texts[count], GRAPH_TEXT_CHARS, TEXT("%4g"), level / 100.0);
        ++count;
    }
    return count;
}

void graph_frequency_text(double half_hertz, double divisor, WCHAR text[GRAPH_TEXT_CHARS]) {
    StringCchPrintfW(text, GRAPH_TEXT_CHARS, TEXT("%6.3f"), half_hertz / divisor);
}
