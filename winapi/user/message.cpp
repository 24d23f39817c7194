// The message queue and the message loop. Messages are retrieved in Windows' order: posted
// messages, then input, then WM_PAINT for a window that needs painting, then WM_TIMER for a
// due timer; the last three are made when they are retrieved. When GetMessageW finds nothing,
// the loop goes idle: it presents the screen, runs the idle hook, and waits for the next timer
// or for input.
#include <stdio.h>
#include <stdlib.h>

#include <deque>

#include <winlayer.h>
#include <wluser.h>

#include "kernel/clock_internal.h"
#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

struct Loop {
    std::deque<MSG> posted;
    WlIdleHook hook = nullptr;
    void *hook_context = nullptr;
    bool in_hook = false;
};

Loop &loop() {
    static Loop l;
    return l;
}

bool in_range(UINT message, UINT first, UINT last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

// A window filter takes the window's own messages and its descendants'; thread messages (no
// window) only come without a filter.
bool hwnd_matches(HWND filter, HWND target) {
    if (!filter) return true;
    Window *w = window_from_handle(target);
    for (; w; w = w->parent) {
        if (w->handle == filter) return true;
    }
    return false;
}

bool take_posted(MSG *msg, HWND filter, UINT first, UINT last, bool remove) {
    std::deque<MSG> &q = loop().posted;
    for (size_t i = 0; i < q.size(); ++i) {
        if (!in_range(q[i].message, first, last) || !hwnd_matches(filter, q[i].hwnd)) continue;
        *msg = q[i];
        if (remove) q.erase(q.begin() + long(i));
        return true;
    }
    return false;
}

bool take_paint(MSG *msg, HWND filter, UINT first, UINT last) {
    if (!in_range(WM_PAINT, first, last)) return false;
    Window *w = paint_next(filter);
    if (!w) return false;
    *msg = MSG{w->handle, WM_PAINT, 0, 0, GetTickCount(), POINT{0, 0}};
    return true;
}

bool take_message(MSG *msg, HWND filter, UINT first, UINT last, bool remove) {
    return take_posted(msg, filter, first, last, remove) ||
           input_next(msg, filter, first, last, remove) || take_paint(msg, filter, first, last) ||
           timer_next(msg, filter, first, last, remove);
}

[[noreturn]] void deadlock() {
    fprintf(stderr, "winapi: GetMessageW waits for ever: no message, no timer, no input source "
                    "and no idle step to run\n");
    abort();
}

// The earliest timer that falls due after `now`: what waiting can reach.
bool next_deadline(ULONGLONG *when) {
    ULONGLONG due;
    if (!wl_timer_next_due(&due)) return false;
    ULONGLONG now = wl_clock_ms();
    *when = due > now ? due : now + 1;
    return true;
}

// Nothing to retrieve and nothing for the hook to do: bring the clock to the next timer, or let
// the front end wait for input.
void wait_for_something() {
    ULONGLONG when = 0;
    bool has = next_deadline(&when);
    TRACE(TRACE_LOOP, "idle: waiting %s %llu", has ? "until" : "for input, now",
          (unsigned long long)(has ? when : wl_clock_ms()));
    if (wl_clock_is_virtual() && has) {
        clock_advance_to(when);
        return;
    }
    if (!screen_front_end().wait(input_sink(), has, when)) deadlock();
}

void go_idle() {
    compose_present_if_dirty();
    if (screen_front_end().poll(input_sink())) return;
    Loop &l = loop();
    if (l.hook && !l.in_hook) {
        l.in_hook = true;
        WlIdleResult r = l.hook(l.hook_context);
        l.in_hook = false;
        if (r == WL_IDLE_BUSY) return;
    }
    wait_for_something();
}

const char *trace_name(UINT message) {
    switch (message) {
    case WM_PAINT: return "WM_PAINT";
    case WM_TIMER: return "WM_TIMER";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    default: return "message";
    }
}

} // namespace

void message_purge(HWND hwnd) {
    std::deque<MSG> &q = loop().posted;
    for (size_t i = q.size(); i-- > 0;) {
        if (!hwnd || q[i].hwnd == hwnd) q.erase(q.begin() + long(i));
    }
}

LRESULT message_send(Window *w, UINT message, WPARAM wparam, LPARAM lparam) {
    TRACE(TRACE_MSG, "send %s %#x to %p (%#llx, %#llx)", trace_name(message), message,
          (void *)w->handle, (unsigned long long)wparam, (unsigned long long)lparam);
    return w->proc(w->handle, message, wparam, lparam);
}

// ---- Win32 -------------------------------------------------------------------------------------

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = window_from_handle(hwnd);
    return w ? message_send(w, message, wparam, lparam) : 0;
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hwnd && !window_from_handle(hwnd)) return FALSE;
    TRACE(TRACE_MSG, "post %s %#x to %p", trace_name(message), message, (void *)hwnd);
    loop().posted.push_back(MSG{hwnd, message, wparam, lparam, GetTickCount(), POINT{0, 0}});
    return TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg || (hwnd && !window_from_handle(hwnd))) return FALSE;
    bool take = (remove & PM_REMOVE) != 0;
    if (take_message(msg, hwnd, first, last, take)) return TRUE;
    // Long loops pump with PeekMessageW: they see new input and show what they drew.
    if (screen_front_end().poll(input_sink()) && take_message(msg, hwnd, first, last, take))
        return TRUE;
    compose_present_if_dirty();
    return FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    if (!msg || (hwnd && !window_from_handle(hwnd))) return -1;
    while (!take_message(msg, hwnd, first, last, true))
        go_idle();
    TRACE(TRACE_MSG, "got %s %#x for %p", trace_name(msg->message), msg->message,
          (void *)msg->hwnd);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

// The layer queues typed characters as WM_CHAR already, so there are no key messages to
// translate.
BOOL TranslateMessage(const MSG *) {
    return FALSE;
}

LRESULT DispatchMessageW(const MSG *msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    Window *w = window_from_handle(msg->hwnd);
    return w ? message_send(w, msg->message, msg->wParam, msg->lParam) : 0;
}

// ---- The layer's own ---------------------------------------------------------------------------

void wl_user_set_idle_hook(WlIdleHook hook, void *context) {
    loop().hook = hook;
    loop().hook_context = context;
}

void wl_user_shutdown(void) {
    TRACE(TRACE_USER, "tear-down");
    wl_user_set_idle_hook(nullptr, nullptr);
    window_shutdown();
    timer_shutdown();
    message_purge(nullptr);
    input_shutdown();
    class_shutdown();
    compose_shutdown();
}
