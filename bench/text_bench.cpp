// Text drawing speed: a line of the graph font drawn glyph by glyph, beside a plain copy of the
// same destination pixels timed in the same run, so the ratio holds on a busy machine.
#include <benchmark/benchmark.h>

#include <string.h>

#include <chrono>
#include <vector>

#include "gdi/font/font_engine.h"

namespace {

const WCHAR LINE[] = u"M1 1234.567 MHz  -87.3 dBm  12:34:56  Span 20.000 MHz  RBW 30 kHz";
constexpr int LINE_CHARS = sizeof(LINE) / sizeof(LINE[0]) - 1;

FontInstance *graph_font() {
    LOGFONTW lf = {};
    lf.lfHeight = 14;
    lf.lfWidth = 7;
    const WCHAR face[] = u"courier new";
    for (int i = 0; face[i] != 0; ++i)
        lf.lfFaceName[i] = face[i];
    return font_engine_get(lf);
}

// Seconds per copy of `src` into `dst`, averaged over `rounds` copies.
double memcpy_seconds(std::vector<uint32_t> *dst, const std::vector<uint32_t> &src,
                      int64_t rounds) {
    auto start = std::chrono::steady_clock::now();
    for (int64_t r = 0; r < rounds; ++r) {
        memcpy(dst->data(), src.data(), src.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(dst->data());
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count() / (double)rounds;
}

void BM_GraphFontLine(benchmark::State &state) {
    FontInstance *font = graph_font();
    SIZE size = font_engine_extent(font, LINE, LINE_CHARS);
    std::vector<uint32_t> pixels((size_t)size.cx * size.cy, 0x00FFFFFF);
    const Surface surface = {pixels.data(), (int)size.cx, (int)size.cx, (int)size.cy};
    const ClipRect clip = {0, 0, (int)size.cx, (int)size.cy};
    font_engine_draw(font, surface, clip, 0, 0, LINE, LINE_CHARS, 0, nullptr); // fills the cache
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        font_engine_draw(font, surface, clip, 0, 0, LINE, LINE_CHARS, 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    double draw = took.count() / (double)state.iterations();
    // The baseline copies exactly the pixels the line covers, as many times as it was drawn.
    std::vector<uint32_t> copy(pixels.size());
    double copy_time = memcpy_seconds(&copy, pixels, state.iterations());
    state.counters["chars_per_s"] = LINE_CHARS / draw;
    state.counters["memcpy_chars_per_s"] = LINE_CHARS / copy_time;
    state.counters["draw_vs_memcpy"] = copy_time / draw;
    font_engine_shutdown();
}
BENCHMARK(BM_GraphFontLine);

} // namespace

BENCHMARK_MAIN();
