// Painting: update rectangles, WM_PAINT, window DCs and the top-level windows' bitmaps.
// A window DC is a view on its top-level window's bitmap with the origin at the window's client
// area and one clip rectangle: the client area cut by every ancestor's client area (and, for
// BeginPaint, by the update rectangle). Children are not cut out of their parent's clip, so a
// parent that paints is followed by its children's paints.
#include <string.h>

#include <algorithm>

#include "gdi/gdi_internal.h"
#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

struct WindowDc {
    HDC dc;
    HWND hwnd;
};

std::vector<WindowDc> &window_dcs() {
    static std::vector<WindowDc> dcs;
    return dcs;
}

bool rect_empty(const RECT &r) {
    return r.left >= r.right || r.top >= r.bottom;
}

RECT intersect(const RECT &a, const RECT &b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return rect_empty(r) ? RECT{0, 0, 0, 0} : r;
}

RECT unite(const RECT &a, const RECT &b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT offset(const RECT &r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool has_frame(const Window &w) {
    RECT in = nonclient_insets(w);
    return in.left || in.top || in.right || in.bottom;
}

// The client area (or window rectangle) in screen coordinates.
RECT screen_area(const Window &w, bool whole) {
    if (whole) return window_screen_rect(w);
    POINT o = window_client_origin(w);
    SIZE s = window_client_size(w);
    return RECT{o.x, o.y, o.x + s.cx, o.y + s.cy};
}

// What of the window can be seen, in screen coordinates: cut by every ancestor's client area.
RECT visible_area(const Window &w, bool whole) {
    if (!window_visible(w)) return RECT{0, 0, 0, 0};
    RECT r = screen_area(w, whole);
    for (const Window *a = w.parent; a; a = a->parent)
        r = intersect(r, screen_area(*a, false));
    return r;
}

void add_update(Window *w, const RECT &r, bool erase) {
    if (rect_empty(r)) return;
    w->update = w->has_update ? unite(w->update, r) : r;
    w->has_update = true;
    w->erase = w->erase || erase;
}

Window *find_dirty(Window *w) {
    if (!(w->style & WS_VISIBLE)) return nullptr;
    if (w->has_update || w->frame_dirty) return w;
    for (Window *c : w->children) { // bottom first: upper siblings paint over lower ones
        if (Window *d = find_dirty(c)) return d;
    }
    return nullptr;
}

// Every window DC of the top-level's tree moves to its new bitmap.
void retarget_dcs(HBITMAP from, HBITMAP to) {
    for (const WindowDc &d : window_dcs()) {
        GdiDc *dc = gdi_dc(d.dc);
        if (!dc || dc->bitmap != from) continue;
        gdi_select_take(to);
        gdi_select_release(from);
        dc->bitmap = to;
        dc->clip = ClipRect{0, 0, 0, 0};
    }
}

void send_ncpaint(Window *w) {
    w->frame_dirty = false;
    message_send(w, WM_NCPAINT, 1, 0);
}

} // namespace

void paint_invalidate(Window *w, const RECT *rect, bool erase, bool frame, bool children) {
    if (!window_visible(*w)) return;
    SIZE s = window_client_size(*w);
    RECT client{0, 0, s.cx, s.cy};
    RECT r = rect ? intersect(*rect, client) : client;
    add_update(w, r, erase);
    if (frame && has_frame(*w)) w->frame_dirty = true;
    TRACE(TRACE_PAINT, "window %p invalid (%d,%d)-(%d,%d)%s", (void *)w->handle, int(r.left),
          int(r.top), int(r.right), int(r.bottom), erase ? " erase" : "");
    if (!children) return;
    for (Window *c : w->children) {
        if (!(c->style & WS_VISIBLE)) continue;
        RECT part = intersect(r, c->rect); // parent's client coordinates
        if (rect_empty(part)) continue;
        RECT in = nonclient_insets(*c);
        RECT local = offset(part, -(c->rect.left + in.left), -(c->rect.top + in.top));
        SIZE cs = window_client_size(*c);
        bool touches_frame = part.left < c->rect.left + in.left ||
                             part.top < c->rect.top + in.top || local.right > cs.cx ||
                             local.bottom > cs.cy;
        paint_invalidate(c, &local, erase, touches_frame, true);
    }
}

HDC paint_window_dc(Window *w, bool whole, const RECT *limit) {
    Window *top = window_root(w);
    HBITMAP target = top->backing;
    GdiObject *bitmap = gdi_lookup(target, GDI_BITMAP);
    POINT base = window_screen_origin(*top);
    RECT area = screen_area(*w, whole);
    POINT origin{area.left - base.x, area.top - base.y};
    RECT clip{0, 0, 0, 0}; // bitmap pixels
    if (bitmap) {
        RECT visible = offset(visible_area(*w, whole), -base.x, -base.y);
        clip = intersect(visible, RECT{0, 0, bitmap->width, bitmap->height});
        if (limit) clip = intersect(clip, offset(*limit, origin.x, origin.y));
    } else {
        target = gdi_default_bitmap(); // a window of no size: a DC that draws nothing
        origin = POINT{0, 0};
    }
    ClipRect view{int(clip.left), int(clip.top), int(clip.right), int(clip.bottom)};
    HDC dc = gdi_dc_create_view(target, origin, view);
    if (dc) window_dcs().push_back(WindowDc{dc, w->handle});
    screen_mark_dirty();
    return dc;
}

bool paint_release_dc(HDC dc) {
    std::vector<WindowDc> &dcs = window_dcs();
    for (size_t i = 0; i < dcs.size(); ++i) {
        if (dcs[i].dc != dc) continue;
        DeleteDC(dc);
        dcs.erase(dcs.begin() + long(i));
        return true;
    }
    return false;
}

Window *paint_next(HWND filter) {
    for (;;) {
        Window *found = nullptr;
        if (filter) {
            Window *w = window_from_handle(filter);
            if (w && window_visible(*w)) found = find_dirty(w);
        } else {
            const std::vector<Window *> &tops = window_top_levels();
            for (auto it = tops.rbegin(); it != tops.rend() && !found; ++it)
                found = find_dirty(*it);
        }
        if (!found || found->has_update) return found;
        send_ncpaint(found); // a frame alone is painted on the way
    }
}

void paint_update_now(Window *w, bool children) {
    HWND hwnd = w->handle;
    if (w->frame_dirty && !w->has_update && window_visible(*w)) send_ncpaint(w);
    if (!(w = window_from_handle(hwnd))) return;
    if (w->has_update && window_visible(*w)) message_send(w, WM_PAINT, 0, 0);
    if (!children || !(w = window_from_handle(hwnd))) return;
    std::vector<HWND> kids;
    for (Window *c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids) {
        if (Window *c = window_from_handle(k)) paint_update_now(c, true);
    }
}

void paint_forget(Window *w) {
    std::vector<WindowDc> &dcs = window_dcs();
    for (size_t i = dcs.size(); i-- > 0;) {
        if (dcs[i].hwnd != w->handle) continue;
        DeleteDC(dcs[i].dc);
        dcs.erase(dcs.begin() + long(i));
    }
    if (w->backing) DeleteObject(w->backing);
    w->backing = nullptr;
}

void paint_resize_backing(Window *w) {
    int width = int(w->rect.right - w->rect.left), height = int(w->rect.bottom - w->rect.top);
    HBITMAP old = w->backing;
    HBITMAP fresh = gdi_bitmap_create(width, height); // null for a window of no size
    if (GdiObject *to = gdi_lookup(fresh, GDI_BITMAP))
        gdi_bitmap_copy_to(old, gdi_bitmap_surface(to), 0, 0);
    retarget_dcs(old, fresh ? fresh : gdi_default_bitmap());
    if (old) DeleteObject(old);
    w->backing = fresh;
}

// ---- Win32 -------------------------------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
    if (!hwnd) {
        for (Window *w : window_top_levels())
            paint_invalidate(w, nullptr, erase, true);
        return TRUE;
    }
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    paint_invalidate(w, rect, erase, false);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    paint_update_now(w, true);
    return TRUE;
}

// Regions are not kept by this layer: a region argument is refused.
BOOL RedrawWindow(HWND hwnd, const RECT *rect, HRGN region, UINT flags) {
    Window *w = window_from_handle(hwnd);
    if (!w || region) return FALSE;
    bool children = !(flags & RDW_NOCHILDREN);
    if (flags & RDW_INVALIDATE)
        paint_invalidate(w, rect, flags & RDW_ERASE, flags & RDW_FRAME, children);
    if (flags & RDW_UPDATENOW) paint_update_now(w, children);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window *w = window_from_handle(hwnd);
    if (!w || !paint) return nullptr;
    if (w->frame_dirty) {
        send_ncpaint(w);
        if (!(w = window_from_handle(hwnd))) return nullptr;
    }
    RECT update = w->has_update ? w->update : RECT{0, 0, 0, 0};
    bool erase = w->has_update && w->erase;
    w->has_update = w->erase = false;
    HDC dc = paint_window_dc(w, false, &update);
    memset(paint, 0, sizeof *paint);
    paint->hdc = dc;
    paint->rcPaint = update;
    if (dc && erase) paint->fErase = message_send(w, WM_ERASEBKGND, WPARAM(dc), 0) ? FALSE : TRUE;
    TRACE(TRACE_PAINT, "window %p paints (%d,%d)-(%d,%d)", (void *)hwnd, int(update.left),
          int(update.top), int(update.right), int(update.bottom));
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT *paint) {
    if (paint) paint_release_dc(paint->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w ? paint_window_dc(w, false, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC dc) {
    return paint_release_dc(dc) ? 1 : 0;
}
