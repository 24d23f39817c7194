// Lines and shapes: MoveToEx, LineTo, Polyline, Polygon, FillRect.
#include "gdi/gdi_internal.h"

#include <winuser.h>

namespace {

struct Target {
    GdiDc *dc;
    Canvas canvas;
};

bool target_of(HDC h, Target *t) {
    t->dc = gdi_dc(h);
    return t->dc && gdi_dc_canvas(*t->dc, &t->canvas);
}

// The pen's colour and width, or false for the null pen (which draws nothing).
bool pen_of(const GdiDc &dc, uint32_t *colour, int *width) {
    GdiObject *pen = gdi_selected(dc.pen, GDI_PEN);
    if (!pen || pen->pen.lopnStyle == PS_NULL) return false;
    *colour = pixel_from_colorref(pen->pen.lopnColor);
    *width = int(pen->pen.lopnWidth.x);
    return true;
}

bool solid_brush(GdiObject *o, uint32_t *colour) {
    if (!o || o->brush.lbStyle != BS_SOLID) return false;
    *colour = pixel_from_colorref(o->brush.lbColor);
    return true;
}

// Segments p[0]-p[1], ..., p[n-2]-p[n-1], and back to p[0] when `closed`.
void stroke(const Target &t, const POINT *p, int count, bool closed) {
    uint32_t colour;
    int width;
    if (!pen_of(*t.dc, &colour, &width)) return;
    for (int i = 0; i + 1 < count; ++i)
        raster_line(t.canvas, p[i], p[i + 1], colour, width);
    if (closed) raster_line(t.canvas, p[count - 1], p[0], colour, width);
}

} // namespace

BOOL MoveToEx(HDC h, int x, int y, LPPOINT previous) {
    GdiDc *dc = gdi_dc(h);
    if (!dc) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC h, int x, int y) {
    Target t;
    if (!target_of(h, &t)) return FALSE;
    POINT line[2] = {t.dc->position, POINT{x, y}};
    stroke(t, line, 2, false);
    t.dc->position = line[1];
    return TRUE;
}

BOOL Polyline(HDC h, const POINT *points, int count) {
    Target t;
    if (!points || count < 2 || !target_of(h, &t)) return FALSE;
    stroke(t, points, count, false);
    return TRUE;
}

BOOL Polygon(HDC h, const POINT *points, int count) {
    Target t;
    if (!points || count < 2 || !target_of(h, &t)) return FALSE;
    uint32_t colour;
    if (solid_brush(gdi_selected(t.dc->brush, GDI_BRUSH), &colour))
        raster_fill_polygon(t.canvas, points, count, colour);
    stroke(t, points, count, true);
    return TRUE;
}

int FillRect(HDC h, const RECT *rect, HBRUSH brush) {
    Target t;
    GdiObject *o = gdi_lookup(brush, GDI_BRUSH);
    if (!rect || !o || !target_of(h, &t)) return 0;
    uint32_t colour;
    if (solid_brush(o, &colour)) raster_fill_rect(t.canvas, *rect, colour);
    return 1;
}
