// The marker: a frequency point of the spectrum at the time cursor, moved by the marker keys
// and by touching the graph, and the graph description that shows it with its readout.
#pragma once

#include <windows.h>

// Refills graph record 0 from the view and the result header, writes the readout, repaints
// the graph window and enables the marker keys.
void graph_refresh();
// Enables "˂" unless the marker is at point 0 and "˃" unless it is at the last point; with
// `allowed` FALSE both keys are disabled.
void marker_enable_keys(BOOL allowed);
// Moves the marker by delta points, held to the spectrum; nothing while the view is empty.
void marker_step(int delta);
// The graph's click handler: moves the marker to a point of the spectrum.
void marker_set(int graph_index, int point);
