// The "graph" window owns no data: every paint renders graph record 0 off screen and shows it in
// one copy, and a click in the plot area becomes a data index for the record's handler.
#include <windows.h>

#include "graph/graph_render.h"
#include "graph/graph_scale.h"
#include "graph/graph_window.h"
#include "module/state.h"
#include "ui/gdi_holders.h"

namespace {

constexpr int GRAPH_SHOWN = 0;
constexpr int GRAPH_PEN_WIDTH = 1;
constexpr int GRAPH_FONT_HEIGHT = 14;

// A failed bitmap leaves this paint blank; the paint is still ended so it is not asked again.
void compose(HDC paint_dc, int w, int h) {
    MemoryDc memory(paint_dc);
    GdiOwned<HBITMAP> bitmap(CreateCompatibleBitmap(paint_dc, w, h));
    if (!memory.get() || !bitmap.get()) return;
    GdiSelection selected(memory.get(), bitmap.get(), false);
    const RECT all = {0, 0, w, h};
    FillRect(memory.get(), &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    render_graph(GRAPH_SHOWN, 0, 0, w, h, GRAPH_PEN_WIDTH, GRAPH_FONT_HEIGHT, 1, 1.0, 1.0,
                 memory.get());
    BitBlt(paint_dc, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
}

LRESULT on_paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    if (dc) compose(dc, client.right - client.left, client.bottom - client.top);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT on_click(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    const GraphRecord &r = wfal.graph[GRAPH_SHOWN];
    if (!r.on_click) return 0;
    RECT client;
    GetClientRect(hwnd, &client);
    int index;
    if (!graph_click_index(r, client.right - client.left, client.bottom - client.top,
                           LOWORD(lparam), HIWORD(lparam), &index))
        return DefWindowProcW(hwnd, WM_LBUTTONDOWN, wparam, lparam);
    r.on_click(GRAPH_SHOWN, index);
    return 0;
}

} // namespace

LRESULT CALLBACK graph_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: return on_paint(hwnd);
    case WM_LBUTTONDOWN: return on_click(hwnd, wparam, lparam);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}
