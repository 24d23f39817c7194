#include "spectrogram/level_offset.h"

#include <math.h>

#include "spectrogram/spectrum_graph.h"

namespace {

constexpr double REFERENCE_IMPEDANCE = 600.0; // ohms the stored levels are referred to

// 1000 x log10(x), truncated toward zero. A header with a zero step or impedance has no
// logarithm; it gets no correction rather than an undefined one.
int millilog(double x) {
    if (!(x > 0.0) || x > 1e300) return 0;
    return (int)(1000.0 * log10(x));
}

} // namespace

// The step's logarithm is taken in whole hertz: step / 2 truncates.
int level_bandwidth_correction(INT32 frequency_step) {
    return millilog((double)(frequency_step / 2));
}

int level_offset(int unit, int bandwidth_correction, int impedance) {
    const int impedance_correction = impedance > 0 ? millilog(REFERENCE_IMPEDANCE / impedance) : 0;
    if (unit == LEVEL_UNIT_DBM) return -impedance_correction;
    if (unit == LEVEL_UNIT_DBM_HZ) return bandwidth_correction - impedance_correction;
    return 0;
}
