// The non-client area: the frame between a window's rectangle and its client area. From the
// outside in: the WS_BORDER line, the sunken WS_EX_CLIENTEDGE edge, and inside the edge the
// window scroll bar of WS_VSCROLL along the right side.
#include "user/user_internal.h"

namespace {

constexpr int BORDER_WIDTH = 1;
constexpr int CLIENT_EDGE_WIDTH = 2;

// The frame without the scroll bar: the rectangle inside the border and the edge, in window
// coordinates.
RECT inside_edges(const Window &w) {
    int in = ((w.style & WS_BORDER) ? BORDER_WIDTH : 0) +
             ((w.ex_style & WS_EX_CLIENTEDGE) ? CLIENT_EDGE_WIDTH : 0);
    LONG width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
    return RECT{in, in, width - in, height - in};
}

bool inside(const RECT &r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void fill(const Canvas &c, LONG left, LONG top, LONG right, LONG bottom, COLORREF colour) {
    raster_fill_rect(c, RECT{left, top, right, bottom}, pixel_from_colorref(colour));
}

// A one-pixel frame: top and left in `top_left`, bottom and right in `bottom_right` (which
// also takes the top-right and bottom-left corners).
void frame(const Canvas &c, const RECT &r, COLORREF top_left, COLORREF bottom_right) {
    fill(c, r.left, r.top, r.right - 1, r.top + 1, top_left);
    fill(c, r.left, r.top, r.left + 1, r.bottom - 1, top_left);
    fill(c, r.left, r.bottom - 1, r.right, r.bottom, bottom_right);
    fill(c, r.right - 1, r.top, r.right, r.bottom, bottom_right);
}

} // namespace

RECT nonclient_insets(const Window &w) {
    RECT edges = inside_edges(w);
    LONG in = edges.left;
    LONG scroll = (w.style & WS_VSCROLL) ? NONCLIENT_SCROLL_WIDTH : 0;
    return RECT{in, in, in + scroll, in};
}

RECT nonclient_vscroll_rect(const Window &w) {
    if (!(w.style & WS_VSCROLL)) return RECT{0, 0, 0, 0};
    RECT r = inside_edges(w);
    r.left = r.right - NONCLIENT_SCROLL_WIDTH;
    return r;
}

int nonclient_hit_test(const Window &w, POINT screen) {
    POINT origin = window_screen_origin(w);
    POINT p{screen.x - origin.x, screen.y - origin.y};
    RECT whole{0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top};
    if (!inside(whole, p)) return HTNOWHERE;
    RECT in = nonclient_insets(w);
    RECT client{in.left, in.top, whole.right - in.right, whole.bottom - in.bottom};
    if (inside(client, p)) return HTCLIENT;
    if (inside(nonclient_vscroll_rect(w), p)) return HTVSCROLL;
    return HTBORDER;
}

void nonclient_paint(Window *w) {
    Canvas c;
    if (!paint_canvas(*w, true, &c)) return;
    RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if (w->style & WS_BORDER) {
        frame(c, r, USER_COLOUR_FRAME, USER_COLOUR_FRAME);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (w->ex_style & WS_EX_CLIENTEDGE) {
        frame(c, r, USER_COLOUR_SHADOW, USER_COLOUR_HILIGHT);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        frame(c, r, USER_COLOUR_DARK, USER_COLOUR_LIGHT);
    }
    // The scroll bar inside the edges is drawn by the scroll bar code.
    if (w->style & WS_VSCROLL) scrollbar_paint(w, c);
}
