#include "frame.h"

#include <winlayer.h>
#include <wluser.h>

#include "boxes.h"
#include "draw.h"
#include "host.h"
#include "title_bar.h"

namespace {

const WCHAR FRAME_CLASS[] = u"wfal-host-frame";

LRESULT CALLBACK frame_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE: host_request_close(); return 0;
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

bool frame_create() {
    if (!frame_register_class(FRAME_CLASS, frame_proc) || !box_register()) return false;
    host.frame = CreateWindowExW(0, FRAME_CLASS, u"", WS_POPUP | WS_VISIBLE, 0, 0,
                                 HOST_SCREEN_WIDTH, HOST_SCREEN_HEIGHT, NULL, NULL, NULL, NULL);
    if (!host.frame || !title_bar_create(NULL)) return false;
    wl_screen_set_close_target(host.frame);
    return true;
}
