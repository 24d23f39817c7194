#include "shown_levels.h"

#include <stdio.h>

#include "spectrogram/level_offset.h"
#include "spectrogram/spectrum_graph.h"

const char *ShownLevels::unit_name() const {
    return unit == LEVEL_UNIT_DBM_HZ ? "dBm/Hz" : "dBm";
}

ShownLevels shown_levels(const ResultHeader &h, int unit) {
    return {unit, level_offset(unit, level_bandwidth_correction(h.frequency_step), h.impedance)};
}

double point_hz(const ResultHeader &h, int point) {
    return (double(h.start_frequency) + double(point) * double(h.frequency_step)) / 2.0;
}

std::string hz_text(double hz) {
    char text[32];
    snprintf(text, sizeof text, hz == double((long long)hz) ? "%.0f" : "%.1f", hz);
    return text;
}

std::string db_text(double db) {
    char text[32];
    snprintf(text, sizeof text, "%.2f", db);
    return text;
}

int level_unit_named(const std::string &name) {
    return name == "dBm/Hz" ? LEVEL_UNIT_DBM_HZ : LEVEL_UNIT_DBM;
}
