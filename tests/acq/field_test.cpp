// The field line: its disturbances come and go as their models promise and they show in the
// spectrum where and when the model says. The engine's field results at their local times are
// pinned by the flow host_demo, which records ten minutes of the field line.
#include <algorithm>

#include "support/acq_client.h"

namespace {

using namespace acqtest;

const SYSTEMTIME MIDNIGHT = {2025, 1, 1, 6, 0, 0, 0, 0};
const LONGLONG DAY0_MS = acqsim_local_ms(&MIDNIGHT);
const Measure MHZ3 = {1, 600, 20000, 20000, 300}, MHZ35 = {1, 600, 200000, 200000, 353};

struct Stretch {
    LONGLONG start, seconds;
    DWORD hz;
};

// The stretches of seconds from midnight in which `what` is under way.
std::vector<Stretch> runs(UINT32 seed, LONGLONG seconds, BOOL AcqSimFieldEvents::*what) {
    std::vector<Stretch> found;
    AcqSimFieldEvents e;
    for (LONGLONG s = 0; s < seconds; ++s) {
        acqsim_field_events(seed, DAY0_MS + s * 1000, &e);
        if (!(e.*what)) continue;
        if (found.empty() || found.back().start + found.back().seconds != s)
            found.push_back({s, 0, e.interferer_hz});
        found.back().seconds++;
    }
    return found;
}

std::vector<INT16> field(UINT32 seed, const Measure &m, LONGLONG second) {
    std::vector<INT16> out(m.points);
    AcqSimMeasure sim = {seed, m.impedance, m.start, m.step, m.points};
    EXPECT_TRUE(acqsim_field_spectrum(&sim, DAY0_MS + second * 1000, out.data()));
    return out;
}

int median(std::vector<int> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Each of a few minutes apart, one to three seconds long, 20 to 40 dB over the floor across the
// band (judged against the quiet second before it, on the median of the points).
TEST(FieldLine, BurstsRepeatEveryFewMinutesForOneToThreeSeconds) {
    for (UINT32 seed : {1u, 2u, 3u}) {
        const std::vector<Stretch> bursts = runs(seed, 6 * 3600, &AcqSimFieldEvents::burst);
        ASSERT_GE(bursts.size(), 60u) << "seed " << seed;
        for (size_t i = 0; i < bursts.size(); ++i) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " at " + std::to_string(bursts[i].start));
            EXPECT_TRUE(bursts[i].seconds >= 1 && bursts[i].seconds <= 3) << bursts[i].seconds;
            const LONGLONG gap = i > 0 ? bursts[i].start - bursts[i - 1].start : 200;
            EXPECT_TRUE(gap >= 120 && gap <= 360) << gap;
            if (i > 5) continue;
            const std::vector<INT16> on = field(seed, MHZ3, bursts[i].start),
                                     off = field(seed, MHZ3, bursts[i].start - 1);
            std::vector<int> rise(on.begin(), on.end());
            for (int k = 0; k < MHZ3.points; ++k)
                rise[k] -= off[k];
            EXPECT_TRUE(median(rise) >= 1500 && median(rise) <= 4500) << median(rise);
        }
    }
}

// On for minutes, off for tens of minutes; while on, its frequency stands 10 dB over what is
// there a minute after it has gone, unless a stronger carrier hides it (a few of the times).
TEST(FieldLine, InterfererIsOnForMinutesAtItsFrequency) {
    for (UINT32 seed : {1u, 4u}) {
        const std::vector<Stretch> on = runs(seed, 24 * 3600, &AcqSimFieldEvents::interferer);
        ASSERT_GE(on.size(), 15u);
        int shown = 0, in_range = 0;
        for (size_t i = 0; i < on.size(); ++i) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " at " + std::to_string(on[i].start));
            EXPECT_TRUE(on[i].seconds >= 60 && on[i].seconds <= 15 * 60) << on[i].seconds;
            const LONGLONG off = i > 0 ? on[i].start - on[i - 1].start - on[i - 1].seconds : 600;
            EXPECT_TRUE(off >= 10 * 60 && off <= 100 * 60) << off;
            const double k = (2.0 * on[i].hz - MHZ35.start) / MHZ35.step;
            if (k < 1 || k > MHZ35.points - 2) continue;
            shown += field(seed, MHZ35, on[i].start + on[i].seconds / 2)[size_t(k + 0.5)] >=
                     field(seed, MHZ35, on[i].start + on[i].seconds + 60)[size_t(k + 0.5)] + 1000;
            ++in_range;
        }
        EXPECT_GE(in_range, 10) << "seed " << seed;
        EXPECT_GE(shown, in_range * 3 / 4) << "seed " << seed;
    }
}

// Medium-wave points (531 to 1602 kHz) 10 dB higher at 02:00 than at 14:00, judged on each
// point's median over a quarter of an hour; below the band night and day are alike.
TEST(FieldLine, IngressIsStrongerAtNightThanByDay) {
    for (UINT32 seed : {1u, 2u}) {
        std::vector<std::vector<int>> night(MHZ3.points), day(MHZ3.points);
        for (LONGLONG minute = 0; minute < 15; ++minute) {
            const std::vector<INT16> n = field(seed, MHZ3, 2 * 3600 + 60 * minute),
                                     d = field(seed, MHZ3, 14 * 3600 + 60 * minute);
            for (int k = 0; k < MHZ3.points; ++k)
                night[k].push_back(n[k]), day[k].push_back(d[k]);
        }
        int raised = 0;
        std::vector<int> below;
        for (int k = 0; k < MHZ3.points; ++k) {
            const double hz = (MHZ3.start + k * MHZ3.step) / 2.0;
            const int gain = median(night[k]) - median(day[k]);
            if (hz >= 531e3 && hz <= 1602e3) raised += gain >= 1000;
            if (hz < 500e3) below.push_back(gain);
        }
        EXPECT_GE(raised, 5) << "seed " << seed;
        EXPECT_LE(abs(median(below)), 300) << "seed " << seed;
    }
}

// The impedance shifts every level by 10 log10(600 / Z), as on the steady line; the seed
// chooses the line.
TEST(FieldLine, ImpedanceShiftsEveryPoint) {
    const std::pair<UINT16, int> cases[] = {{150, 602}, {100, 778}, {4000, -824}};
    const std::vector<INT16> at600 = field(3, MHZ3, 3600);
    EXPECT_NE(field(4, MHZ3, 3600), at600); // another seed, another line
    for (const auto &[ohm, shift] : cases) {
        const std::vector<INT16> other = field(3, {1, ohm, 20000, 20000, 300}, 3600);
        for (int k = 0; k < MHZ3.points; ++k)
            ASSERT_NEAR(other[k] - at600[k], shift, 1) << ohm << " Ohm, point " << k;
    }
}

} // namespace
