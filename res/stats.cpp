// stats: per point maximum, mean power, minimum and occupancy, as CSV and as a plot.
#include "stats.h"

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>

#include "commands.h"
#include "output_file.h"
#include "picture.h"

namespace {

// Relative linear power of a stored level, 10^(v / 1000), as 2^x with x = v log2(10) / 1000:
// the nearest whole number goes into the float's exponent, the rest (-0.5 .. 0.5) through the
// Taylor series of 2^f to f^5 (error below 3e-6, far under the hundredth of a dB shown).
// Branch-free, so that the loop over a record's points vectorises.
__attribute__((always_inline)) inline float power_of(INT16 v) {
    const float x = float(v) * 0.0033219281f + 128.5f; // 19 .. 238 for every 16-bit level
    const int whole = int(x);
    const float f = x - float(whole) - 0.5f;
    const float fraction =
        1.0f +
        f * (0.6931472f + f * (0.2402265f + f * (0.0555041f + f * (0.0096181f + f * 0.0013334f))));
    const uint32_t exponent_bits = uint32_t(whole - 1) << 23; // 2^(whole - 128)
    float scale;
    memcpy(&scale, &exponent_bits, sizeof scale);
    return fraction * scale;
}

// Per point: max, min and count above in the level domain; power summed per block in float and
// carried in double.
struct Sums {
    std::vector<INT16> max, min;
    std::vector<uint32_t> above;
    std::vector<double> power;
};

// The loop's body, compiled three times below: for any x86-64, and for processors with AVX2 or
// AVX-512 and FMA (two or four times the lanes, fused multiply-adds for the series), chosen when
// the program runs.
// N points from p0 on through every record, their sums held in registers meanwhile.
template <int N>
__attribute__((always_inline)) inline void sum_points(Sums *s, const INT16 *levels, int count,
                                                      int points, int p0, INT16 threshold) {
    INT16 max[N], min[N];
    uint32_t above[N];
    float power[N];
    for (int i = 0; i < N; ++i) {
        max[i] = s->max[size_t(p0 + i)], min[i] = s->min[size_t(p0 + i)];
        above[i] = s->above[size_t(p0 + i)], power[i] = 0.0f;
    }
    for (int k = 0; k < count; ++k) {
        const INT16 *record = levels + size_t(k) * size_t(points) + p0;
        for (int i = 0; i < N; ++i) {
            const INT16 v = record[i];
            max[i] = v > max[i] ? v : max[i];
            min[i] = v < min[i] ? v : min[i];
            above[i] += v > threshold;
            power[i] += power_of(v);
        }
    }
    for (int i = 0; i < N; ++i) {
        s->max[size_t(p0 + i)] = max[i], s->min[size_t(p0 + i)] = min[i];
        s->above[size_t(p0 + i)] = above[i], s->power[size_t(p0 + i)] += double(power[i]);
    }
}

__attribute__((always_inline)) inline void sum_records(Sums *s, const INT16 *levels, int count,
                                                       int points, INT16 threshold) {
    int p = 0;
    for (; p + 16 <= points; p += 16)
        sum_points<16>(s, levels, count, points, p, threshold);
    for (; p + 4 <= points; p += 4)
        sum_points<4>(s, levels, count, points, p, threshold);
    for (; p < points; ++p)
        sum_points<1>(s, levels, count, points, p, threshold);
}

__attribute__((target("avx2,fma"))) void sum_records_avx2(Sums *s, const INT16 *levels, int count,
                                                          int points, INT16 threshold) {
    sum_records(s, levels, count, points, threshold);
}

__attribute__((target("avx512f,avx512bw,fma"))) void
sum_records_avx512(Sums *s, const INT16 *levels, int count, int points, INT16 threshold) {
    sum_records(s, levels, count, points, threshold);
}

void sum_records_any(Sums *s, const INT16 *levels, int count, int points, INT16 threshold) {
    sum_records(s, levels, count, points, threshold);
}

void add_records(Sums *s, const INT16 *levels, int count, int points, INT16 threshold) {
    static const auto sum =
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("fma") ? sum_records_avx512
        : __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")   ? sum_records_avx2
                                                                            : sum_records_any;
    sum(s, levels, count, points, threshold);
}

} // namespace

std::vector<PointStats> stats_compute(const ResultFile &file, const Section &section,
                                      const ShownLevels &levels, int threshold) {
    const size_t points = size_t(file.points());
    Sums s{std::vector<INT16>(points, INT16(-32768)), std::vector<INT16>(points, INT16(32767)),
           std::vector<uint32_t>(points, 0), std::vector<double>(points, 0.0)};
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
