// The handle table and the GDI objects in it: pens, brushes, fonts, bitmaps and the stock
// objects; SelectObject, DeleteObject and GetObjectW.
#include "gdi/gdi_internal.h"

#include <string.h>

#include <winlayer.h>
#include <wlgdi.h>

#include "gdi/font/font_engine.h"
#include "kernel/trace.h"

namespace {

// A handle is (generation << 32) | (type << 24) | (slot + 1): a handle of a freed slot, or of
// another type, never matches a live object.
constexpr uint64_t SLOT_MASK = 0xFFFFFF;
constexpr int STOCK_COUNT = SYSTEM_FONT + 1;

struct HandleTable {
    std::deque<GdiObject> slots;
    std::vector<uint32_t> free_slots;
    HGDIOBJ stock[STOCK_COUNT];
    HBITMAP default_bitmap;
    int live; // non-stock objects
};

HandleTable &table() {
    static HandleTable t;
    return t;
}

uint64_t handle_value(const void *h) {
    return uint64_t(uintptr_t(h));
}

void *make_handle(uint32_t slot, GdiType type, uint32_t generation) {
    return reinterpret_cast<void *>(
        uintptr_t((uint64_t(generation) << 32) | (uint64_t(type) << 24) | (slot + 1)));
}

} // namespace

const char *gdi_type_name(GdiType type) {
    static const char *const NAMES[] = {"free slot", "dc", "pen", "brush", "font", "bitmap"};
    return type < sizeof NAMES / sizeof NAMES[0] ? NAMES[type] : "?";
}

GdiObject *gdi_selected(const void *handle, GdiType type) {
    uint64_t v = handle_value(handle);
    uint64_t slot_plus_one = v & SLOT_MASK;
    HandleTable &t = table();
    if (slot_plus_one == 0 || slot_plus_one > t.slots.size()) return nullptr;
    GdiObject &o = t.slots[slot_plus_one - 1];
    if (o.type == GDI_FREE) return nullptr;
    if (uint32_t(v >> 32) != o.generation || ((v >> 24) & 0xFF) != o.type) return nullptr;
    if (type != GDI_FREE && o.type != type) return nullptr;
    return &o;
}

GdiObject *gdi_lookup(const void *handle, GdiType type) {
    GdiObject *o = gdi_selected(handle, type);
    return o && !o->delete_pending ? o : nullptr;
}

void *gdi_create(GdiType type) {
    HandleTable &t = table();
    uint32_t slot;
    if (!t.free_slots.empty()) {
        slot = t.free_slots.back();
        t.free_slots.pop_back();
    } else {
        if (t.slots.size() >= SLOT_MASK) return nullptr;
        slot = uint32_t(t.slots.size());
        t.slots.emplace_back();
    }
    GdiObject &o = t.slots[slot];
    uint32_t generation = o.generation + 1;
    o = GdiObject{};
    o.type = type;
    o.generation = generation;
    ++t.live;
    return make_handle(slot, type, generation);
}

void gdi_free(const void *handle) {
    HandleTable &t = table();
    uint32_t slot = uint32_t((handle_value(handle) & SLOT_MASK) - 1);
    GdiObject &o = t.slots[slot];
    TRACE(TRACE_GDI, "%s %p freed", gdi_type_name(o.type), handle);
    uint32_t generation = o.generation;
    if (!o.stock) --t.live;
    o = GdiObject{}; // releases a bitmap's pixels at once
    o.generation = generation;
    t.free_slots.push_back(slot);
}

namespace {

HGDIOBJ make_pen(int style, int width, COLORREF colour) {
    void *h = gdi_create(GDI_PEN);
    if (!h) return nullptr;
    GdiObject *o = gdi_lookup(h, GDI_PEN);
    o->pen = LOGPEN{UINT(style), POINT{width, 0}, colour};
    TRACE(TRACE_GDI, "pen %p created: style %d, width %d, colour 0x%06x", h, style, width,
          unsigned(colour));
    return h;
}

HGDIOBJ make_brush(UINT style, COLORREF colour) {
    void *h = gdi_create(GDI_BRUSH);
    if (!h) return nullptr;
    gdi_lookup(h, GDI_BRUSH)->brush = LOGBRUSH{style, colour, 0};
    TRACE(TRACE_GDI, "brush %p created: style %u, colour 0x%06x", h, style, unsigned(colour));
    return h;
}

// The DC's default font: a proportional sans face with a 16-pixel cell.
HGDIOBJ make_system_font() {
    LOGFONTW f = {};
    f.lfHeight = 16;
    f.lfWeight = FW_NORMAL;
    const char16_t face[] = u"arial";
    memcpy(f.lfFaceName, face, sizeof face);
    return CreateFontIndirectW(&f);
}

HGDIOBJ make_stock(int id) {
    switch (id) {
    case WHITE_BRUSH: return make_brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return make_brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return make_brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return make_brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return make_brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return make_brush(BS_NULL, 0);
    case WHITE_PEN: return make_pen(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN: return make_pen(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN: return make_pen(PS_NULL, 1, 0);
    case SYSTEM_FONT: return make_system_font();
    default: return nullptr;
    }
}

void mark_stock(HGDIOBJ h) {
    GdiObject *o = gdi_lookup(h, GDI_FREE);
    o->stock = true;
    --table().live;
}

} // namespace

HGDIOBJ gdi_stock(int id) {
    HandleTable &t = table();
    if (id < 0 || id >= STOCK_COUNT) return nullptr;
    if (!t.stock[id]) {
        t.stock[id] = make_stock(id);
        if (t.stock[id]) mark_stock(t.stock[id]);
    }
    return t.stock[id];
}

HBITMAP gdi_default_bitmap() {
    HandleTable &t = table();
    if (!t.default_bitmap) {
        t.default_bitmap = gdi_bitmap_create(1, 1);
        mark_stock(t.default_bitmap);
    }
    return t.default_bitmap;
}

HBITMAP gdi_bitmap_create(int width, int height) {
    constexpr int64_t MAX_PIXELS = int64_t(1) << 26; // 256 MB of pixels
    if (width <= 0 || height <= 0 || int64_t(width) * height > MAX_PIXELS) return nullptr;
    void *h = gdi_create(GDI_BITMAP);
    if (!h) return nullptr;
    GdiObject *o = gdi_lookup(h, GDI_BITMAP);
    // Cleared in one block: a fresh bitmap is black, and paints make one per repaint.
    o->pixels.clear();
    o->pixels.resize(size_t(width) * size_t(height));
    o->width = width;
    o->height = height;
    TRACE(TRACE_GDI, "bitmap %p created: %d x %d", h, width, height);
    return static_cast<HBITMAP>(h);
}

Surface gdi_bitmap_surface(GdiObject *bitmap) {
    return Surface{bitmap->pixels.data(), bitmap->width, bitmap->width, bitmap->height};
}

void gdi_select_take(const void *handle) {
    GdiObject *o = gdi_lookup(handle, GDI_FREE);
    if (o) ++o->select_count;
}

void gdi_select_release(const void *handle) {
    GdiObject *o = gdi_selected(handle, GDI_FREE);
    if (o && --o->select_count == 0 && o->delete_pending) gdi_free(handle);
}

int gdi_object_count() {
    return table().live;
}

void gdi_objects_shutdown() {
    HandleTable &t = table();
    for (size_t i = 0; i < t.slots.size(); ++i) {
        if (t.slots[i].type == GDI_FREE) continue;
        uint32_t generation = t.slots[i].generation;
        t.slots[i] = GdiObject{};
        t.slots[i].generation = generation; // handles given out stay stale
        t.free_slots.push_back(uint32_t(i));
    }
    memset(t.stock, 0, sizeof t.stock);
    t.default_bitmap = nullptr;
    t.live = 0;
}

// ---- Win32 ---------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int object) {
    return gdi_stock(object);
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    // Styles other than solid and null are not drawn by this layer; refusing them is safer
    // than drawing them solid.
    if (style != PS_SOLID && style != PS_NULL) return nullptr;
    return static_cast<HPEN>(make_pen(style, width < 0 ? 0 : width, colour & 0xFFFFFF));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return static_cast<HBRUSH>(make_brush(BS_SOLID, colour & 0xFFFFFF));
}

HFONT CreateFontIndirectW(const LOGFONTW *font) {
    if (!font) return nullptr;
    void *h = gdi_create(GDI_FONT);
    if (!h) return nullptr;
    GdiObject *o = gdi_lookup(h, GDI_FONT);
    o->font = *font;
    o->font.lfFaceName[LF_FACESIZE - 1] = 0;
    TRACE(TRACE_GDI, "font %p created: \"%s\", height %d, weight %d", h,
          wl_utf8_from_utf16(o->font.lfFaceName, WL_TEXT_TERMINATED).c_str(), int(o->font.lfHeight),
          int(o->font.lfWeight));
    return static_cast<HFONT>(h);
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject *o = gdi_lookup(object, GDI_FREE);
    if (!o || o->type == GDI_DC) return FALSE;
    if (o->stock) return TRUE;
    if (o->select_count > 0) {
        // A selected bitmap stays; a selected pen, brush or font goes when the DC lets go.
        TRACE(TRACE_GDI, "%s %p is selected: %s", gdi_type_name(o->type), object,
              o->type == GDI_BITMAP ? "not deleted" : "freed when its DCs let go");
        if (o->type == GDI_BITMAP) return FALSE;
        o->delete_pending = true;
        return TRUE;
    }
    gdi_free(object);
    return TRUE;
}

int GetObjectW(HANDLE object, int size, LPVOID buffer) {
    GdiObject *o = gdi_lookup(object, GDI_FREE);
    if (!o) return 0;
    BITMAP bm = {};
    const void *data;
    int bytes;
    switch (o->type) {
    case GDI_PEN: data = &o->pen, bytes = sizeof(LOGPEN); break;
    case GDI_BRUSH: data = &o->brush, bytes = sizeof(LOGBRUSH); break;
    case GDI_FONT: data = &o->font, bytes = sizeof(LOGFONTW); break;
    case GDI_BITMAP:
        bm = BITMAP{0, o->width, o->height, o->width * 4, 1, 32, nullptr};
        data = &bm, bytes = sizeof(BITMAP);
        break;
    default: return 0;
    }
    if (!buffer) return bytes;
    if (size <= 0) return 0;
    int n = size < bytes ? size : bytes;
    memcpy(buffer, data, size_t(n));
    return n;
}

// ---- The layer's own -----------------------------------------------------------------------

BOOL wl_gdi_bitmap_pixels(HBITMAP bitmap, uint32_t **pixels, int *stride, int *width, int *height) {
    GdiObject *o = gdi_lookup(bitmap, GDI_BITMAP);
    if (!o) return FALSE;
    if (pixels) *pixels = o->pixels.data();
    if (stride) *stride = o->width;
    if (width) *width = o->width;
    if (height) *height = o->height;
    return TRUE;
}

int wl_gdi_object_count(void) {
    return gdi_object_count();
}

void wl_gdi_shutdown(void) {
    TRACE(TRACE_GDI, "tear-down");
    gdi_objects_shutdown();
    font_engine_shutdown();
}
