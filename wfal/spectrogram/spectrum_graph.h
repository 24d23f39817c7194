// The spectrum graph's description: what graph record 0 holds for the spectrum at the time
// cursor. A pure function of the view, the result header and the level unit.
#pragma once

#include <windows.h>

#include "graph/graph_record.h"
#include "resultfile/result_header.h"
#include "spectrogram/view_state.h"

constexpr int LEVEL_UNIT_DBM = 1;
constexpr int LEVEL_UNIT_DBM_HZ = 2;

constexpr COLORREF SPECTRUM_TRACE_COLOUR = RGB(0, 0, 0);
constexpr COLORREF SPECTRUM_GRID_COLOUR = RGB(192, 192, 192);
constexpr COLORREF SPECTRUM_MARKER_COLOUR = RGB(192, 128, 128);

// Rewrites the whole record: trace, axes, marker line and click handler. The side text is left
// empty for the readout.
void spectrum_graph_fill(GraphRecord *r, const ViewState &v, const ResultHeader &h, int level_unit);
