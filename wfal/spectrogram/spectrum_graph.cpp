#include "spectrogram/spectrum_graph.h"

#include <string.h>
#include <strsafe.h>

#include "graph/graph_scale.h"
#include "module/engine.h"
#include "spectrogram/marker.h"

namespace {

// Room in both the spectrum and the trace: a header can claim more points than either holds.
int held_points(const ViewState &v) {
    if (v.points < 0) return 0;
    return v.points > VIEW_MAX_POINTS ? VIEW_MAX_POINTS : v.points;
}

void fill_trace(GraphRecord *r, const ViewState &v) {
    r->enabled = 1;
    r->trace_count = 1;
    r->point_count = v.points;
    r->trace_style[0] = GRAPH_TRACE_LINE;
    r->trace_colour[0] = SPECTRUM_TRACE_COLOUR;
    r->first_index[0] = 0;
    r->last_index[0] = v.points - 1;
    const int count = held_points(v);
    for (int i = 0; i < count; ++i)
        r->levels[0][i] = v.spectrum[i] - v.level_offset;
}

void fill_layout(GraphRecord *r) {
    r->margin_left = 40;
    r->margin_top = 18;
    r->margin_right = 118;
    r->margin_bottom = 16;
    r->corner_text_x = 50;
    r->x_label_y = 2;
    r->left_text_x = 5;
    r->top_text_y = 0;
}

// Labels at the first point, the middle and the last: start frequency, unit, stop frequency.
void fill_frequency_axis(GraphRecord *r, const ViewState &v, const ResultHeader &h) {
    const double divisor = v.frequency_divisor != 0 ? (double)v.frequency_divisor : 1.0;
    const double start = (double)h.start_frequency;
    const double stop = start + ((double)v.points - 1) * (double)h.frequency_step;
    r->x_label_count = 3;
    r->x_label_index[0] = 0;
    r->x_label_index[1] = v.points / 2;
    r->x_label_index[2] = v.points - 1;
    graph_frequency_text(start, divisor, r->x_label_text[0]);
    StringCchCopyW(r->x_label_text[1], GRAPH_TEXT_CHARS, v.frequency_unit);
    graph_frequency_text(stop, divisor, r->x_label_text[2]);
}

void fill_level_axis(GraphRecord *r, const ViewState &v, const ResultHeader &h, int level_unit) {
    graph_level_range(level_unit == LEVEL_UNIT_DBM_HZ, h.input == INPUT_PROBE, &r->level_min,
                      &r->level_max);
    r->y_label_count =
        graph_level_labels(r->level_min, r->level_max, r->y_label_level, r->y_label_text);
    StringCchCopyW(r->unit_text, GRAPH_TEXT_CHARS, v.level_unit);
    r->grid_colour = SPECTRUM_GRID_COLOUR;
}

} // namespace

void spectrum_graph_fill(GraphRecord *r, const ViewState &v, const ResultHeader &h,
                         int level_unit) {
    memset(r, 0, sizeof *r);
    fill_trace(r, v);
    fill_layout(r);
    fill_frequency_axis(r, v, h);
    fill_level_axis(r, v, h, level_unit);
    r->cursor1_on = 1;
    r->cursor1_index = v.marker_point;
    r->cursor1_colour = SPECTRUM_MARKER_COLOUR;
    r->on_click = marker_set;
}
