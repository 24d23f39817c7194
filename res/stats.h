// Per-point statistics of a section of records: maximum, mean power, minimum and occupancy.
#pragma once

#include <vector>

#include "record_time.h"
#include "shown_levels.h"

struct PointStats {
    double max_db, mean_db, min_db; // in the shown unit
    double occupancy;               // share of records above the threshold, 0 .. 1
};

// The mean is taken over the records' linear powers and shown in dB. `threshold` is a stored
// level; "above" is strictly above, as Find's.
std::vector<PointStats> stats_compute(const ResultFile &file, const Section &section,
                                      const ShownLevels &levels, int threshold);
