// What the benchmarks that read a month of records share: the 30-day result file of 300-point
// records (2,592,000 records, 1.55 GB), made once in $WFAL_BENCH_TMP (else /tmp) under
// wfal_find_bench/day.res and kept for later runs, and a clock of wall and processor time.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <windows.h>

#include "resultfile/result_header.h"

// Wall and processor seconds of one pass; the machine is shared, so both are reported.
struct Took {
    double wall = 0, cpu = 0;
};

inline double cpu_now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Timer {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = cpu_now();
    Took took() const {
        std::chrono::duration<double> w = std::chrono::steady_clock::now() - wall;
        return Took{w.count(), cpu_now() - cpu};
    }
};

constexpr int POINTS = 300;
constexpr long long RECORD_BYTES = 2 * POINTS;
constexpr long long RECORDS = 2592000;
constexpr long long FILE_BYTES = RESULT_HEADER_SIZE + RECORDS * RECORD_BYTES;

// Levels between -90 and -70 dB that change by up to 20 dB from record to record: no level
// reaches a find threshold of -50 dB.
inline INT16 month_level(long long record, int point) {
    return INT16(-9000 + int((record * 7919 + point * 104729) % 2000));
}

inline ResultHeader month_header() {
    ResultHeader h;
    memset(&h, 0, sizeof h);
    memcpy(h.magic, RESULT_MAGIC, sizeof h.magic);
    h.header_size = RESULT_HEADER_SIZE;
    h.start_year = 2024, h.start_month = 3, h.start_day = 4;
    h.range = 3000000, h.impedance = 600, h.frequency_step = 20000, h.points = POINTS;
    header_seal(&h);
    return h;
}

inline bool month_write(const std::string &path) {
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    ResultHeader h = month_header();
    bool ok = fwrite(&h, sizeof h, 1, f) == 1;
    std::vector<INT16> block(size_t(POINTS) * 1000);
    for (long long r = 0; ok && r < RECORDS; r += 1000) {
        for (int k = 0; k < 1000; ++k)
            for (int p = 0; p < POINTS; ++p)
                block[size_t(k) * POINTS + p] = month_level(r + k, p);
        ok = fwrite(block.data(), sizeof(INT16), block.size(), f) == block.size();
    }
    return fclose(f) == 0 && ok;
}

// The folder that holds day.res, the file made first when it is missing or of another size;
// empty when it can't be made.
inline std::string month_folder() {
    const char *base = getenv("WFAL_BENCH_TMP");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/wfal_find_bench";
    mkdir(dir.c_str(), 0755);
    std::string path = dir + "/day.res";
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || st.st_size != FILE_BYTES) {
        if (!month_write(path)) return "";
    }
    return dir;
}

// The baseline: the whole file in 1 MiB blocks (`buffer`'s size) from the stream `open` gives;
// false when it was not all read.
template <class Open>
bool plain_read(Open open, std::vector<char> *buffer, Took *took) {
    Timer timer;
    FILE *f = open();
    long long total = 0;
    size_t got;
    while (f != nullptr && (got = fread(buffer->data(), 1, buffer->size(), f)) > 0)
        total += (long long)got;
    if (f != nullptr) fclose(f);
    *took = timer.took();
    return total == FILE_BYTES;
}

// Runs the measured pass and the baseline pass in turn, once per iteration, after one untimed
// baseline pass that warms the page cache. Reports `name`'s and the baseline's bytes per second
// and the ratio of their wall and processor times; a pass that answers false ends the run.
template <class Measured, class Baseline>
void beside_baseline(benchmark::State &state, double bytes_per_pass, const std::string &name,
                     Measured measured, Baseline baseline, const char *failure) {
    Took measured_total, baseline_total, m, b;
    baseline(&b);
    for (auto _ : state) {
        if (!measured(&m) || !baseline(&b)) {
            state.SkipWithError(failure);
            return;
        }
        measured_total.wall += m.wall, measured_total.cpu += m.cpu;
        baseline_total.wall += b.wall, baseline_total.cpu += b.cpu;
    }
    double bytes = bytes_per_pass * double(state.iterations());
    state.counters[name + "_GBps"] = bytes / measured_total.wall / 1e9;
    state.counters["plain_GBps"] = bytes / baseline_total.wall / 1e9;
    state.counters["ratio"] = baseline_total.wall / measured_total.wall;
    state.counters["cpu_ratio"] = baseline_total.cpu / measured_total.cpu;
}
