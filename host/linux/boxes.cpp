#include "boxes.h"

#include <stdlib.h>

#include <vector>

#include <wluser.h>

#include "draw.h"
#include "frame.h"
#include "host.h"

namespace {

const WCHAR BOX_CLASS[] = u"wfal-host-box";
constexpr int BOX_X = 100, BOX_Y = 130, BOX_WIDTH = 600, BOX_HEIGHT = 240;
constexpr RECT CAPTION = {0, 0, BOX_WIDTH, 34};
constexpr RECT ICON = {20, 52, 56, 88};
constexpr RECT MESSAGE = {76, 48, 580, 176};
constexpr RECT VOLUME_KEYS[] = {{20, 50, 140, 90}, {150, 50, 270, 90}};
constexpr RECT PATH_FIELD = {20, 110, 580, 150};
constexpr RECT NUMBER_FIELD = {20, 70, 400, 110};
constexpr RECT UNIT = {410, 70, 580, 110};
constexpr RECT TEXT_FIELD = {20, 50, 580, 176};
constexpr RECT LEFT_BUTTON = {360, 188, 470, 228};
constexpr RECT RIGHT_BUTTON = {480, 188, 590, 228};

struct BoxButton {
    RECT rect;
    const char16_t *caption;
    int result;
};

struct BoxState {
    BoxRequest *request;
    std::vector<BoxButton> buttons;
    int pressed = -1; // the button under a held touch
    bool done = false;
    int result = IDCANCEL;
};

BoxState *g_box = nullptr;

int cancel_result(const BoxRequest &r) {
    if (r.kind != BOX_MESSAGE) return IDCANCEL;
    return box_is_question(r.flags) ? BOX_NO : IDOK;
}

std::vector<BoxButton> buttons_for(const BoxRequest &r) {
    if (r.kind == BOX_MESSAGE && box_is_question(r.flags))
        return {{LEFT_BUTTON, u"Yes", BOX_YES}, {RIGHT_BUTTON, u"No", BOX_NO}};
    if (r.kind == BOX_MESSAGE) return {{RIGHT_BUTTON, u"OK", IDOK}};
    return {{LEFT_BUTTON, u"OK", IDOK}, {RIGHT_BUTTON, u"Cancel", IDCANCEL}};
}

// The icon by the flags: a coloured square with its sign.
void paint_icon(HDC dc, int flags) {
    int kind = flags & 0xF0;
    COLORREF colour = kind == 0x10   ? RGB(200, 0, 0)
                      : kind == 0x40 ? RGB(0, 90, 200)
                                     : RGB(230, 160, 0);
    const char16_t *sign = kind == 0x10 ? u"X" : kind == 0x40 ? u"i" : kind == 0x20 ? u"?" : u"!";
    if (kind == 0) return;
    draw_fill(dc, ICON, colour);
    draw_text(dc, sign, ICON, RGB(255, 255, 255), true, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void paint_field(HDC dc, const RECT &rect, const std::u16string &text, UINT format) {
    draw_fill(dc, rect, RGB(255, 255, 255));
    draw_outline(dc, rect, RGB(0, 0, 0));
    RECT inner = {rect.left + 6, rect.top + 4, rect.right - 6, rect.bottom - 4};
    draw_text(dc, text + u"|", inner, RGB(0, 0, 0), false, format);
}

void paint_body(HDC dc, const BoxRequest &r) {
    const UINT line = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    switch (r.kind) {
    case BOX_MESSAGE:
        paint_icon(dc, r.flags);
        draw_text(dc, r.text, MESSAGE, RGB(0, 0, 0), false, DT_LEFT | DT_WORDBREAK);
        break;
    case BOX_TEXT: paint_field(dc, TEXT_FIELD, r.field, DT_LEFT | DT_WORDBREAK); break;
    case BOX_NUMBER:
        paint_field(dc, NUMBER_FIELD, r.field, line);
        draw_text(dc, r.text, UNIT, RGB(0, 0, 0), false, line);
        break;
    case BOX_PATH:
        draw_key(dc, VOLUME_KEYS[0], u"\\Internal", r.volume == BOX_VOLUME_INTERNAL);
        draw_key(dc, VOLUME_KEYS[1], u"\\USB", r.volume == BOX_VOLUME_USB);
        paint_field(dc, PATH_FIELD, r.field, line);
        break;
    }
}

void paint_box(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all = {0, 0, BOX_WIDTH, BOX_HEIGHT};
    draw_fill(dc, all, RGB(236, 236, 236));
    draw_outline(dc, all, RGB(0, 0, 0));
    draw_fill(dc, CAPTION, RGB(0, 0, 128));
    draw_text(dc, g_box->request->caption, RECT{10, 0, BOX_WIDTH - 10, CAPTION.bottom},
              RGB(255, 255, 255), true, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    paint_body(dc, *g_box->request);
    for (size_t i = 0; i < g_box->buttons.size(); i++)
        draw_key(dc, g_box->buttons[i].rect, g_box->buttons[i].caption, int(i) == g_box->pressed);
    EndPaint(hwnd, &ps);
}

void finish(HWND hwnd, int result) {
    g_box->result = result;
    g_box->done = true;
    InvalidateRect(hwnd, NULL, FALSE);
}

// A number is an optional minus and up to ten digits.
bool accepts(const BoxRequest &r, WCHAR c) {
    if (r.field.size() >= r.capacity) return false;
    if (r.kind == BOX_NUMBER) return (c >= u'0' && c <= u'9') || (c == u'-' && r.field.empty());
    if (r.kind == BOX_PATH) return c != u'\\' && c != u'/';
    return r.kind == BOX_TEXT;
}

bool number_complete(const BoxRequest &r) {
    return r.kind != BOX_NUMBER || (!r.field.empty() && r.field != u"-");
}

void on_char(HWND hwnd, WCHAR c) {
    BoxRequest &r = *g_box->request;
    if (c == 13 && number_complete(r)) {
        finish(hwnd, g_box->buttons.front().result);
    } else if (c == 27) {
        finish(hwnd, cancel_result(r));
    } else if (c == 8 && !r.field.empty()) {
        r.field.pop_back();
        if (!r.field.empty() && r.field.back() >= 0xD800 && r.field.back() < 0xDC00)
            r.field.pop_back();
    } else if (c >= 32 && accepts(r, c)) {
        r.field += c;
    }
    InvalidateRect(hwnd, NULL, FALSE);
}

int button_at(int x, int y) {
    for (size_t i = 0; i < g_box->buttons.size(); i++) {
        if (draw_inside(g_box->buttons[i].rect, x, y)) return int(i);
    }
    return -1;
}

void on_press(HWND hwnd, int x, int y) {
    BoxRequest &r = *g_box->request;
    for (int v = 0; v < 2 && r.kind == BOX_PATH; v++) {
        if (draw_inside(VOLUME_KEYS[v], x, y)) r.volume = v + 1;
    }
    g_box->pressed = button_at(x, y);
    if (g_box->pressed >= 0) SetCapture(hwnd);
    InvalidateRect(hwnd, NULL, FALSE);
}

void on_release(HWND hwnd, int x, int y) {
    int pressed = g_box->pressed;
    g_box->pressed = -1;
    if (GetCapture() == hwnd) ReleaseCapture();
    InvalidateRect(hwnd, NULL, FALSE);
    if (pressed < 0 || button_at(x, y) != pressed) return;
    int result = g_box->buttons[size_t(pressed)].result;
    if (result != IDOK || number_complete(*g_box->request)) finish(hwnd, result);
}

LRESULT CALLBACK box_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    int x = short(LOWORD(lparam)), y = short(HIWORD(lparam));
    if (!g_box) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_box(hwnd); return 0;
    case WM_CHAR: on_char(hwnd, WCHAR(wparam)); return 0;
    case WM_LBUTTONDOWN: on_press(hwnd, x, y); return 0;
    case WM_LBUTTONUP: on_release(hwnd, x, y); return 0;
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

void run_loop(HWND hwnd) {
    while (IsWindow(hwnd) && !g_box->done && !host_is_closing()) {
        MSG msg;
        if (!GetMessageW(&msg, NULL, 0, 0)) {
            PostMessageW(NULL, WM_QUIT, msg.wParam, 0); // for the loops outside
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

bool box_register() {
    return frame_register_class(BOX_CLASS, box_proc);
}

int box_run(BoxRequest *request) {
    BoxState state;
    state.request = request;
    state.buttons = buttons_for(*request);
    state.result = cancel_result(*request);
    g_box = &state;
    host.box = CreateWindowExW(0, BOX_CLASS, request->caption.c_str(), WS_POPUP | WS_VISIBLE, BOX_X,
                               BOX_Y, BOX_WIDTH, BOX_HEIGHT, NULL, NULL, NULL, NULL);
    if (host.box) run_loop(host.box);
    if (host.box) DestroyWindow(host.box);
    host.box = NULL;
    g_box = nullptr;
    return state.result;
}
