// Levels as the module shows them: stored hundredths of a dB less the level offset of the chosen
// unit at the header's impedance, and frequencies from the header's half-hertz fields.
#pragma once

#include <string>

#include <windows.h>

#include "resultfile/result_header.h"

struct ShownLevels {
    int unit;   // LEVEL_UNIT_DBM or LEVEL_UNIT_DBM_HZ
    int offset; // hundredths of a dB: shown = stored - offset
    const char *unit_name() const;
    double db(int stored) const { return double(stored - offset) / 100.0; }
    // The stored level that shows as `db` whole dB, as the module's display settings map one.
    int stored(int db) const { return offset + 100 * db; }
};

ShownLevels shown_levels(const ResultHeader &header, int unit);
// Frequency of a point in Hz.
double point_hz(const ResultHeader &header, int point);
// Hz without a fraction when whole, else with the half.
std::string hz_text(double hz);
// "%.2f" of a level in dB.
std::string db_text(double db);
// The unit option's values: "dBm" -> LEVEL_UNIT_DBM, "dBm/Hz" -> LEVEL_UNIT_DBM_HZ.
int level_unit_named(const std::string &name);
