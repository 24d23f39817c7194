// A full WM_PAINT of the spectrogram window over a day of 300-point records (86,400), at random
// top rows, in repaints per second: at the main dialog's initial split (window 615 x 263) and
// with the spectrogram alone (615 x 439). Beside each, in the same run, the floor: reading the
// same rows (one seek, one read per row) and mapping them through a 224-colour lookup into a
// 32-bit image of the picture's size.
#include <benchmark/benchmark.h>

#include <windows.h>
#include <strsafe.h>
#include <winlayer.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "module/state.h"
#include "spectrogram/palette.h"
#include "spectrogram/spectrogram_window.h"

namespace {

constexpr int POINTS = 300;
constexpr int RECORDS = 86400;
constexpr int WINDOW_WIDTH = 615;
constexpr int SPLIT_HEIGHT = 443 - 180;
constexpr int ALONE_HEIGHT = 439;
constexpr int BLACK = -12000, WHITE = 1000;
constexpr int SCROLL_BAR = 16; // the window scroll bar takes this much of the width

// Levels of a noisy floor with a few carriers and slow drift, different in every record.
INT16 level_at(unsigned record, unsigned point, unsigned *seed) {
    *seed = *seed * 1103515245u + 12345u;
    int level = -10000 + int(*seed >> 16) % 1500 + int(record % 3600) / 4;
    if (point % 61 == 7) level += 6000;
    return INT16(level);
}

// The device root with the result file "\day.res", made once for the whole run.
struct DayFile {
    std::string dir;
    std::string path;
    DayFile() {
        const char *base = getenv("WFAL_TEST_TMP");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/repaintXXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data())) abort();
        dir = name.data();
        path = dir + "/day.res";
        write();
        wl_fs_set_root(dir.c_str());
    }
    ~DayFile() {
        remove(path.c_str());
        rmdir(dir.c_str());
    }
    void write() const {
        FILE *f = fopen(path.c_str(), "wb");
        if (!f) abort();
        ResultHeader h = {};
        memcpy(h.magic, "WFAL", 4);
        h.header_size = sizeof h;
        h.points = POINTS;
        header_seal(&h);
        fwrite(&h, sizeof h, 1, f);
        std::vector<INT16> record(POINTS);
        unsigned seed = 1;
        for (unsigned r = 0; r < RECORDS; ++r) {
            for (unsigned p = 0; p < POINTS; ++p)
                record[p] = level_at(r, p, &seed);
            fwrite(record.data(), sizeof(INT16), POINTS, f);
        }
        if (fclose(f) != 0) abort();
    }
};

const DayFile &day_file() {
    static DayFile file;
    return file;
}

void set_view() {
    ViewState &v = wfal.view;
    v = ViewState{};
    v.mode = VIEW_STILL;
    v.margin_left = VIEW_MARGIN_LEFT, v.margin_top = VIEW_MARGIN_TOP;
    v.margin_right = VIEW_MARGIN_RIGHT, v.margin_bottom = VIEW_MARGIN_BOTTOM;
    v.points = POINTS, v.record_size = 2 * POINTS, v.data_offset = sizeof(ResultHeader);
    v.black_level = BLACK, v.white_level = WHITE;
    StringCchCopyW(v.level_unit, VIEW_UNIT_CHARS, TEXT("dBm"));
    StringCchCopyW(v.time_text, VIEW_TIME_CHARS,
                   TEXT("Spectrogram\nMarker:\n01/02/2020\n10:00:00"));
    wfal.file_size = sizeof(ResultHeader) + (LONGLONG)RECORDS * 2 * POINTS;
    StringCchCopyW(wfal.result_path, PATH_CHARS, TEXT("\\day.res"));
}

// Random top rows, the same sequence for the repaint and its floor.
struct TopRows {
    unsigned seed = 7;
    int next(int rows) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(RECORDS - rows));
    }
};

// The spectrogram window in a full-screen parent, as the main dialog holds it.
struct ViewWindow {
    HWND parent, view;
    explicit ViewWindow(int height) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = TEXT("bench_parent");
        RegisterClassW(&wc);
        wc.lpfnWndProc = spectrogram_window_proc;
        wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
        wc.lpszClassName = SPECTROGRAM_CLASS;
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, TEXT("bench_parent"), TEXT(""), WS_POPUP | WS_VISIBLE, 0, 0,
                                 800, 480, NULL, NULL, wc.hInstance, NULL);
        view = CreateWindowExW(0, SPECTROGRAM_CLASS, TEXT(""), WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                               0, 0, WINDOW_WIDTH, height, parent, (HMENU)203, wc.hInstance, NULL);
    }
    ~ViewWindow() {
        DestroyWindow(parent);
        UnregisterClassW(SPECTROGRAM_CLASS, GetModuleHandleW(NULL));
        UnregisterClassW(TEXT("bench_parent"), GetModuleHandleW(NULL));
    }
};

int picture_rows(const benchmark::State &state) {
    return (int)state.range(0) - VIEW_MARGIN_TOP - VIEW_MARGIN_BOTTOM;
}

void repaint_once(const ViewWindow &w, int top, int rows) {
    wfal.view.top_record = top;
    wfal.view.cursor_record = top + rows / 2;
    InvalidateRect(w.view, NULL, FALSE);
    UpdateWindow(w.view);
}

// The floor: the same rows read and mapped into a picture-sized 32-bit image, each column
// taking the point under its centre.
struct ReadAndMap {
    int width = WINDOW_WIDTH - SCROLL_BAR - VIEW_MARGIN_LEFT - VIEW_MARGIN_RIGHT;
    int rows;
    uint32_t colours[PALETTE_SIZE];
    std::vector<int> column;
    std::vector<uint32_t> image;

    explicit ReadAndMap(int picture_rows) : rows(picture_rows), column(width) {
        for (int i = 0; i < PALETTE_SIZE; ++i)
            colours[i] = palette_colour(i);
        for (int x = 0; x < width; ++x)
            column[x] = (2 * x + 1) * POINTS / (2 * width);
        image.resize(size_t(width) * rows);
    }
    void run(int top) {
        INT16 samples[POINTS];
        uint32_t mapped[POINTS];
        FILE *f = _wfopen(wfal.result_path, TEXT("rb"));
        fseek(f, long(sizeof(ResultHeader) + (LONGLONG)top * 2 * POINTS), SEEK_SET);
        for (int r = 0; r < rows; ++r) {
            if (fread(samples, 2 * POINTS, 1, f) != 1) break;
            for (int p = 0; p < POINTS; ++p) {
                int index = (samples[p] - BLACK) * 223 / (WHITE - BLACK);
                mapped[p] = colours[index < 0 ? 0 : index > 223 ? 223 : index];
            }
            uint32_t *line = &image[size_t(r) * width];
            for (int x = 0; x < width; ++x)
                line[x] = mapped[column[x]];
        }
        fclose(f);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
};

void repaint(benchmark::State &state) {
    day_file();
    set_view();
    ViewWindow w((int)state.range(0));
    TopRows tops;
    for (auto _ : state)
        repaint_once(w, tops.next(picture_rows(state)), picture_rows(state));
    state.SetItemsProcessed(state.iterations()); // items = repaints
}

void read_and_map(benchmark::State &state) {
    day_file();
    set_view();
    ReadAndMap floor(picture_rows(state));
    TopRows tops;
    for (auto _ : state)
        floor.run(tops.next(picture_rows(state)));
    state.SetItemsProcessed(state.iterations());
}

double thread_seconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + t.tv_nsec * 1e-9;
}

// Both in turn at each top row, timed on this thread's CPU clock: other programs on the machine
// change both figures alike, so the ratio holds.
void repaint_to_floor(benchmark::State &state) {
    day_file();
    set_view();
    ViewWindow w((int)state.range(0));
    ReadAndMap floor(picture_rows(state));
    TopRows tops;
    double repaint_time = 0, floor_time = 0;
    for (auto _ : state) {
        const int top = tops.next(picture_rows(state));
        const double t0 = thread_seconds();
        repaint_once(w, top, picture_rows(state));
        const double t1 = thread_seconds();
        floor.run(top);
        floor_time += thread_seconds() - t1;
        repaint_time += t1 - t0;
    }
    const double n = (double)state.iterations();
    state.counters["repaint_us"] = repaint_time / n * 1e6;
    state.counters["floor_us"] = floor_time / n * 1e6;
    state.counters["ratio"] = repaint_time / floor_time;
}

BENCHMARK(repaint)->Arg(SPLIT_HEIGHT)->Arg(ALONE_HEIGHT)->Unit(benchmark::kMicrosecond);
BENCHMARK(read_and_map)->Arg(SPLIT_HEIGHT)->Arg(ALONE_HEIGHT)->Unit(benchmark::kMicrosecond);
BENCHMARK(repaint_to_floor)->Arg(SPLIT_HEIGHT)->Arg(ALONE_HEIGHT)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
