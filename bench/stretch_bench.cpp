// StretchDIBits of one 300-point spectrogram row onto 615 pixels, in rows per second, beside
// a plain memcpy of the same 615 destination pixels measured in the same run.
#include <benchmark/benchmark.h>

#include <windows.h>
#include <wlgdi.h>

#include <string.h>

#include <vector>

#include "memory_bitmap.h"

namespace {

constexpr int POINTS = 300;
constexpr int PIXELS = 615;
constexpr int ROWS = 64; // rows of the target, drawn in turn as the spectrogram does

void stretch_row(benchmark::State &state) {
    MemoryBitmap t(PIXELS, ROWS);
    BITMAPINFO info = {};
    info.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), POINTS, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> row(POINTS * 3);
    for (size_t i = 0; i < row.size(); ++i)
        row[i] = uint8_t(i * 7);
    int y = 0;
    for (auto _ : state) {
        StretchDIBits(t.dc, 0, y, PIXELS, 1, 0, 0, POINTS, 1, row.data(), &info, DIB_RGB_COLORS,
                      SRCCOPY);
        y = (y + 1) % ROWS;
    }
    benchmark::ClobberMemory();
    state.SetItemsProcessed(state.iterations()); // items = rows
}

// The floor: copying the 615 finished pixels of a row, without any mapping or conversion.
void memcpy_row(benchmark::State &state) {
    MemoryBitmap t(PIXELS, ROWS);
    uint32_t *pixels;
    int stride, w, h;
    wl_gdi_bitmap_pixels(t.bitmap, &pixels, &stride, &w, &h);
    std::vector<uint32_t> source(PIXELS, 0x123456);
    int y = 0;
    for (auto _ : state) {
        memcpy(pixels + size_t(y) * stride, source.data(), PIXELS * sizeof(uint32_t));
        benchmark::ClobberMemory();
        y = (y + 1) % ROWS;
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(stretch_row);
BENCHMARK(memcpy_row);
BENCHMARK_MAIN();
