// The graph's arithmetic: the plot area, every text box, the grid and trace coordinates, the
// cursor lines and the click mapping, and the axis contents of the spectrum view. Pure
// functions of a GraphRecord and the drawing parameters; the renderer only places their results.
#pragma once

#include <windows.h>

#include "graph/graph_record.h"

// The drawing parameters of one rendering besides the graph index and the DC.
struct GraphCanvas {
    int left; // the drawing rectangle in device units; right and bottom are coordinates
    int top;
    int right;
    int bottom;
    int pen_width;
    int font_height;   // F
    int y_sign;        // Y: 1 or -1, applied to every vertical device coordinate
    double scale;      // S: device units per graph unit
    double text_scale; // T: factor for text box sizes
};

// The plot area in graph units.
struct GraphPlot {
    int left;
    int top;
    int width;
    int height;
};

// Room for the point list of a filled trace: every value and two corners.
constexpr int GRAPH_TRACE_POINTS = GRAPH_POINTS + 2;

// Truncation toward zero; values beyond the int range saturate and NaN gives 0.
int graph_trunc(double value);

GraphPlot graph_plot_area(const GraphRecord &r, const GraphCanvas &c);
// Anything placed relative to the plot area needs at least 2 x 2 graph units.
BOOL graph_plot_usable(const GraphPlot &plot);

// Text boxes, without the y sign (graph_text_flip applies it just before drawing).
RECT graph_unit_text_box(const GraphRecord &r, const GraphCanvas &c);
RECT graph_side_text_box(const GraphRecord &r, const GraphCanvas &c);
RECT graph_corner_text_box(const GraphRecord &r, const GraphCanvas &c);
RECT graph_x_label_box(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k);
RECT graph_y_label_box(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k);
RECT graph_legend_box(const GraphRecord &r, const GraphCanvas &c, int t);
BOOL graph_box_empty(const RECT &box);
RECT graph_text_flip(RECT box, int y_sign);

// Counts and indexes limited to what the record holds.
int graph_trace_count(const GraphRecord &r);
int graph_x_label_count(const GraphRecord &r);
int graph_y_label_count(const GraphRecord &r);
int graph_axis_trace(const GraphRecord &r);

// Device y of grid line k.
int graph_grid_y(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int k);

// The device points of trace t, corners included for the filled styles; the count is returned.
// The list ends before the first gap value (or index outside the level array).
int graph_trace_points(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int t,
                       POINT points[GRAPH_TRACE_POINTS]);

// Device x of a cursor line at data index `index`; FALSE when it lies outside the axis trace.
BOOL graph_cursor_x(const GraphRecord &r, const GraphCanvas &c, const GraphPlot &plot, int index,
                    int *x);
// Device y of the top and bottom ends of a cursor line.
int graph_cursor_top(const GraphCanvas &c, const GraphPlot &plot);
int graph_cursor_bottom(const GraphCanvas &c, const GraphPlot &plot);

// The closed outline just outside the plot area.
void graph_frame_points(const GraphCanvas &c, const GraphPlot &plot, POINT points[5]);

// Device y of the legend's short line, halfway down its box.
int graph_legend_line_y(const RECT &box, int y_sign);

// The data index of a click at client (x, y) of a w x h graph window rendered at scale 1;
// FALSE when the click lies outside the plot area.
BOOL graph_click_index(const GraphRecord &r, int w, int h, int x, int y, int *index);

// The spectrum view's level axis (hundredths of a dB), by unit and input.
void graph_level_range(bool per_hertz, bool high_impedance_probe, int *level_min, int *level_max);
// Level labels from level_min upward in steps of 10 dB while not above level_max; returns the
// count written.
int graph_level_labels(int level_min, int level_max, int levels[GRAPH_LABELS],
                       WCHAR texts[GRAPH_LABELS][GRAPH_TEXT_CHARS]);
// A frequency in half-hertz shown in the unit that `divisor` selects (2000 kHz, 2000000 MHz).
void graph_frequency_text(double half_hertz, double divisor, WCHAR text[GRAPH_TEXT_CHARS]);
