// Timers on the layer's one clock. A due timer gives one WM_TIMER however late it is retrieved,
// and its next period starts when that message is taken, as in Windows. Timers due together
// fire in the order they were set (or last fired).
#include <winlayer.h>
#include <wluser.h>

#include "kernel/trace.h"
#include "user/user_internal.h"

namespace {

// The bounds that SetTimer holds a period to (USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM).
constexpr UINT TIMER_MINIMUM = 10;
constexpr UINT TIMER_MAXIMUM = 0x7FFFFFFF;
// Ids of timers without a window are the layer's to choose.
constexpr UINT_PTR FIRST_THREAD_TIMER = 0x7FFF;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    ULONGLONG due;
    uint64_t order;
};

struct Timers {
    std::vector<Timer> list;
    uint64_t next_order = 0;
    UINT_PTR next_thread_id = FIRST_THREAD_TIMER;
};

Timers &timers() {
    static Timers t;
    return t;
}

Timer *find(HWND hwnd, UINT_PTR id) {
    for (Timer &t : timers().list) {
        if (t.hwnd == hwnd && t.id == id) return &t;
    }
    return nullptr;
}

UINT_PTR new_thread_id() {
    Timers &ts = timers();
    while (find(nullptr, ts.next_thread_id) || ts.next_thread_id == 0)
        ++ts.next_thread_id;
    return ts.next_thread_id++;
}

bool before(const Timer &a, const Timer &b) {
    return a.due < b.due || (a.due == b.due && a.order < b.order);
}

bool hwnd_matches(HWND filter, HWND target) {
    if (!filter) return true;
    for (Window *w = window_from_handle(target); w; w = w->parent) {
        if (w->handle == filter) return true;
    }
    return false;
}

} // namespace

bool timer_next(MSG *msg, HWND filter, UINT first, UINT last, bool remove) {
    if ((first || last) && (WM_TIMER < first || WM_TIMER > last)) return false;
    ULONGLONG now = wl_clock_ms();
    Timer *next = nullptr;
    for (Timer &t : timers().list) {
        if (t.due <= now && hwnd_matches(filter, t.hwnd) && (!next || before(t, *next))) next = &t;
    }
    if (!next) return false;
    *msg = MSG{next->hwnd, WM_TIMER, next->id, LPARAM(next->proc), DWORD(now), POINT{0, 0}};
    if (remove) {
        next->due = now + next->elapse;
        next->order = timers().next_order++;
        TRACE(TRACE_TIMER, "timer %p/%lu fires at %llu", (void *)next->hwnd,
              (unsigned long)next->id, (unsigned long long)now);
    }
    return true;
}

void timer_forget(HWND hwnd) {
    std::vector<Timer> &list = timers().list;
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i].hwnd == hwnd) list.erase(list.begin() + long(i));
    }
}

void timer_shutdown() {
    Timers &ts = timers();
    ts.list.clear();
    ts.next_order = 0;
    ts.next_thread_id = FIRST_THREAD_TIMER;
}

// ---- Win32 -------------------------------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !window_from_handle(hwnd)) return 0;
    if (elapse < TIMER_MINIMUM) elapse = TIMER_MINIMUM;
    if (elapse > TIMER_MAXIMUM) elapse = TIMER_MAXIMUM;
    // A window timer is known by its window and id; a thread timer by the id it was given.
    if (!hwnd && !find(nullptr, id)) id = new_thread_id();
    Timers &ts = timers();
    Timer t{hwnd, id, elapse, proc, wl_clock_ms() + elapse, ts.next_order++};
    if (Timer *old = find(hwnd, id))
        *old = t; // setting it again starts a new period
    else
        ts.list.push_back(t);
    TRACE(TRACE_TIMER, "timer %p/%lu set to %u ms", (void *)hwnd, (unsigned long)id, elapse);
    return hwnd && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::vector<Timer> &list = timers().list;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].hwnd == hwnd && list[i].id == id) {
            list.erase(list.begin() + long(i));
            return TRUE;
        }
    }
    return FALSE;
}

// ---- The layer's own ---------------------------------------------------------------------------

BOOL wl_timer_next_due(ULONGLONG *when) {
    const Timer *next = nullptr;
    for (const Timer &t : timers().list) {
        if (!next || before(t, *next)) next = &t;
    }
    if (!next) return FALSE;
    if (when) *when = next->due;
    return TRUE;
}
