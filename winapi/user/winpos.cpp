// Showing, enabling, moving and stacking windows: ShowWindow, EnableWindow, SetWindowPos.
#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

std::vector<Window *> &siblings_of(Window *w) {
    return w->parent ? w->parent->children
                     : const_cast<std::vector<Window *> &>(window_top_levels());
}

void move_in_list(std::vector<Window *> &list, Window *w, size_t to) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] != w) continue;
        list.erase(list.begin() + long(i));
        list.insert(list.begin() + long(to > list.size() ? list.size() : to), w);
        return;
    }
}

// A top-level window comes to the top with the windows it owns above it, as Windows keeps them.
void bring_to_top(Window *w) {
    std::vector<Window *> &list = siblings_of(w);
    move_in_list(list, w, list.size());
    if (w->parent) return;
    std::vector<Window *> owned;
    for (Window *t : list) {
        if (t->owner == w) owned.push_back(t);
    }
    for (Window *t : owned)
        bring_to_top(t);
}

// Places `w` just below `after` among its siblings (HWND_TOP, HWND_BOTTOM or a sibling).
bool restack(Window *w, HWND after) {
    std::vector<Window *> &list = siblings_of(w);
    if (after == HWND_TOP) {
        bring_to_top(w);
        return true;
    }
    if (after == HWND_BOTTOM) {
        move_in_list(list, w, 0);
        return true;
    }
    Window *a = window_from_handle(after);
    if (!a || a == w || &siblings_of(a) != &list) return false;
    move_in_list(list, w, 0); // out of the way, then in below `a`
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == a) {
            move_in_list(list, w, i);
            break;
        }
    }
    return true;
}

// Shows or hides without WM_SHOWWINDOW. What a hidden child covered is painted again by its
// parent; a shown window paints itself whole. Top-level windows need no repaint underneath:
// each keeps its own bitmap.
void set_visible(Window *w, bool show, bool to_top) {
    if (show) {
        w->style |= WS_VISIBLE;
        if (to_top) bring_to_top(w);
        paint_invalidate(w, nullptr, true, true);
    } else {
        if (w->parent && window_visible(*w)) paint_invalidate(w->parent, &w->rect, true, false);
        w->style &= ~WS_VISIBLE;
    }
    screen_mark_dirty();
}

POINT client_origin_in_parent(const Window &w) {
    POINT o = window_client_origin(w);
    if (w.parent) {
        POINT p = window_client_origin(*w.parent);
        o.x -= p.x;
        o.y -= p.y;
    }
    return o;
}

bool same_rect(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The new rectangle takes effect: the uncovered part of the parent and the window itself are
// painted again (a top-level window that only moved keeps its picture).
void apply_rect(Window *w, const RECT &rect, bool redraw) {
    RECT old = w->rect;
    bool resized = (old.right - old.left) != (rect.right - rect.left) ||
                   (old.bottom - old.top) != (rect.bottom - rect.top);
    bool shown = window_visible(*w);
    if (w->parent && shown && redraw) paint_invalidate(w->parent, &old, true, false);
    w->rect = rect;
    if (!w->parent && resized) paint_resize_backing(w);
    if (shown && redraw && (w->parent || resized)) paint_invalidate(w, nullptr, true, true);
    screen_mark_dirty();
}

// WM_MOVE then WM_SIZE, for what changed of the client area.
void send_position_changes(HWND hwnd, POINT old_origin, SIZE old_size) {
    Window *w = window_from_handle(hwnd);
    if (!w) return;
    POINT origin = client_origin_in_parent(*w);
    if (origin.x != old_origin.x || origin.y != old_origin.y)
        message_send(w, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (!(w = window_from_handle(hwnd))) return;
    SIZE size = window_client_size(*w);
    if (size.cx != old_size.cx || size.cy != old_size.cy)
        message_send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
}

} // namespace

void window_set_frame_style(Window *w, DWORD style, DWORD ex_style) {
    HWND hwnd = w->handle;
    SIZE old_size = window_client_size(*w);
    POINT old_origin = client_origin_in_parent(*w);
    w->style = style;
    w->ex_style = ex_style;
    if (window_visible(*w)) paint_invalidate(w, nullptr, true, true);
    screen_mark_dirty();
    send_position_changes(hwnd, old_origin, old_size);
}

// ---- Win32 -------------------------------------------------------------------------------------

BOOL ShowWindow(HWND hwnd, int command) {
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    bool was_visible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show == was_visible) return was_visible;
    TRACE(TRACE_USER, "window %p %s", (void *)hwnd, show ? "shown" : "hidden");
    message_send(w, WM_SHOWWINDOW, show, 0);
    if (!(w = window_from_handle(hwnd))) return was_visible;
    set_visible(w, show, command == SW_SHOW || command == SW_SHOWNORMAL);
    return was_visible;
}

BOOL IsWindowVisible(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w && window_visible(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    bool was_disabled = (w->style & WS_DISABLED) != 0;
    if (enable && was_disabled) {
        w->style &= ~WS_DISABLED;
        message_send(w, WM_ENABLE, TRUE, 0);
    } else if (!enable && !was_disabled) {
        // A window that loses its input ends what it was doing with the mouse first.
        message_send(w, WM_CANCELMODE, 0, 0);
        if (!(w = window_from_handle(hwnd))) return FALSE;
        w->style |= WS_DISABLED;
        message_send(w, WM_ENABLE, FALSE, 0);
    }
    return was_disabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    if (!(flags & SWP_NOZORDER) && !restack(w, insert_after)) return FALSE;
    if (!(flags & SWP_NOZORDER)) {
        if (w->parent && window_visible(*w)) paint_invalidate(w, nullptr, true, true);
        screen_mark_dirty();
    }
    POINT old_origin = client_origin_in_parent(*w);
    SIZE old_size = window_client_size(*w);
    RECT rect = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        rect = RECT{x, y, x + (rect.right - rect.left), y + (rect.bottom - rect.top)};
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + (cx < 0 ? 0 : cx);
        rect.bottom = rect.top + (cy < 0 ? 0 : cy);
    }
    if (!same_rect(rect, w->rect)) apply_rect(w, rect, !(flags & SWP_NOREDRAW));
    if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
        bool show = (flags & SWP_SHOWWINDOW) != 0;
        if (show != ((w->style & WS_VISIBLE) != 0))
            set_visible(w, show, show && !(flags & SWP_NOACTIVATE));
    }
    send_position_changes(hwnd, old_origin, old_size);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(hwnd, nullptr, x, y, width, height, flags);
}
