// Device contexts: memory DCs, view DCs for windows, their state and the objects selected in.
#include "gdi/gdi_internal.h"
#include "kernel/trace.h"

namespace {

HDC make_dc(DcKind kind, HBITMAP bitmap) {
    HDC h = static_cast<HDC>(gdi_create(GDI_DC));
    if (!h) return nullptr;
    GdiDc *dc = gdi_dc(h);
    gdi_dc_defaults(dc);
    dc->kind = kind;
    dc->bitmap = bitmap;
    for (const void *o : {(const void *)dc->pen, (const void *)dc->brush, (const void *)dc->font,
                          (const void *)bitmap}) {
        gdi_select_take(o);
    }
    TRACE(TRACE_GDI, "dc %p created: %s, bitmap %p", (void *)h,
          kind == DC_MEMORY ? "memory" : "view", (void *)bitmap);
    return h;
}

// Swaps the DC's slot for `object`; the DC lets go of the old one. Returns the old handle.
template <typename H>
H swap_selected(H *slot, HGDIOBJ object) {
    H old = *slot;
    gdi_select_take(object);
    *slot = static_cast<H>(object);
    gdi_select_release(old); // may free an old object whose deletion was pending
    return old;
}

HGDIOBJ select_bitmap(GdiDc *dc, GdiObject *bitmap, HGDIOBJ handle) {
    // A window's DC draws on the screen; only a memory DC takes a bitmap. A bitmap is in one
    // DC at a time (the shared default bitmap excepted).
    if (dc->kind != DC_MEMORY) return nullptr;
    if (handle == dc->bitmap) return handle;
    if (bitmap->select_count > 0 && !bitmap->stock) return nullptr;
    return swap_selected(&dc->bitmap, handle);
}

} // namespace

void gdi_dc_defaults(GdiDc *dc) {
    dc->pen = static_cast<HPEN>(gdi_stock(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(gdi_stock(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(gdi_stock(SYSTEM_FONT));
    dc->text_colour = RGB(0, 0, 0);
    dc->bk_colour = RGB(255, 255, 255);
    dc->bk_mode = OPAQUE;
    dc->position = POINT{0, 0};
    dc->origin = POINT{0, 0};
    dc->clip = ClipRect{0, 0, 0, 0};
}

HDC gdi_dc_create_view(HBITMAP target, POINT origin, const ClipRect &clip) {
    if (!gdi_lookup(target, GDI_BITMAP)) return nullptr;
    HDC h = make_dc(DC_VIEW, target);
    if (h) gdi_dc_set_view(h, origin, clip);
    return h;
}

BOOL gdi_dc_set_view(HDC h, POINT origin, const ClipRect &clip) {
    GdiDc *dc = gdi_dc(h);
    if (!dc || dc->kind != DC_VIEW) return FALSE;
    dc->origin = origin;
    dc->clip = clip;
    return TRUE;
}

bool gdi_dc_canvas(const GdiDc &dc, Canvas *canvas) {
    GdiObject *bitmap = gdi_lookup(dc.bitmap, GDI_BITMAP);
    if (!bitmap) return false;
    canvas->surface = gdi_bitmap_surface(bitmap);
    canvas->origin_x = int(dc.origin.x);
    canvas->origin_y = int(dc.origin.y);
    ClipRect bounds{0, 0, bitmap->width, bitmap->height};
    canvas->clip = dc.kind == DC_VIEW ? clip_intersect(dc.clip, bounds) : bounds;
    return true;
}

// ---- Win32 ---------------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc) {
    // Every DC of this layer is 32 bits per pixel, so any valid DC (or none: the screen) will do.
    if (dc && !gdi_dc(dc)) return nullptr;
    return make_dc(DC_MEMORY, gdi_default_bitmap());
}

BOOL DeleteDC(HDC h) {
    GdiDc *dc = gdi_dc(h);
    if (!dc) return FALSE;
    GdiDc state = *dc;
    gdi_free(h);
    gdi_select_release(state.pen);
    gdi_select_release(state.brush);
    gdi_select_release(state.font);
    gdi_select_release(state.bitmap);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!gdi_dc(dc) || width < 0 || height < 0) return nullptr;
    // A zero size gives the 1 x 1 default bitmap, as on Windows.
    if (width == 0 || height == 0) return gdi_default_bitmap();
    return gdi_bitmap_create(width, height);
}

namespace {

HGDIOBJ select_into(GdiDc *dc, GdiObject *o, HGDIOBJ object) {
    switch (o->type) {
    case GDI_PEN: return swap_selected(&dc->pen, object);
    case GDI_BRUSH: return swap_selected(&dc->brush, object);
    case GDI_FONT: return swap_selected(&dc->font, object);
    case GDI_BITMAP: return select_bitmap(dc, o, object);
    default: return nullptr;
    }
}

} // namespace

HGDIOBJ SelectObject(HDC h, HGDIOBJ object) {
    GdiDc *dc = gdi_dc(h);
    GdiObject *o = gdi_lookup(object, GDI_FREE);
    if (!dc || !o) return nullptr;
    HGDIOBJ old = select_into(dc, o, object);
    TRACE(TRACE_GDI, "SelectObject(dc %p, %s %p) = %p", (void *)h, gdi_type_name(o->type), object,
          old);
    return old;
}
