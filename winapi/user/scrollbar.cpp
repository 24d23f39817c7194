// The window scroll bar of WS_VSCROLL: its parameters (SetScrollInfo, GetScrollInfo), its
// classic look in the non-client area, and the touch on it. A press on the bar runs a loop of
// its own until the release, as DefWindowProc's tracking does on Windows: the bar sends
// WM_VSCROLL requests and leaves moving the position to the window procedure.
#include "user/scrollbar.h"

#include <algorithm>
#include <vector>

#include "kernel/trace.h"

namespace {

// ---- Geometry ----------------------------------------------------------------------------------

// a * b / c rounded to the nearest, as MulDiv does; c must be positive.
int mul_div(int64_t a, int64_t b, int64_t c) {
    int64_t p = a * b;
    return int((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

int64_t span(const ScrollBarState &s) {
    return int64_t(s.max) - s.min + 1;
}

int thumb_size(const ScrollBarState &s, int width, int trough) {
    if (!s.page) return width; // no page: a square thumb
    return std::max(mul_div(trough, std::min<int64_t>(s.page, span(s)), span(s)), SCROLL_MIN_THUMB);
}

// ---- Drawing -----------------------------------------------------------------------------------

// The part of the trough that a held touch pages: its pattern inverted.
constexpr COLORREF PRESSED_DARK = RGB(0, 0, 0);
constexpr COLORREF PRESSED_LIGHT = RGB(63, 63, 63);

RECT inset(const RECT &r, LONG by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// A raised 3D button: light and black outside, white and shadow inside, the face between.
void raised(HDC dc, const RECT &r) {
    nonclient_fill(dc, r, USER_COLOUR_FACE);
    nonclient_edge(dc, r, USER_COLOUR_LIGHT, USER_COLOUR_DARK);
    nonclient_edge(dc, inset(r, 1), USER_COLOUR_HILIGHT, USER_COLOUR_SHADOW);
}

// The arrow's triangle, (2h - 1) pixels wide and h high, centred on the button.
void triangle(HDC dc, const RECT &b, bool up, LONG shift, COLORREF colour) {
    LONG w = b.right - b.left, h = b.bottom - b.top;
    LONG rows = (std::min(w, h) - 4) / 3;
    LONG cx = b.left + (w - 1) / 2 + shift, top = b.top + (h - rows) / 2 + shift;
    for (LONG k = 0; k < rows; ++k) {
        LONG half = up ? k : rows - 1 - k;
        nonclient_fill(dc, RECT{cx - half, top + k, cx + half + 1, top + k + 1}, colour);
    }
}

// Pushed: a flat shadow frame, the triangle one pixel down and right. Inactive: the triangle
// embossed in shadow over white.
void arrow(HDC dc, const RECT &b, bool up, bool pushed, bool inactive) {
    if (b.bottom <= b.top) return;
    if (pushed) {
        nonclient_fill(dc, b, USER_COLOUR_FACE);
        nonclient_edge(dc, b, USER_COLOUR_SHADOW, USER_COLOUR_SHADOW);
    } else {
        raised(dc, b);
    }
    if (inactive) {
        triangle(dc, b, up, 1, USER_COLOUR_HILIGHT);
        triangle(dc, b, up, 0, USER_COLOUR_SHADOW);
    } else {
        triangle(dc, b, up, pushed ? 1 : 0, USER_COLOUR_TEXT);
    }
}

// The trough: a checkerboard of white and the face colour aligned to the window, inverted
// where a held touch pages. There is no pattern brush, so it is put down as one top-down 24-bit
// picture of its size.
void trough(HDC dc, const RECT &r, bool pressed) {
    int width = int(r.right - r.left), height = int(r.bottom - r.top);
    if (width <= 0 || height <= 0) return;
    COLORREF even = pressed ? PRESSED_DARK : USER_COLOUR_HILIGHT;
    COLORREF odd = pressed ? PRESSED_LIGHT : USER_COLOUR_FACE;
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    std::vector<BYTE> bits(stride * size_t(height));
    for (int y = 0; y < height; ++y) {
        BYTE *p = &bits[size_t(y) * stride];
        for (int x = 0; x < width; ++x, p += 3) {
            COLORREF c = ((r.left + x + r.top + y) & 1) ? odd : even;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, int(r.left), int(r.top), width, height, 0, 0, width, height, bits.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

// ---- Tracking a touch --------------------------------------------------------------------------

struct Tracking {
    HWND hwnd;
    ScrollPart part; // the part pressed
    bool over;       // the touch is on that part now
    bool repeating;  // the first repeat has come
    int grab;        // thumb: where in the thumb the touch holds it
    LONG last_y;     // thumb: the touch's last offset along the bar
    POINT at;        // the touch, screen coordinates
};

// The touch that holds a bar now (nested for a bar whose request runs another's loop).
Tracking *g_active = nullptr;

bool pressed(const Window *w, ScrollPart part) {
    return g_active && g_active->hwnd == w->handle && g_active->part == part && g_active->over;
}

// The bar in screen coordinates and its layout.
RECT bar_on_screen(const Window &w, ScrollLayout *layout) {
    RECT r = nonclient_vscroll_rect(w);
    POINT o = window_screen_origin(w);
    *layout = scroll_layout(w.vscroll, int(r.right - r.left), int(r.bottom - r.top));
    return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

ScrollPart part_under(const Window &w, POINT p) {
    ScrollLayout l;
    RECT bar = bar_on_screen(w, &l);
    if (p.x < bar.left || p.x >= bar.right) return SCROLL_NONE;
    return scroll_part_at(w.vscroll, l, int(p.y - bar.top));
}

void redraw(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w || !(w->style & WS_VSCROLL) || !window_visible(*w)) return;
    HDC dc = paint_window_dc(w, true, nullptr);
    if (!dc) return;
    scrollbar_paint(w, dc);
    paint_release_dc(dc);
}

void send_request(HWND hwnd, WORD code, int pos) {
    SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(code, WORD(pos)), 0);
}

WORD request_of(ScrollPart part) {
    switch (part) {
    case SCROLL_LINE_UP: return SB_LINEUP;
    case SCROLL_PAGE_UP: return SB_PAGEUP;
    case SCROLL_PAGE_DOWN: return SB_PAGEDOWN;
    default: return SB_LINEDOWN;
    }
}

void start(Tracking &t, Window *w) {
    if (t.part != SCROLL_THUMB) {
        send_request(t.hwnd, request_of(t.part), 0);
        if (IsWindow(t.hwnd)) SetTimer(t.hwnd, SCROLL_TIMER_ID, SCROLL_FIRST_DELAY, nullptr);
        redraw(t.hwnd);
        return;
    }
    ScrollLayout l;
    RECT bar = bar_on_screen(*w, &l);
    t.last_y = t.at.y - bar.top;
    t.grab = int(t.last_y) - l.thumb_top;
    w->vscroll.tracking = true;
    w->vscroll.track_pos = w->vscroll.pos;
    redraw(t.hwnd);
}

// The thumb follows the touch: SB_THUMBTRACK with the position it stands for, at each move.
void drag(Tracking &t, Window *w) {
    ScrollLayout l;
    RECT bar = bar_on_screen(*w, &l);
    LONG y = t.at.y - bar.top;
    if (y == t.last_y) return;
    t.last_y = y;
    int value = scroll_thumb_value(w->vscroll, l, int(y) - t.grab);
    w->vscroll.track_pos = value;
    send_request(t.hwnd, SB_THUMBTRACK, value);
    redraw(t.hwnd);
}

void on_move(Tracking &t, POINT p) {
    Window *w = window_from_handle(t.hwnd);
    if (!w) return;
    t.at = p;
    if (t.part == SCROLL_THUMB) return drag(t, w);
    bool over = part_under(*w, p) == t.part;
    if (over == t.over) return;
    t.over = over;
    redraw(t.hwnd);
}

// A held arrow or trough repeats while the touch stays on its part; the trough's part ends
// under the touch once the thumb has come to it.
void on_timer(Tracking &t) {
    if (!t.repeating) {
        t.repeating = true;
        SetTimer(t.hwnd, SCROLL_TIMER_ID, SCROLL_REPEAT_DELAY, nullptr);
    }
    Window *w = window_from_handle(t.hwnd);
    if (!w) return;
    bool over = part_under(*w, t.at) == t.part;
    if (over != t.over) {
        t.over = over;
        redraw(t.hwnd);
    }
    if (over) send_request(t.hwnd, request_of(t.part), 0);
}

// The end of the touch: released (the thumb's position is reported) or cut off (the capture
// went elsewhere). Either way the window hears SB_ENDSCROLL.
void finish(Tracking &t, bool released) {
    KillTimer(t.hwnd, SCROLL_TIMER_ID);
    if (GetCapture() == t.hwnd) ReleaseCapture();
    Window *w = window_from_handle(t.hwnd);
    if (!w) return;
    bool thumb = t.part == SCROLL_THUMB && w->vscroll.tracking;
    w->vscroll.tracking = false;
    t.over = false;
    if (thumb && released) send_request(t.hwnd, SB_THUMBPOSITION, w->vscroll.track_pos);
    if (IsWindow(t.hwnd)) send_request(t.hwnd, SB_ENDSCROLL, 0);
    redraw(t.hwnd);
}

POINT client_to_screen(HWND hwnd, LPARAM lparam) {
    POINT p{short(LOWORD(lparam)), short(HIWORD(lparam))};
    ClientToScreen(hwnd, &p);
    return p;
}

bool is_own_timer(const Tracking &t, const MSG &m) {
    return m.hwnd == t.hwnd && m.message == WM_TIMER && m.wParam == SCROLL_TIMER_ID && !m.lParam;
}

// The loop of the touch: mouse messages and the repeat timer of the window are the bar's, all
// else is dispatched as usual. True when the touch was released.
bool run(Tracking &t) {
    MSG m;
    while (IsWindow(t.hwnd) && GetCapture() == t.hwnd) {
        if (!GetMessageW(&m, nullptr, 0, 0)) {
            PostMessageW(nullptr, WM_QUIT, m.wParam, m.lParam); // for the loop outside
            return false;
        }
        bool mouse =
            m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP || m.message == WM_LBUTTONDOWN;
        if (is_own_timer(t, m)) {
            on_timer(t);
        } else if (m.hwnd == t.hwnd && mouse) {
            if (m.message == WM_MOUSEMOVE) on_move(t, client_to_screen(t.hwnd, m.lParam));
            if (m.message != WM_LBUTTONUP) continue;
            t.at = client_to_screen(t.hwnd, m.lParam);
            return true;
        } else {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    return false;
}

bool valid_size(const SCROLLINFO &info) {
    // Callers built against the first form of the structure pass it without nTrackPos.
    return info.cbSize == sizeof(SCROLLINFO) || info.cbSize == sizeof(SCROLLINFO) - sizeof(int);
}

// Shows or hides the bar: the client area changes, the window hears WM_SIZE.
void set_shown(Window *w, bool shown) {
    if (bool(w->style & WS_VSCROLL) == shown) return;
    DWORD style = shown ? (w->style | WS_VSCROLL) : (w->style & ~DWORD(WS_VSCROLL));
    window_set_frame_style(w, style, w->ex_style);
}

// A bar with nothing to scroll is disabled (SIF_DISABLENOSCROLL) or hidden when its range or
// page changed; one with something to scroll is shown and enabled, unless only its page was set.
void update_state(Window *w, UINT mask, bool params_changed) {
    ScrollBarState &s = w->vscroll;
    if (!(mask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL))) return;
    if (s.min >= scroll_max_pos(s)) {
        if (mask & SIF_DISABLENOSCROLL)
            s.disabled = true;
        else if (params_changed)
            set_shown(w, false);
    } else if (mask != SIF_PAGE) {
        s.disabled = false;
        set_shown(w, true);
    }
}

// Range, page and position as Windows holds them: a reversed or too wide range becomes 0 to 0,
// the page at most the range's span, the position within [min, max - max(page - 1, 0)].
bool apply(ScrollBarState &s, const SCROLLINFO &info) {
    ScrollBarState before = s;
    if (info.fMask & SIF_PAGE) s.page = info.nPage;
    if (info.fMask & SIF_POS) s.pos = info.nPos;
    if (info.fMask & SIF_RANGE) {
        bool bad = info.nMin > info.nMax || int64_t(info.nMax) - info.nMin >= 0x80000000LL;
        s.min = bad ? 0 : info.nMin;
        s.max = bad ? 0 : info.nMax;
    }
    if (int64_t(s.page) > span(s)) s.page = UINT(span(s));
    s.pos = std::max(s.min, std::min(s.pos, scroll_max_pos(s)));
    return s.min != before.min || s.max != before.max || s.page != before.page;
}

} // namespace

// ---- Geometry ----------------------------------------------------------------------------------

int scroll_max_pos(const ScrollBarState &s) {
    return int(int64_t(s.max) - std::max<int64_t>(int64_t(s.page) - 1, 0));
}

ScrollLayout scroll_layout(const ScrollBarState &s, int width, int length) {
    ScrollLayout l{std::max(length, 0), 0, 0, 0};
    if (l.length == 0 || width <= 0) return l;
    l.arrow = std::min(width, l.length / 2);
    int room = l.length - 2 * l.arrow;
    int size = thumb_size(s, width, room);
    if (s.disabled || room <= 0 || size > room) return l;
    int first = s.min, last = scroll_max_pos(s);
    int at = std::max(first, std::min(s.tracking ? s.track_pos : s.pos, last));
    int offset =
        last > first ? mul_div(room - size, int64_t(at) - first, int64_t(last) - first) : 0;
    l.thumb_top = l.arrow + offset;
    l.thumb_size = size;
    return l;
}

ScrollPart scroll_part_at(const ScrollBarState &s, const ScrollLayout &l, int y) {
    if (s.disabled || y < 0 || y >= l.length) return SCROLL_NONE;
    if (y < l.arrow) return SCROLL_LINE_UP;
    if (y >= l.length - l.arrow) return SCROLL_LINE_DOWN;
    if (!l.thumb_size) return SCROLL_NONE;
    if (y < l.thumb_top) return SCROLL_PAGE_UP;
    if (y < l.thumb_top + l.thumb_size) return SCROLL_THUMB;
    return SCROLL_PAGE_DOWN;
}

int scroll_thumb_value(const ScrollBarState &s, const ScrollLayout &l, int thumb_top) {
    int room = l.length - 2 * l.arrow - l.thumb_size;
    if (!l.thumb_size || room <= 0) return s.min;
    int offset = std::max(0, std::min(thumb_top - l.arrow, room));
    return s.min + mul_div(offset, int64_t(scroll_max_pos(s)) - s.min, room);
}

// ---- The non-client area -----------------------------------------------------------------------

void scrollbar_paint(Window *w, HDC dc) {
    RECT r = nonclient_vscroll_rect(*w);
    ScrollLayout l = scroll_layout(w->vscroll, int(r.right - r.left), int(r.bottom - r.top));
    if (l.length == 0 || r.right <= r.left) return;
    bool inactive = w->vscroll.disabled;
    LONG up_end = r.top + l.arrow, down_start = r.bottom - l.arrow;
    arrow(dc, RECT{r.left, r.top, r.right, up_end}, true, pressed(w, SCROLL_LINE_UP), inactive);
    arrow(dc, RECT{r.left, down_start, r.right, r.bottom}, false, pressed(w, SCROLL_LINE_DOWN),
          inactive);
    if (!l.thumb_size) {
        trough(dc, RECT{r.left, up_end, r.right, down_start}, false);
        return;
    }
    LONG thumb_top = r.top + l.thumb_top, thumb_end = thumb_top + l.thumb_size;
    trough(dc, RECT{r.left, up_end, r.right, thumb_top}, pressed(w, SCROLL_PAGE_UP));
    raised(dc, RECT{r.left, thumb_top, r.right, thumb_end});
    trough(dc, RECT{r.left, thumb_end, r.right, down_start}, pressed(w, SCROLL_PAGE_DOWN));
}

void scrollbar_track(HWND hwnd, POINT screen) {
    Window *w = window_from_handle(hwnd);
    if (!w || !(w->style & WS_VSCROLL)) return;
    Tracking t{hwnd, part_under(*w, screen), true, false, 0, 0, screen};
    if (t.part == SCROLL_NONE) return;
    TRACE(TRACE_INPUT, "scroll bar of %p pressed on part %d", (void *)hwnd, int(t.part));
    Tracking *outer = g_active;
    g_active = &t;
    SetCapture(hwnd);
    start(t, w);
    bool released = run(t);
    finish(t, released);
    g_active = outer;
}

// ---- Win32 -------------------------------------------------------------------------------------

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw_bar) {
    Window *w = window_from_handle(hwnd);
    if (!w || bar != SB_VERT || !info || !valid_size(*info)) return 0;
    if (info->fMask & ~UINT(SIF_ALL | SIF_DISABLENOSCROLL)) return 0;
    ScrollBarState &s = w->vscroll;
    s.known = true;
    bool params_changed = apply(s, *info);
    int pos = s.pos;
    update_state(w, info->fMask, params_changed);
    if (redraw_bar && window_from_handle(hwnd)) redraw(hwnd);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    Window *w = window_from_handle(hwnd);
    if (!w || bar != SB_VERT || !info || !valid_size(*info)) return FALSE;
    if (!(info->fMask & SIF_ALL)) return FALSE;
    const ScrollBarState &s = w->vscroll;
    if (!(w->style & WS_VSCROLL) && !s.known) return FALSE; // the window has no scroll bar
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = s.page;
    if (info->fMask & SIF_POS) info->nPos = s.pos;
    if ((info->fMask & SIF_TRACKPOS) && info->cbSize == sizeof(SCROLLINFO))
        info->nTrackPos = s.tracking ? s.track_pos : s.pos;
    return TRUE;
}
