// The synthetic spectrum: reproducible, shaped like a line measurement, and stable in frequency.
// Its exact levels for one set-up are pinned by the recordings of the host flows.
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

// Each point's median over records 0..count-1, so that a burst does not count.
std::vector<INT16> point_median(UINT32 seed, const Measure &m, int count) {
    std::vector<std::vector<INT16>> records;
    for (int i = 0; i < count; ++i)
        records.push_back(synthetic(seed, m, i));
    std::vector<INT16> median;
    for (int k = 0; k < m.points; ++k) {
        std::vector<INT16> column;
        for (const auto &r : records)
            column.push_back(r[k]);
        median.push_back(INT16(quantile(column, 0.5)));
    }
    return median;
}

// Another seed or index changes most points; the floor lies in its band and falls with
// frequency (judged on the lower quartile of each end, so that carriers do not count), and
// carriers stand well above it.
TEST(Spectrum, SeedAndIndexMatterAndTheFloorFallsUnderItsCarriers) {
    for (const Measure &m : RANGES) {
        SCOPED_TRACE(std::to_string(m.points) + " points");
        const std::vector<INT16> base = synthetic(1, m, 5);
        for (const std::vector<INT16> &other : {synthetic(2, m, 5), synthetic(1, m, 6)}) {
            int differing = 0;
            for (size_t k = 0; k < base.size(); ++k)
                differing += base[k] != other[k];
            EXPECT_GT(differing, m.points * 3 / 4);
        }
        for (UINT32 seed : {1u, 2u, 3u}) {
            const std::vector<INT16> r = point_median(seed, m, 15);
            const int floor = quantile(r, 0.5), quarter = m.points / 4;
            EXPECT_GT(floor, -13500);
            EXPECT_LT(floor, -10500);
            EXPECT_GT(quantile({r.begin(), r.begin() + quarter}, 0.25),
                      quantile({r.end() - quarter, r.end()}, 0.25) + 150);
            EXPECT_GE(*std::max_element(r.begin(), r.end()), floor + 2000);
        }
    }
}

double hz(const Measure &m, double k) {
    return (m.start + k * m.step) / 2.0;
}

// A carrier peak (a point 15 dB over the floor and over its neighbours) seen at a coarse step is
// there, as strong, within half a coarse step at a finer step that starts elsewhere.
TEST(Spectrum, CarriersKeepTheirFrequencyAtAFinerStep) {
    const Measure coarse = RANGES[4], fine = {1, 600, 3000000, 100000, 800};
    const double reach_hz = coarse.step / 4.0 + fine.step / 2.0;
    for (UINT32 seed : {1u, 7u}) {
        const std::vector<INT16> peak = point_median(seed, coarse, 9);
        const std::vector<INT16> narrow = point_median(seed, fine, 9);
        const int floor = quantile(peak, 0.5);
        int checked = 0;
        for (int k = 1; k + 1 < coarse.points; ++k) {
            if (peak[k] < floor + 1500 || peak[k] < peak[k - 1] || peak[k] < peak[k + 1] ||
                hz(coarse, k) < hz(fine, 0) || hz(coarse, k) > hz(fine, fine.points - 1))
                continue;
            INT16 best = -32768;
            for (int j = 0; j < fine.points; ++j)
                if (fabs(hz(fine, j) - hz(coarse, k)) <= reach_hz) best = std::max(best, narrow[j]);
            EXPECT_GE(best, peak[k] - 400) << "seed " << seed << ", " << hz(coarse, k) << " Hz";
            ++checked;
        }
        EXPECT_GT(checked, 0) << "seed " << seed;
    }
}

// Bursts raise a band (a run of 15 points) 5 dB over its usual level for a few records, and no
// point more than 40 dB.
TEST(Spectrum, BurstsComeAndGoWithinSeconds) {
    const Measure m = RANGES[2];
    const std::vector<INT16> usual = point_median(3, m, 1800);
    int run = 0, lasting = 0, highest = 0;
    for (int i = 0; i < 1800; ++i) {
        const std::vector<INT16> r = synthetic(3, m, i);
        double best = -1e9;
        for (int k = 0; k + 15 <= m.points; ++k) {
            double sum = 0;
            for (int j = k; j < k + 15; ++j) {
                sum += r[j] - usual[j];
                highest = std::max(highest, r[j] - usual[j]);
            }
            best = std::max(best, sum / 15);
        }
        run = best >= 500 ? run + 1 : 0;
        lasting += run == 2;
        EXPECT_LE(run, 16);
    }
    EXPECT_GE(lasting, 5);
    EXPECT_LE(lasting, 40);
    EXPECT_LE(highest, 4000);
}

} // namespace
