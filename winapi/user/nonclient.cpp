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

void nonclient_fill(HDC dc, const RECT &r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void nonclient_edge(HDC dc, const RECT &r, COLORREF top_left, COLORREF bottom_right) {
    nonclient_fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, top_left);
    nonclient_fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
    nonclient_fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
    nonclient_fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

void nonclient_paint(Window *w) {
    HDC dc = paint_window_dc(w, true, nullptr);
    if (!dc) return;
    RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if (w->style & WS_BORDER) {
        nonclient_edge(dc, r, USER_COLOUR_FRAME, USER_COLOUR_FRAME);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (w->ex_style & WS_EX_CLIENTEDGE) {
        nonclient_edge(dc, r, USER_COLOUR_SHADOW, USER_COLOUR_HILIGHT);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        nonclient_edge(dc, r, USER_COLOUR_DARK, USER_COLOUR_LIGHT);
    }
    // The scroll bar inside the edges is drawn by the scroll bar code.
    if (w->style & WS_VSCROLL) scrollbar_paint(w, dc);
    paint_release_dc(dc);
}
