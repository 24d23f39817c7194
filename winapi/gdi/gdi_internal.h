// The GDI object model: the handle table with its pens, brushes, fonts, bitmaps and device
// contexts. The API files validate handles through it; the window manager builds window DCs on
// it. Nothing here is visible to the module.
#pragma once

#include <deque>
#include <vector>

#include <wingdi.h>

#include "gdi/raster/raster.h"

enum GdiType : uint8_t {
    GDI_FREE = 0,
    GDI_DC = 1,
    GDI_PEN = 2,
    GDI_BRUSH = 3,
    GDI_FONT = 4,
    GDI_BITMAP = 5,
};

// A memory DC draws on the bitmap selected into it. A view DC draws on a bitmap it does not
// own (the screen) through an origin and a clip rectangle: what a window DC is.
enum DcKind : uint8_t { DC_MEMORY, DC_VIEW };

struct GdiDc {
    DcKind kind;
    HBITMAP bitmap; // selected (memory) or target (view)
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    COLORREF text_colour;
    COLORREF bk_colour;
    int bk_mode;
    POINT position; // current position, logical
    POINT origin;   // logical (0, 0) on the bitmap
    ClipRect clip;  // view DCs: bitmap pixels that may be drawn
};

struct GdiObject {
    GdiType type;
    bool stock;
    bool delete_pending; // deleted while selected: freed when the last DC lets go
    uint32_t generation;
    int select_count; // DCs that have it selected
    // Payload by type.
    LOGPEN pen;
    LOGBRUSH brush;
    LOGFONTW font;
    std::vector<uint32_t> pixels;
    int width;
    int height;
    GdiDc dc;
};

// "pen", "dc" and so on, for the trace.
const char *gdi_type_name(GdiType type);
// Looks a handle up; null when it is not a live object of `type` (GDI_FREE: any type).
GdiObject *gdi_lookup(const void *handle, GdiType type);
// The same for an object a DC has selected, which serves on while its deletion is pending.
GdiObject *gdi_selected(const void *handle, GdiType type);
inline GdiDc *gdi_dc(HDC dc) {
    GdiObject *o = gdi_lookup(dc, GDI_DC);
    return o ? &o->dc : nullptr;
}
// Makes a new object of `type`; its payload is value-initialised. Returns its handle.
void *gdi_create(GdiType type);
// Frees the slot; its handle becomes stale.
void gdi_free(const void *handle);
// Stock objects, created on first use. `id` is a GetStockObject number; the default bitmap
// of memory DCs has its own accessor.
HGDIOBJ gdi_stock(int id);
HBITMAP gdi_default_bitmap();
// A 32-bit bitmap, black. Null if the size is not positive or too large.
HBITMAP gdi_bitmap_create(int width, int height);
// The whole of a bitmap as a surface.
Surface gdi_bitmap_surface(GdiObject *bitmap);
// Copies all of a bitmap onto `dest` with its top-left at (x, y); what falls outside `dest` is
// left out. Nothing when the handle is no live bitmap.
void gdi_bitmap_copy_to(HBITMAP bitmap, const Surface &dest, int x, int y);

// Selection bookkeeping: a DC takes or lets go of an object; letting go of an object whose
// deletion is pending frees it.
void gdi_select_take(const void *handle);
void gdi_select_release(const void *handle);

// DCs. A view DC draws on `target` with logical (0, 0) at `origin` and only inside `clip`
// (bitmap pixels); the window manager makes one per GetDC/BeginPaint and moves it with
// gdi_dc_set_view. DeleteDC frees either kind.
HDC gdi_dc_create_view(HBITMAP target, POINT origin, const ClipRect &clip);
BOOL gdi_dc_set_view(HDC dc, POINT origin, const ClipRect &clip);
// The drawing target of a DC: its bitmap's surface, origin and clip (already within the
// bitmap). False for a stale DC or a deleted target.
bool gdi_dc_canvas(const GdiDc &dc, Canvas *canvas);
// Sets the state of a new DC: stock pen, brush and font, black text on opaque white.
void gdi_dc_defaults(GdiDc *dc);
// Number of live non-stock objects.
int gdi_object_count();
// Frees everything (wl_gdi_shutdown).
void gdi_objects_shutdown();
