// The marker keys and the graph's touch both end in graph_refresh, which rebuilds the graph
// description and its readout from scratch: nothing about the marker is cached elsewhere.
#include <windows.h>

#include "module/state.h"
#include "spectrogram/marker.h"
#include "spectrogram/marker_readout.h"
#include "spectrogram/spectrum_graph.h"
#include "test/main_dialog.h"

void graph_refresh() {
    const ViewState &v = wfal.view;
    GraphRecord &r = wfal.graph[0];
    spectrum_graph_fill(&r, v, wfal.header, wfal.display.level_unit);
    MarkerKeys keys;
    keys.spectrum = lang_lookup(TEXT("Spectrum"));
    keys.marker = lang_lookup(TEXT("Marker"));
    keys.max = lang_lookup(TEXT("Max"));
    marker_readout(v, wfal.header.start_frequency, wfal.header.frequency_step, keys, r.side_text);
    InvalidateRect(main_item(ID_GRAPH), NULL, TRUE);
    marker_enable_keys(TRUE);
}

void marker_enable_keys(BOOL allowed) {
    const ViewState &v = wfal.view;
    main_item_enable(ID_MARKER_LEFT, allowed && v.marker_point != 0);
    main_item_enable(ID_MARKER_RIGHT, allowed && v.marker_point < v.points - 1);
}

void marker_step(int delta) {
    ViewState &v = wfal.view;
    if (v.mode == VIEW_EMPTY) return;
    // In 64 bits, so that a held key's delta can't wrap the point around.
    LONGLONG point = (LONGLONG)v.marker_point + delta;
    if (point < 0) point = 0;
    if (point >= v.points) point = v.points - 1;
    v.marker_point = (int)point;
    graph_refresh();
}

void marker_set(int, int point) {
    ViewState &v = wfal.view;
    if (v.mode == VIEW_EMPTY || point < 0 || point >= v.points) return;
    v.marker_point = point;
    graph_refresh();
}
