// Touch and keyboard input, and the mouse capture. Injected events wait in their own queue and
// find their window when they are retrieved, so that a press that takes the capture draws the
// moves and the release that follow it, as Windows' input queue does.
#include <deque>

#include <wluser.h>

#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

enum InputKind { INPUT_PRESS, INPUT_MOVE, INPUT_RELEASE, INPUT_CHAR, INPUT_KEY };

struct InputEvent {
    InputKind kind;
    POINT point; // screen
    WCHAR ch;
    UINT vk = 0; // INPUT_KEY
};

struct InputState {
    std::deque<InputEvent> queue;
    HWND capture = nullptr;
    bool button_down = false; // after the events retrieved so far
};

InputState &input() {
    static InputState s;
    return s;
}

// The window told of a press on the close button of the desktop window; it is the host's
// setting and outlives a tear-down, as the desktop window does.
HWND g_close_target = nullptr;

void close_pressed() {
    if (g_close_target && IsWindow(g_close_target)) PostMessageW(g_close_target, WM_CLOSE, 0, 0);
}

bool contains(const RECT &r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT client_on_screen(const Window &w) {
    POINT o = window_client_origin(w);
    SIZE s = window_client_size(w);
    return RECT{o.x, o.y, o.x + s.cx, o.y + s.cy};
}

// The topmost visible child under the point, down the tree. A disabled window ends the search:
// neither it nor its children take the touch.
Window *deepest_at(Window *w, POINT p) {
    if ((w->style & WS_DISABLED) || !contains(client_on_screen(*w), p)) return w;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        Window *c = *it;
        if ((c->style & WS_VISIBLE) && contains(window_screen_rect(*c), p)) return deepest_at(c, p);
    }
    return w;
}

Window *active_window() {
    const std::vector<Window *> &tops = window_top_levels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (((*it)->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE) return *it;
    }
    return nullptr;
}

UINT client_message(InputKind kind) {
    switch (kind) {
    case INPUT_PRESS: return WM_LBUTTONDOWN;
    case INPUT_RELEASE: return WM_LBUTTONUP;
    default: return WM_MOUSEMOVE;
    }
}

UINT nonclient_message(InputKind kind) {
    switch (kind) {
    case INPUT_PRESS: return WM_NCLBUTTONDOWN;
    case INPUT_RELEASE: return WM_NCLBUTTONUP;
    default: return WM_NCMOUSEMOVE;
    }
}

// The mouse message of an event, for the capture window (always its client area) or the window
// under the point. False if the event reaches no window.
bool mouse_message(const InputEvent &e, MSG *msg) {
    InputState &s = input();
    Window *target = window_from_handle(s.capture);
    int hit = HTCLIENT;
    if (!target) {
        target = input_window_at(e.point);
        if (!target) return false;
        hit = nonclient_hit_test(*target, e.point);
    }
    bool down = e.kind == INPUT_PRESS || (e.kind == INPUT_MOVE && s.button_down);
    *msg = MSG{target->handle, 0, 0, 0, GetTickCount(), e.point};
    if (hit == HTCLIENT) {
        POINT o = window_client_origin(*target);
        msg->message = client_message(e.kind);
        msg->wParam = down ? MK_LBUTTON : 0;
        msg->lParam = MAKELPARAM(e.point.x - o.x, e.point.y - o.y);
    } else {
        msg->message = nonclient_message(e.kind);
        msg->wParam = WPARAM(hit);
        msg->lParam = MAKELPARAM(e.point.x, e.point.y);
    }
    return true;
}

bool event_message(const InputEvent &e, MSG *msg) {
    if (e.kind != INPUT_CHAR && e.kind != INPUT_KEY) return mouse_message(e, msg);
    Window *target = active_window();
    if (!target) return false;
    if (e.kind == INPUT_KEY)
        *msg = MSG{target->handle, WM_KEYDOWN, WPARAM(e.vk), 1, GetTickCount(), e.point};
    else
        *msg = MSG{target->handle, WM_CHAR, WPARAM(e.ch), 1, GetTickCount(), e.point};
    return true;
}

bool matches(const MSG &msg, HWND filter, UINT first, UINT last) {
    if ((first || last) && (msg.message < first || msg.message > last)) return false;
    for (Window *w = window_from_handle(msg.hwnd); filter && w; w = w->parent) {
        if (w->handle == filter) return true;
    }
    return !filter;
}

void consume_front() {
    InputState &s = input();
    InputKind kind = s.queue.front().kind;
    if (kind == INPUT_PRESS) s.button_down = true;
    if (kind == INPUT_RELEASE) s.button_down = false;
    s.queue.pop_front();
}

void push(InputKind kind, int x, int y, WCHAR ch) {
    TRACE(TRACE_INPUT, "input %d at (%d, %d) char %#x", int(kind), x, y, unsigned(ch));
    input().queue.push_back(InputEvent{kind, POINT{x, y}, ch});
}

void capture_changed(HWND old_capture, HWND new_capture) {
    Window *w = window_from_handle(old_capture);
    if (w) message_send(w, WM_CAPTURECHANGED, 0, LPARAM(new_capture));
}

} // namespace

Window *input_window_at(POINT screen) {
    const std::vector<Window *> &tops = window_top_levels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window *w = *it;
        if (!(w->style & WS_VISIBLE) || !contains(window_screen_rect(*w), screen)) continue;
        Window *hit = deepest_at(w, screen);
        return window_enabled_chain(*hit) ? hit : nullptr;
    }
    return nullptr;
}

bool input_next(MSG *msg, HWND filter, UINT first, UINT last, bool remove) {
    InputState &s = input();
    while (!s.queue.empty()) {
        if (!event_message(s.queue.front(), msg)) {
            TRACE(TRACE_INPUT, "input event reaches no window: dropped");
            consume_front();
            continue;
        }
        if (!matches(*msg, filter, first, last)) return false;
        if (remove) consume_front();
        return true;
    }
    return false;
}

void input_forget(Window *w) {
    for (Window *c = window_from_handle(input().capture); c; c = c->parent) {
        if (c == w) {
            ReleaseCapture();
            return;
        }
    }
}

void input_shutdown() {
    InputState &s = input();
    s.queue.clear();
    s.capture = nullptr;
    s.button_down = false;
}

const ScreenInput &input_sink() {
    static const ScreenInput sink = {wl_input_press, wl_input_move, wl_input_release,
                                     wl_input_char,  wl_input_key,  close_pressed};
    return sink;
}

// ---- Win32 -------------------------------------------------------------------------------------

// The window that had the capture hears of it even when it takes the capture again.
HWND SetCapture(HWND hwnd) {
    if (!window_from_handle(hwnd)) return nullptr;
    InputState &s = input();
    HWND previous = window_from_handle(s.capture) ? s.capture : nullptr;
    s.capture = hwnd;
    TRACE(TRACE_INPUT, "capture to %p", (void *)hwnd);
    capture_changed(previous, hwnd);
    return previous;
}

BOOL ReleaseCapture(void) {
    InputState &s = input();
    HWND previous = s.capture;
    s.capture = nullptr;
    if (previous) TRACE(TRACE_INPUT, "capture released by %p", (void *)previous);
    capture_changed(previous, nullptr);
    return TRUE;
}

HWND GetCapture(void) {
    HWND c = input().capture;
    return window_from_handle(c) ? c : nullptr;
}

// ---- The layer's own ---------------------------------------------------------------------------

void wl_input_press(int x, int y) {
    push(INPUT_PRESS, x, y, 0);
}
void wl_input_move(int x, int y) {
    push(INPUT_MOVE, x, y, 0);
}
void wl_input_release(int x, int y) {
    push(INPUT_RELEASE, x, y, 0);
}
void wl_input_char(WCHAR c) {
    push(INPUT_CHAR, 0, 0, c);
}
void wl_input_key(UINT vk) {
    TRACE(TRACE_INPUT, "input key %#x", vk);
    input().queue.push_back(InputEvent{INPUT_KEY, POINT{0, 0}, 0, vk});
}

void wl_screen_set_close_target(HWND hwnd) {
    g_close_target = hwnd;
}
