// render_graph of the spectrum view's 424-point graph into a buffer the size of the graph
// window at the main dialog's initial split (615 x 176), in renders per second, beside the
// white fill of the same buffer that every paint does first, measured in the same run.
#include <benchmark/benchmark.h>

#include <windows.h>
#include <strsafe.h>

#include "graph/graph_render.h"
#include "module/state.h"

#include "memory_bitmap.h"

namespace {

constexpr int POINTS = 424;
constexpr int WIDTH = 615;
constexpr int HEIGHT = 176;

// A graph as the spectrum view fills it: a noisy floor with a few carriers, 14 level labels,
// three frequency labels, the marker and a readout in the right margin.
void fill_spectrum_graph() {
    GraphRecord &r = wfal.graph[0];
    r = GraphRecord{};
    r.enabled = r.trace_count = 1;
    r.point_count = POINTS;
    r.trace_style[0] = 1;
    r.last_index[0] = POINTS - 1;
    r.level_min = -12000, r.level_max = 1000;
    r.margin_left = 40, r.margin_top = 18, r.margin_right = 118, r.margin_bottom = 16;
    r.corner_text_x = 50, r.x_label_y = 2, r.left_text_x = 5;
    unsigned seed = 12345;
    for (int i = 0; i < POINTS; ++i) {
        seed = seed * 1103515245u + 12345u;
        r.levels[0][i] = -10000 + int(seed >> 16) % 800 + (i % 97 == 0 ? 6000 : 0);
    }
    r.y_label_count = 14;
    for (int k = 0; k < 14; ++k) {
        r.y_label_level[k] = -12000 + 1000 * k;
        StringCchPrintfW(r.y_label_text[k], GRAPH_TEXT_CHARS, TEXT("%4g"),
                         r.y_label_level[k] / 100.0);
    }
    r.x_label_count = 3;
    r.x_label_index[1] = POINTS / 2, r.x_label_index[2] = POINTS - 1;
    StringCchCopyW(r.x_label_text[0], GRAPH_TEXT_CHARS, TEXT(" 0.000"));
    StringCchCopyW(r.x_label_text[1], GRAPH_TEXT_CHARS, TEXT("MHz"));
    StringCchCopyW(r.x_label_text[2], GRAPH_TEXT_CHARS, TEXT("30.000"));
    StringCchCopyW(r.unit_text, GRAPH_TEXT_CHARS, TEXT("dBm"));
    r.grid_colour = RGB(192, 192, 192);
    r.cursor1_on = 1, r.cursor1_index = 200, r.cursor1_colour = RGB(192, 128, 128);
    StringCchCopyW(r.side_text, GRAPH_SIDE_CHARS,
                   TEXT("Marker\n14.150 MHz\n-61.20 dBm\n\nMaximum\n3.500 MHz\n-35.10 dBm"));
}

void clear_white(HDC dc) {
    const RECT all = {0, 0, WIDTH, HEIGHT};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
}

void render_spectrum_graph(benchmark::State &state) {
    fill_spectrum_graph();
    MemoryBitmap buffer(WIDTH, HEIGHT);
    for (auto _ : state) {
        clear_white(buffer.dc);
        render_graph(0, 0, 0, WIDTH, HEIGHT, 1, 14, 1, 1.0, 1.0, buffer.dc);
    }
    benchmark::ClobberMemory();
    state.SetItemsProcessed(state.iterations()); // items = renders
}

// The baseline: the white fill alone.
void white_fill(benchmark::State &state) {
    MemoryBitmap buffer(WIDTH, HEIGHT);
    for (auto _ : state)
        clear_white(buffer.dc);
    benchmark::ClobberMemory();
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(render_spectrum_graph);
BENCHMARK(white_fill);

} // namespace

BENCHMARK_MAIN();
