// The marker readout: the strongest point of the spectrum at the time cursor, and the text the
// spectrum graph shows in its right margin. Pure functions of the view state and the header.
#pragma once

#include <windows.h>

#include "spectrogram/view_state.h"

constexpr int MARKER_READOUT_CHARS = 500; // the readout, terminator included

// The translated keys the readout is headed with.
struct MarkerKeys {
    const WCHAR *spectrum;
    const WCHAR *marker;
    const WCHAR *max;
};

// Index of the highest sample among the first `points`; the lowest index among equal ones.
int marker_max_point(const ViewState &v);

// Frequency of point i in the view's unit; start and step are in half-hertz.
double marker_frequency(const ViewState &v, int start_frequency, int frequency_step, int point);
// Level of point i in the display unit, in dB.
double marker_level(const ViewState &v, int point);

// Writes the readout into `text`, which holds MARKER_READOUT_CHARS characters.
void marker_readout(const ViewState &v, int start_frequency, int frequency_step,
                    const MarkerKeys &keys, WCHAR *text);
