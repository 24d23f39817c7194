// The synthetic spectrum: reproducible, shaped like a line measurement, and stable in frequency.
#include <algorithm>
#include <math.h>

#include "support/acq_client.h"

namespace {

using namespace acqtest;

// The module's ranges: 4 kHz, 20 kHz, 35 MHz, 106 MHz, 212 MHz.
const Measure RANGES[] = {
    {1, 600, 200, 40, 196},        {1, 600, 200, 200, 200},         {1, 600, 200000, 200000, 353},
    {1, 600, 500000, 500000, 424}, {1, 600, 1000000, 1000000, 424},
};

int quantile(std::vector<INT16> v, double q) {
    size_t at = size_t(q * (v.size() - 1));
    std::nth_element(v.begin(), v.begin() + at, v.end());
    return v[at];
}

int median(const std::vector<INT16> &v) {
    return quantile(v, 0.5);
}

// Records 0..count-1, and each point's median over them.
struct Series {
    std::vector<std::vector<INT16>> records;
    std::vector<INT16> point_median;
    Series(UINT32 seed, const Measure &m, int count) {
        for (int i = 0; i < count; ++i)
            records.push_back(synthetic(seed, m, i));
        for (int k = 0; k < m.points; ++k) {
            std::vector<INT16> column;
            for (const auto &r : records)
                column.push_back(r[k]);
            point_median.push_back(INT16(median(column)));
        }
    }
};

int differing(const std::vector<INT16> &a, const std::vector<INT16> &b) {
    int count = 0;
    for (size_t k = 0; k < a.size(); ++k)
        count += a[k] != b[k];
    return count;
}

// The engine's own results are checked against these; here, that seed and index matter.
TEST(Spectrum, AnotherSeedOrIndexChangesMostPoints) {
    for (const Measure &m : RANGES) {
        std::vector<INT16> base = synthetic(1, m, 5);
        EXPECT_GT(differing(base, synthetic(2, m, 5)), m.points * 3 / 4) << m.points << " points";
        EXPECT_GT(differing(base, synthetic(1, m, 6)), m.points * 3 / 4) << m.points << " points";
    }
}

// Judged on each point's median over some records, so that a burst does not count, and the
// slope on the lower quartile of each end, so that carriers do not.
TEST(Spectrum, FloorFallsWithFrequencyAndCarriersStandAboveIt) {
    for (UINT32 seed : {1u, 2u, 3u}) {
        for (const Measure &m : RANGES) {
            const std::vector<INT16> r = Series(seed, m, 15).point_median;
            int floor = median(r);
            int quarter = m.points / 4;
            EXPECT_GT(floor, -13500) << m.points << " points, seed " << seed;
            EXPECT_LT(floor, -10500) << m.points << " points, seed " << seed;
            EXPECT_GT(quantile({r.begin(), r.begin() + quarter}, 0.25),
                      quantile({r.end() - quarter, r.end()}, 0.25) + 150)
                << m.points << " points, seed " << seed;
            EXPECT_GE(*std::max_element(r.begin(), r.end()), floor + 2000)
                << m.points << " points, seed " << seed;
        }
    }
}

TEST(Spectrum, ImpedanceShiftsEveryLevel) {
    const Measure base = RANGES[2];
    std::vector<INT16> at600 = synthetic(4, base, 17);
    for (UINT16 ohm : {100, 150, 4000}) {
        Measure m = base;
        m.impedance = ohm;
        std::vector<INT16> shifted = synthetic(4, m, 17);
        double expected = 1000 * log10(600.0 / ohm);
        for (int k = 0; k < m.points; ++k)
            ASSERT_NEAR(shifted[k] - at600[k], expected, 1.01) << ohm << " Ohm, point " << k;
    }
}

double hz(const Measure &m, double k) {
    return (m.start + k * m.step) / 2.0;
}

// Points that stand 15 dB over the floor most of the time.
std::vector<int> carrier_points(const Series &s) {
    int floor = median(s.point_median);
    std::vector<int> points;
    for (size_t k = 0; k < s.point_median.size(); ++k)
        if (s.point_median[k] >= floor + 1500) points.push_back(int(k));
    return points;
}

// Carriers stand where the seed puts them in every record; another seed puts them elsewhere.
TEST(Spectrum, CarriersStayPutAcrossRecords) {
    Series s(1, RANGES[2], 60);
    int floor = median(s.point_median);
    std::vector<int> carriers = carrier_points(s);
    ASSERT_FALSE(carriers.empty());
    size_t shared = 0;
    for (int k : carrier_points(Series(2, RANGES[2], 60)))
        shared += std::count(carriers.begin(), carriers.end(), k);
    EXPECT_LT(shared, carriers.size() / 2);
    for (int k : carriers)
        for (size_t i = 0; i < s.records.size(); ++i)
            EXPECT_GE(s.records[i][k], floor + 800) << "point " << k << ", record " << i;
}

// A carrier peak seen at a coarse step is there, as strong, within half a coarse step at a
// finer step that starts elsewhere.
TEST(Spectrum, CarriersKeepTheirFrequencyAtAFinerStep) {
    const Measure coarse = RANGES[4], fine = {1, 600, 3000000, 100000, 800};
    const double reach_hz = coarse.step / 4.0 + fine.step / 2.0;
    for (UINT32 seed : {1u, 7u}) {
        Series wide(seed, coarse, 9), narrow(seed, fine, 9);
        const std::vector<INT16> &peak = wide.point_median;
        int checked = 0;
        for (int k : carrier_points(wide)) {
            bool is_peak =
                k > 0 && k + 1 < coarse.points && peak[k] >= peak[k - 1] && peak[k] >= peak[k + 1];
            if (!is_peak || hz(coarse, k) < hz(fine, 0) ||
                hz(coarse, k) > hz(fine, fine.points - 1))
                continue;
            INT16 best = -32768;
            for (int j = 0; j < fine.points; ++j)
                if (fabs(hz(fine, j) - hz(coarse, k)) <= reach_hz)
                    best = std::max(best, narrow.point_median[j]);
            EXPECT_GE(best, peak[k] - 400) << "seed " << seed << ", " << hz(coarse, k) << " Hz";
            ++checked;
        }
        EXPECT_GT(checked, 0) << "seed " << seed;
    }
}

// Bursts raise a band (a run of 15 points) 5 dB over its usual level for a few records.
TEST(Spectrum, BurstsComeAndGoWithinSeconds) {
    const Measure m = RANGES[2];
    Series s(3, m, 1800);
    int run = 0, lasting = 0;
    for (const auto &r : s.records) {
        double best = -1e9;
        for (int k = 0; k + 15 <= m.points; ++k) {
            double sum = 0;
            for (int j = k; j < k + 15; ++j)
                sum += r[j] - s.point_median[j];
            best = std::max(best, sum / 15);
        }
        run = best >= 500 ? run + 1 : 0;
        lasting += run == 2;
        EXPECT_LE(run, 16);
    }
    EXPECT_GE(lasting, 5);
    EXPECT_LE(lasting, 40);
}

} // namespace
