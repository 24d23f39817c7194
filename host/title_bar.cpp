#include "title_bar.h"

#include "draw.h"
#include "frame.h"
#include "host.h"
#include "ui/gdi_holders.h"

namespace {

const WCHAR TITLE_CLASS[] = TEXT("wfal-host-title");

// A red dot: an octagon of radius 7 around the centre.
void paint_dot(HDC dc, int cx, int cy) {
    POINT dot[] = {{cx - 3, cy - 7}, {cx + 3, cy - 7}, {cx + 7, cy - 3}, {cx + 7, cy + 3},
                   {cx + 3, cy + 7}, {cx - 3, cy + 7}, {cx - 7, cy + 3}, {cx - 7, cy - 3}};
    GdiSelection brush(dc, CreateSolidBrush(TITLE_RECORDING_COLOUR), true);
    GdiSelection pen(dc, GetStockObject(NULL_PEN), false);
    Polygon(dc, dot, 8);
}

void paint_recording(HDC dc) {
    const RECT &r = TITLE_RECORDING;
    int cx = r.left + 9, cy = (r.top + r.bottom) / 2;
    paint_dot(dc, cx, cy);
    draw_text(dc, TEXT("REC"), RECT{cx + 12, r.top, r.right, r.bottom}, TITLE_RECORDING_COLOUR,
              true, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void paint_title(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all = {0, 0, HOST_SCREEN_WIDTH, TITLE_BAR_HEIGHT};
    draw_fill(dc, all, TITLE_BACKGROUND);
    draw_text(dc, host.title, RECT{10, 0, TITLE_RECORDING.left - 10, TITLE_BAR_HEIGHT},
              RGB(255, 255, 255), true, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (host.test_running) paint_recording(dc);
    draw_key(dc, TITLE_STOP_KEY, TEXT("Stop"),
             host.stop_key || host.stop_script || host_is_closing());
    EndPaint(hwnd, &ps);
}

void on_press(int x, int y) {
    if (!draw_inside(TITLE_STOP_KEY, x, y)) return;
    host.stop_key = true;
    title_bar_refresh();
}

LRESULT CALLBACK title_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: paint_title(hwnd); return 0;
    case WM_LBUTTONDOWN: on_press(short(LOWORD(lparam)), short(HIWORD(lparam))); return 0;
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

} // namespace

bool title_bar_create(HWND owner) {
    if (!frame_register_class(TITLE_CLASS, title_proc)) return false;
    host.title_bar = CreateWindowExW(0, TITLE_CLASS, TEXT(""), WS_POPUP | WS_VISIBLE, 0, 0,
                                     HOST_SCREEN_WIDTH, TITLE_BAR_HEIGHT, owner, NULL, NULL, NULL);
    return host.title_bar != NULL;
}

void title_bar_refresh() {
    if (host.title_bar) InvalidateRect(host.title_bar, NULL, FALSE);
}
