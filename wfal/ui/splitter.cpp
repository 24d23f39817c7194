// The splitter bar. It never moves itself: each pointer move during a drag tells the parent
// where the bar's top should be, keeping the point where it was grabbed under the pointer.
#include <windows.h>

#include "ui/splitter.h"

namespace {

// One drag state for the module: there is one splitter.
struct SplitterDrag {
    BOOL dragging;
    WORD grab_offset; // bar client y of the press
};

SplitterDrag drag;

// The bar's top in its parent's client coordinates.
LONG bar_top(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT top_left = {r.left, r.top};
    ScreenToClient(GetParent(hwnd), &top_left);
    return top_left.y;
}

LRESULT on_button_down(HWND hwnd, LPARAM position) {
    SetCapture(hwnd);
    drag.grab_offset = HIWORD(position);
    drag.dragging = TRUE;
    return 0;
}

LRESULT on_mouse_move(HWND hwnd, LPARAM position) {
    if (!drag.dragging) return 0;
    LONG dy = (SHORT)HIWORD(position) - (LONG)drag.grab_offset;
    SendMessageW(GetParent(hwnd), SPLITTER_MOVED, 0, (LPARAM)(bar_top(hwnd) + dy));
    return 0;
}

LRESULT on_button_up() {
    if (drag.dragging) ReleaseCapture();
    drag.dragging = FALSE;
    return 0;
}

// A lost capture ends the drag where the last move left the bar.
LRESULT on_capture_changed(HWND hwnd, HWND gaining) {
    if (gaining != hwnd) drag.dragging = FALSE;
    return 0;
}

} // namespace

LRESULT CALLBACK splitter_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_LBUTTONDOWN: return on_button_down(hwnd, lparam);
    case WM_MOUSEMOVE: return on_mouse_move(hwnd, lparam);
    case WM_LBUTTONUP: return on_button_up();
    case WM_CAPTURECHANGED: return on_capture_changed(hwnd, (HWND)lparam);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}
