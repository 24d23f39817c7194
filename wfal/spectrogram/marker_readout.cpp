#include "spectrogram/marker_readout.h"

#include <strsafe.h>

namespace {

// Points and indexes that lie outside the spectrum array are read as its nearest sample.
int held_points(const ViewState &v) {
    if (v.points < 1) return 1;
    return v.points > VIEW_MAX_POINTS ? VIEW_MAX_POINTS : v.points;
}

int held_point(int point) {
    if (point < 0) return 0;
    return point >= VIEW_MAX_POINTS ? VIEW_MAX_POINTS - 1 : point;
}

} // namespace

int marker_max_point(const ViewState &v) {
    int best = 0;
    int count = held_points(v);
    for (int i = 1; i < count; ++i)
        if (v.spectrum[i] > v.spectrum[best]) best = i;
    return best;
}

double marker_frequency(const ViewState &v, int start_frequency, int frequency_step, int point) {
    double divisor = v.frequency_divisor != 0 ? (double)v.frequency_divisor : 1.0;
    return ((double)start_frequency + (double)point * (double)frequency_step) / divisor;
}

double marker_level(const ViewState &v, int point) {
    return ((double)v.spectrum[held_point(point)] - (double)v.level_offset) / 100.0;
}

void marker_readout(const ViewState &v, int start_frequency, int frequency_step,
                    const MarkerKeys &keys, WCHAR *text) {
    int marker = held_point(v.marker_point);
    int max = marker_max_point(v);
    StringCchPrintfW(text, MARKER_READOUT_CHARS,
                     TEXT("%.16s\n\n%.16s:\n   %6.3f %.16s\n  %7.1f %.16s\n\n%.16s:\n   %6.3f "
                          "%.16s\n  %7.1f %.16s"),
                     keys.spectrum, keys.marker,
                     marker_frequency(v, start_frequency, frequency_step, marker), v.frequency_unit,
                     marker_level(v, marker), v.level_unit, keys.max,
                     marker_frequency(v, start_frequency, frequency_step, max), v.frequency_unit,
                     marker_level(v, max), v.level_unit);
}
