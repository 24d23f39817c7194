#include "frame.h"

#include "draw.h"
#include "host.h"

namespace {

const WCHAR FRAME_CLASS[] = TEXT("wfal-host-frame");

LRESULT CALLBACK frame_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE: host_request_close(); return 0;
    case WM_ERASEBKGND: return 1; // the paint covers it all
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        draw_fill(dc, RECT{0, 0, HOST_SCREEN_WIDTH, HOST_SCREEN_HEIGHT}, RGB(0, 0, 0));
        EndPaint(hwnd, &ps);
        return 0;
    }
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

} // namespace

bool frame_register_class(const WCHAR *name, WNDPROC proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0;
}

bool frame_make_window() {
    if (!frame_register_class(FRAME_CLASS, frame_proc)) return false;
    host.frame = CreateWindowExW(0, FRAME_CLASS, TEXT(""), WS_POPUP | WS_VISIBLE, 0, 0,
                                 HOST_SCREEN_WIDTH, HOST_SCREEN_HEIGHT, NULL, NULL, NULL, NULL);
    return host.frame != NULL;
}
