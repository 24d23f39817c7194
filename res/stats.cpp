// stats: per point maximum, mean power, minimum and occupancy, as CSV and as a plot.
#include "stats.h"

#include <math.h>

#include "commands.h"
#include "output_file.h"
#include "picture.h"

namespace {

constexpr int LEVELS = 65536;

// Linear power of every stored level (relative: 10^(level / 1000)), looked up per sample.
const std::vector<double> &power_table() {
    static const std::vector<double> table = [] {
        std::vector<double> t(LEVELS);
        for (int i = 0; i < LEVELS; ++i)
            t[size_t(i)] = pow(10.0, (i - 32768) / 1000.0);
        return t;
    }();
    return table;
}

struct Sums {
    std::vector<INT16> max, min;
    std::vector<double> power;
    std::vector<long long> above;
};

void add_records(Sums *s, const INT16 *levels, int count, int points, INT16 threshold) {
    const std::vector<double> &power = power_table();
    for (int k = 0; k < count; ++k, levels += points) {
        for (int p = 0; p < points; ++p) {
            const INT16 v = levels[p];
            s->max[size_t(p)] = std::max(s->max[size_t(p)], v);
            s->min[size_t(p)] = std::min(s->min[size_t(p)], v);
            s->power[size_t(p)] += power[size_t(v + 32768)];
            s->above[size_t(p)] += v > threshold;
        }
    }
}

} // namespace

std::vector<PointStats> stats_compute(const ResultFile &file, const Section &section,
                                      const ShownLevels &levels, int threshold) {
    const size_t points = size_t(file.points());
    Sums s{std::vector<INT16>(points, INT16(-32768)), std::vector<INT16>(points, INT16(32767)),
           std::vector<double>(points, 0.0), std::vector<long long>(points, 0)};
    // A threshold beyond the 16-bit levels: none or every level lies above it.
    const INT16 held = INT16(std::max(-32768, std::min(32767, threshold)));
    const bool none_below = threshold < -32768;
    RecordBlocks blocks(file, section.first, section.last, "stats");
    while (blocks.next())
        add_records(&s, blocks.levels(), blocks.count(), int(points), held);
    const double n = double(section.last - section.first + 1);
    std::vector<PointStats> out(points);
    for (size_t p = 0; p < points; ++p) {
        const double mean_stored = 1000.0 * log10(s.power[p] / n);
        const double above = none_below ? n : double(s.above[p]);
        out[p] = {levels.db(s.max[p]), (mean_stored - levels.offset) / 100.0, levels.db(s.min[p]),
                  above / n};
    }
    return out;
}

int res_stats(const StatsOptions &o, FILE *out) {
    ResultFile file(o.file);
    const Section section = record_section(file, o.section.from, o.section.to);
    if (section.last < section.first) res_fail(RES_USAGE, o.file, "holds no whole record");
    const ShownLevels levels = shown_levels(file.header(), level_unit_named(o.unit));
    if (!o.plot.empty()) refuse_source_as_output(o.plot, o.file);
    const std::vector<PointStats> stats =
        stats_compute(file, section, levels, levels.stored(o.threshold));
    const char *u = levels.unit_name();
    fprintf(out, "frequency_hz,max_%s,mean_%s,min_%s,occupancy\n", u, u, u);
    for (size_t p = 0; p < stats.size(); ++p) {
        const PointStats &s = stats[p];
        fprintf(out, "%s,%s,%s,%s,%.6f\n", hz_text(point_hz(file.header(), int(p))).c_str(),
                db_text(s.max_db).c_str(), db_text(s.mean_db).c_str(), db_text(s.min_db).c_str(),
                s.occupancy);
    }
    if (!o.plot.empty()) picture_stats(file, section, levels, stats, o.threshold, o.plot);
    return RES_OK;
}
