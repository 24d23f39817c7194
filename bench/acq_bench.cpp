// Speed of the simulated engine: one 800-point measure result made and fetched per virtual
// second, as a recorded day asks for 86,400 times, on the steady line and on the field line,
// beside the plain fill of the same levels from a bare generator, timed in the same run so the
// ratio holds on a busy machine.
#include <benchmark/benchmark.h>

#include <string.h>

#include <chrono>
#include <vector>

#include <acq.h>
#include <acqsim.h>
#include <winlayer.h>

namespace {

constexpr int POINTS = 800;

void start_measure(int scenario) {
    SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
    wl_clock_use_virtual(&start);
    acqsim_reset();
    acqsim_set_scenario(scenario);
    BYTE block[34] = {};
    const UINT16 head[] = {34, 8, 1, 2, 600};
    memcpy(block, head, sizeof head);
    const UINT32 start_step[] = {200000, 100000};
    memcpy(block + 12, start_step, sizeof start_step);
    const UINT16 points = POINTS;
    memcpy(block + 20, &points, sizeof points);
    acqcmd(block);
}

// Seconds per record of a bare xorshift fill of POINTS levels, averaged over `rounds`.
double plain_fill_seconds(std::vector<INT16> *levels, int64_t rounds) {
    UINT64 x = 88172645463325252ULL;
    auto start = std::chrono::steady_clock::now();
    for (int64_t r = 0; r < rounds; ++r) {
        for (INT16 &level : *levels) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            level = INT16(-12000 + int(x & 1023));
        }
        benchmark::DoNotOptimize(levels->data());
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count() / double(rounds);
}

void BM_MeasureResult800(benchmark::State &state, int scenario) {
    start_measure(scenario);
    std::vector<BYTE> buffer(ACQ_RESULT_BYTES);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        wl_clock_advance_ms(1000);
        if (!acqres(buffer.data())) state.SkipWithError("no result after a second");
        benchmark::DoNotOptimize(buffer.data());
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    double per_result = took.count() / double(state.iterations());
    std::vector<INT16> levels(POINTS);
    double per_fill = plain_fill_seconds(&levels, state.iterations());
    state.counters["us_per_result"] = per_result * 1e6;
    state.counters["us_per_plain_fill"] = per_fill * 1e6;
    state.counters["ratio"] = per_result / per_fill;
    state.counters["day_seconds"] = per_result * 86400;
    acqsim_reset();
    wl_clock_use_real();
}
BENCHMARK_CAPTURE(BM_MeasureResult800, steady, ACQSIM_SCENARIO_STEADY);
BENCHMARK_CAPTURE(BM_MeasureResult800, field, ACQSIM_SCENARIO_FIELD);

} // namespace

BENCHMARK_MAIN();
