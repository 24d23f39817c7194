// A recording of one hour and of 24 hours on the virtual clock (3,600 and 86,400 records of 300
// points), run headless through wfalstart as the host runs it: the set-up dialog's Name and Start
// keys, the main dialog's 250 ms timer with the view following every record, and the host's stop
// request at the end. Each recording runs in a child process of its own, so that its peak memory
// (ru_maxrss) is its own; it must not grow with the length of the recording. The figures are the
// processor time per record of the recording (timer ticks, engine, file, view and repaints) and
// the peak memory, beside the baseline of the same records made by the engine and appended with
// one write and one flush each through the module's stream calls, with no window.
//
// The layer's fflush synchronises a written file to the device unless switched off; the long
// recordings run with it off (a day of fsyncs measures the disk, not the module). The cost of the
// synchronisation is measured apart: a ten-minute recording with it on and off.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <windows.h>
#include <acqsim.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/entry.h"
#include "resultfile/result_header.h"

namespace {

// What a recording child reports to the bench.
struct RecordFigures {
    long long records = 0;    // whole records in the file at the end
    double cpu = 0, wall = 0; // seconds from Start until the test stopped
    long rss_at_start_kb = 0; // peak memory when Start was pressed
    int errors = 0;           // message boxes: none is expected
};

double cpu_seconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double wall_seconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long peak_kb() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// ---- The host of a recording child ---------------------------------------------------------

enum class Phase { name, start, recording, stopping, closing };

struct BenchHost {
    ULONGLONG seconds = 0; // length of the recording
    Phase phase = Phase::name;
    ULONGLONG end_ms = 0;
    bool stop = false, running = false;
    double cpu_start = 0, wall_start = 0;
    RecordFigures figures;
} bench;

INT_PTR CALLBACK bench_service(int code, INT_PTR, INT_PTR b, INT_PTR c) {
    switch (code) {
    case HOST_EDIT_PATH:
        memcpy((WCHAR *)b, u"\\USB\\bench.res", sizeof u"\\USB\\bench.res");
        return 2;
    case HOST_MESSAGE_BOX: bench.figures.errors++; return 1;
    case HOST_STOP_REQUESTED: return bench.stop;
    case HOST_TEST_RUNNING:
        bench.running = c != 0;
        if (!bench.running) {
            bench.figures.cpu = cpu_seconds() - bench.cpu_start;
            bench.figures.wall = wall_seconds() - bench.wall_start;
        }
        return 0;
    default: return 0;
    }
}

// A press and release at the centre of the visible control with the id.
bool tap(int id) {
    HWND list[256];
    int n = wl_window_list(list, 256);
    for (int i = 0; i < n && i < 256; i++) {
        WlWindowInfo info;
        if (!wl_window_info(list[i], &info) || info.id != id || !info.visible) continue;
        int x = (info.rect.left + info.rect.right) / 2, y = (info.rect.top + info.rect.bottom) / 2;
        wl_input_press(x, y);
        wl_input_release(x, y);
        return true;
    }
    return false;
}

// Name, Start, then the timers up to the end of the recording; the stop request is seen by the
// next tick, and the dialog, a viewer once the test has stopped, is closed.
WlIdleResult bench_idle(void *) {
    ULONGLONG due = 0;
    switch (bench.phase) {
    case Phase::name: bench.phase = Phase::start; return tap(103) ? WL_IDLE_BUSY : WL_IDLE_WAIT;
    case Phase::start:
        bench.phase = Phase::recording;
        bench.end_ms = wl_clock_ms() + bench.seconds * 1000;
        bench.figures.rss_at_start_kb = peak_kb();
        bench.cpu_start = cpu_seconds();
        bench.wall_start = wall_seconds();
        return tap(101) ? WL_IDLE_BUSY : WL_IDLE_WAIT;
    case Phase::recording:
        if (wl_timer_next_due(&due) && due <= bench.end_ms) return WL_IDLE_WAIT;
        bench.stop = true;
        bench.phase = Phase::stopping;
        return WL_IDLE_WAIT;
    case Phase::stopping:
        if (bench.running) return WL_IDLE_WAIT;
        bench.phase = Phase::closing;
        PostMessageW(wl_window_top(), WM_CLOSE, 0, 0);
        return WL_IDLE_BUSY;
    case Phase::closing: return WL_IDLE_WAIT;
    }
    return WL_IDLE_WAIT;
}

std::string bench_root() {
    const char *base = getenv("WFAL_BENCH_TMP");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/wfal_record_bench";
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/USB").c_str(), 0755);
    mkdir((dir + "/Internal").c_str(), 0755);
    return dir;
}

long long file_records(const std::string &native) {
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return -1;
    ResultHeader h = {};
    h.points = 300;
    return result_record_count(LONGLONG(st.st_size), h);
}

// Runs in the child: the whole session through wfalstart.
RecordFigures record(ULONGLONG seconds, bool sync) {
    std::string root = bench_root();
    wl_fs_set_root(root.c_str());
    wl_fs_set_sync(sync ? TRUE : FALSE);
    SYSTEMTIME start = {2025, 1, 1, 6, 9, 0, 0, 0};
    wl_clock_use_virtual(&start);
    acqsim_reset();
    bench.seconds = seconds;
    wl_user_set_idle_hook(bench_idle, nullptr);
    wfalstart(nullptr, bench_service, 1, u"\\USB\\bench.res", 0, 1, u"Bench",
              u"\\Internal\\bench.set", u"\\none.txt", 0);
    wl_user_set_idle_hook(nullptr, nullptr);
    bench.figures.records = file_records(root + "/USB/bench.res");
    return bench.figures;
}

// The baseline: the same records from the engine, appended one write and one flush each.
RecordFigures baseline(ULONGLONG seconds, bool sync) {
    std::string root = bench_root();
    wl_fs_set_root(root.c_str());
    wl_fs_set_sync(sync ? TRUE : FALSE);
    RecordFigures f;
    ResultHeader h = {};
    FILE *file = _wfopen(u"\\USB\\baseline.res", u"wb");
    if (file == nullptr) return f;
    bool ok = fwrite(&h, sizeof h, 1, file) == 1 && fflush(file) == 0;
    AcqSimMeasure m = {1, 100, 20000, 20000, 300};
    INT16 levels[300];
    double cpu = cpu_seconds(), wall = wall_seconds();
    for (ULONGLONG i = 0; ok && i < seconds; i++) {
        ok = acqsim_spectrum(&m, i, levels) && fwrite(levels, sizeof levels, 1, file) == 1 &&
             fflush(file) == 0;
        f.records += ok;
    }
    f.cpu = cpu_seconds() - cpu;
    f.wall = wall_seconds() - wall;
    fclose(file);
    return f;
}

// Runs `work` in a child process; its figures come back through a pipe, its peak memory from
// wait4.
bool in_child(RecordFigures (*work)(ULONGLONG, bool), ULONGLONG seconds, bool sync,
              RecordFigures *figures, long *peak_kb_out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RecordFigures f = work(seconds, sync);
        ssize_t written = write(fds[1], &f, sizeof f);
        _exit(written == ssize_t(sizeof f) ? 0 : 1);
    }
    close(fds[1]);
    ssize_t got = pid > 0 ? read(fds[0], figures, sizeof *figures) : -1;
    close(fds[0]);
    int status = 0;
    rusage usage = {};
    if (pid <= 0 || wait4(pid, &status, 0, &usage) != pid) return false;
    *peak_kb_out = usage.ru_maxrss;
    return got == ssize_t(sizeof *figures) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void run_recording(benchmark::State &state, ULONGLONG seconds, bool sync) {
    RecordFigures rec, base;
    long rec_peak = 0, base_peak = 0;
    for (auto _ : state) {
        if (!in_child(record, seconds, sync, &rec, &rec_peak) ||
            !in_child(baseline, seconds, sync, &base, &base_peak)) {
            state.SkipWithError("a recording child failed");
            return;
        }
    }
    if (rec.records != (long long)seconds || rec.errors != 0 || base.records != rec.records) {
        state.SkipWithError("the recording did not hold one record per second");
        return;
    }
    const double per = 1e6 / double(rec.records);
    state.counters["records"] = double(rec.records);
    state.counters["cpu_us_per_record"] = rec.cpu * per;
    state.counters["wall_us_per_record"] = rec.wall * per;
    state.counters["base_cpu_us_per_record"] = base.cpu * per;
    state.counters["base_wall_us_per_record"] = base.wall * per;
    state.counters["peak_MB"] = double(rec_peak) / 1024;
    state.counters["peak_at_start_MB"] = double(rec.rss_at_start_kb) / 1024;
    state.counters["base_peak_MB"] = double(base_peak) / 1024;
}

void BM_RecordHourNoSync(benchmark::State &state) {
    run_recording(state, 3600, false);
}
void BM_RecordDayNoSync(benchmark::State &state) {
    run_recording(state, 86400, false);
}
void BM_RecordTenMinutesSync(benchmark::State &state) {
    run_recording(state, 600, true);
}
void BM_RecordTenMinutesNoSync(benchmark::State &state) {
    run_recording(state, 600, false);
}

} // namespace

BENCHMARK(BM_RecordTenMinutesSync)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RecordTenMinutesNoSync)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RecordHourNoSync)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RecordDayNoSync)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
