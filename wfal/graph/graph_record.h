// The description of one graph: everything the renderer draws, filled by its owner and only
// read by the renderer and the graph window.
#pragma once

#include <windows.h>

constexpr int GRAPH_COUNT = 1;         // graph records in the module state
constexpr int GRAPH_TRACES = 1;        // traces a record has room for
constexpr int GRAPH_POINTS = 1024;     // values per trace
constexpr int GRAPH_LABELS = 16;       // frequency labels, and level labels with grid lines
constexpr int GRAPH_TEXT_CHARS = 16;   // each short text, terminator included
constexpr int GRAPH_SIDE_CHARS = 1024; // the right margin's text, terminator included
constexpr int GRAPH_NO_VALUE = -32768; // a gap: the trace ends before it
constexpr int GRAPH_STYLE_CELLS = 16;  // in trace 0's style: every integer level owns a cell

// A trace's style.
constexpr int GRAPH_TRACE_NONE = 0;
constexpr int GRAPH_TRACE_LINE = 1;
constexpr int GRAPH_TRACE_AREA_DOWN = 2; // filled down to the plot's bottom edge
constexpr int GRAPH_TRACE_AREA_UP = 3;   // filled up to the plot's top edge

// Called by the graph window with the graph index and the clicked data index.
typedef void (*GraphClick)(int graph_index, int data_index);

struct GraphRecord {
    int enabled;                   // 0: nothing at all is drawn
    int trace_count;               // 0 or 1
    int point_count;               // the filler's count; the renderer uses the index range instead
    int trace_style[GRAPH_TRACES]; // GRAPH_TRACE_*
    int first_index[GRAPH_TRACES];
    int last_index[GRAPH_TRACES];
    int level_min;   // value at the plot's bottom edge
    int level_max;   // value at the plot's top edge
    int margin_left; // margins in graph units around the plot area
    int margin_top;
    int margin_right;
    int margin_bottom;
    COLORREF trace_colour[GRAPH_TRACES];
    int levels[GRAPH_TRACES][GRAPH_POINTS]; // GRAPH_NO_VALUE: no value
    WCHAR side_text[GRAPH_SIDE_CHARS];      // word-wrapped in the right margin
    int corner_text_x;                      // from the right margin's left edge
    int x_label_y;   // frequency-label row, down from the bottom margin's top edge
    int left_text_x; // level labels and unit text, from the drawing rectangle's left edge
    int top_text_y;  // unit text and legend, from the drawing rectangle's top edge
    int x_label_count;
    int y_label_count;
    int x_label_index[GRAPH_LABELS]; // data index where each frequency label starts
    int y_label_level[GRAPH_LABELS]; // value of each level label and grid line
    int cursor1_on;
    int cursor2_on;
    int cursor1_index;
    int cursor2_index;
    int x_axis_trace;           // trace whose index range spans labels, cursors and clicks
    int legend_x[GRAPH_TRACES]; // 0: no legend entry
    COLORREF grid_colour;
    COLORREF cursor1_colour;
    COLORREF cursor2_colour;
    WCHAR corner_text[GRAPH_TEXT_CHARS];
    WCHAR unit_text[GRAPH_TEXT_CHARS];
    WCHAR x_label_text[GRAPH_LABELS][GRAPH_TEXT_CHARS];
    WCHAR y_label_text[GRAPH_LABELS][GRAPH_TEXT_CHARS];
    WCHAR legend_text[GRAPH_TRACES][GRAPH_TEXT_CHARS];
    GraphClick on_click; // null: clicks are ignored
};
