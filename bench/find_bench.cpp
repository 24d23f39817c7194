// Find through 30 days of 300-point records (2,592,000 records, 1.55 GB) without a hit: at all
// points, at all points with the change threshold in use, and at the marker only. Beside each,
// in the same run, the plain read of the same file in 1 MiB blocks with fread, the fastest that
// the bytes can come in; the figure ("ratio") is find's bytes per second over the plain read's,
// by wall time and by processor time. The file is made once in $WFAL_BENCH_TMP (else /tmp) and
// kept for later runs; an untimed plain read warms the page cache first.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include <strsafe.h>
#include <windows.h>
#include <winlayer.h>

#include "module/state.h"
#include "spectrogram/find.h"

#include "month_file.h"

namespace {

constexpr size_t BLOCK_BYTES = 1 << 20;

// Maps the bench folder as the device root, with the file in it.
bool prepare_file() {
    const std::string dir = month_folder();
    if (dir.empty()) return false;
    wl_fs_set_root(dir.c_str());
    StringCchCopyW(wfal.result_path, PATH_CHARS, TEXT("\\day.res"));
    return true;
}

// A search from record 0 that must find nothing.
bool find_nothing(Took *took) {
    wfal.view = ViewState{};
    wfal.view.points = POINTS;
    wfal.view.record_size = 2 * POINTS;
    wfal.view.data_offset = RESULT_HEADER_SIZE;
    wfal.view.marker_point = 150;
    wfal.run_state = RUN_LOADED;
    Timer timer;
    BOOL found = find_run();
    *took = timer.took();
    return !found;
}

void run_find(benchmark::State &state, FindParams params) {
    std::vector<char> buffer(BLOCK_BYTES);
    if (!prepare_file()) {
        state.SkipWithError("cannot make the result file");
        return;
    }
    wfal.find = params;
    beside_baseline(
        state, double(FILE_BYTES), "find", [](Took *took) { return find_nothing(took); },
        // The baseline reads through the module's stream functions.
        [&](Took *took) {
            return plain_read([] { return _wfopen(wfal.result_path, TEXT("rb")); }, &buffer, took);
        },
        "find found a record, or the plain read was short");
}

void BM_FindAllPoints(benchmark::State &state) {
    run_find(state, FindParams{-5000, FIND_NO_CHANGE, FIND_ALL_POINTS});
}
void BM_FindAllPointsChange(benchmark::State &state) {
    run_find(state, FindParams{-5000, 1000, FIND_ALL_POINTS});
}
void BM_FindAtMarker(benchmark::State &state) {
    run_find(state, FindParams{-5000, FIND_NO_CHANGE, 150});
}

BENCHMARK(BM_FindAllPoints)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllPointsChange)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAtMarker)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
