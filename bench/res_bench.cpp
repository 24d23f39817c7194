// wfal-res over 30 days of 300-point records (2,592,000 records, 1.55 GB): the month's picture
// (1200 x 800, every row the maximum of its records), events without a hit, and the per-point
// statistics. Beside each, in the same run, the plain read of the same file in 1 MiB blocks; the
// figure ("ratio") is the command's bytes per second over the plain read's. The process's peak
// resident memory is reported as peak_MB. The file is shared with the Find benchmark (made once
// in $WFAL_BENCH_TMP, else /tmp); an untimed plain read warms the page cache first.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "commands.h"
#include "result_reader.h"

#include "month_file.h"

namespace {

constexpr size_t BLOCK_BYTES = 1 << 20;

double peak_mb() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One command over the month: true when it ended with status 0.
template <class Command>
void run_command(benchmark::State &state, const char *name, Command command) {
    const std::string dir = month_folder();
    if (dir.empty()) {
        state.SkipWithError("cannot make the result file");
        return;
    }
    const std::string path = dir + "/day.res";
    std::vector<char> buffer(BLOCK_BYTES);
    beside_baseline(
        state, double(FILE_BYTES), name,
        [&](Took *took) {
            Timer timer;
            const int status = command(path, dir);
            *took = timer.took();
            return status == RES_OK;
        },
        [&](Took *took) {
            return plain_read([&] { return fopen(path.c_str(), "rb"); }, &buffer, took);
        },
        "the command failed");
    state.counters["peak_MB"] = peak_mb();
}

void BM_ResPngMonth(benchmark::State &state) {
    run_command(state, "png", [](const std::string &path, const std::string &dir) {
        PngOptions o;
        o.file = path, o.out = dir + "/month.png";
        return res_png(o);
    });
}

void BM_ResEventsNoHit(benchmark::State &state) {
    run_command(state, "events", [](const std::string &path, const std::string &) {
        EventsOptions o;
        o.file = path, o.threshold = -50;
        FILE *null = fopen("/dev/null", "w");
        const int status = res_events(o, null);
        fclose(null);
        return status;
    });
}

void BM_ResStats(benchmark::State &state) {
    run_command(state, "stats", [](const std::string &path, const std::string &) {
        StatsOptions o;
        o.file = path;
        FILE *null = fopen("/dev/null", "w");
        const int status = res_stats(o, null);
        fclose(null);
        return status;
    });
}

BENCHMARK(BM_ResPngMonth)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResEventsNoHit)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResStats)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
