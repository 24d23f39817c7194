// BitBlt and StretchDIBits, and the copy of a whole bitmap that the window manager composes
// the screen with.
#include <stddef.h>
#include <stdlib.h>

#include "gdi/gdi_internal.h"

// The DIB header is read from caller memory exactly as laid out on Windows.
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(offsetof(BITMAPINFOHEADER, biSize) == 0, "biSize");
static_assert(offsetof(BITMAPINFOHEADER, biWidth) == 4, "biWidth");
static_assert(offsetof(BITMAPINFOHEADER, biHeight) == 8, "biHeight");
static_assert(offsetof(BITMAPINFOHEADER, biPlanes) == 12, "biPlanes");
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14, "biBitCount");
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16, "biCompression");
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20, "biSizeImage");
static_assert(offsetof(BITMAPINFOHEADER, biXPelsPerMeter) == 24, "biXPelsPerMeter");
static_assert(offsetof(BITMAPINFOHEADER, biYPelsPerMeter) == 28, "biYPelsPerMeter");
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32, "biClrUsed");
static_assert(offsetof(BITMAPINFOHEADER, biClrImportant) == 36, "biClrImportant");
static_assert(offsetof(BITMAPINFO, bmiColors) == 40, "bmiColors");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD");

namespace {

bool canvas_of(HDC h, Canvas *canvas) {
    GdiDc *dc = gdi_dc(h);
    return dc && gdi_dc_canvas(*dc, canvas);
}

// Only uncompressed 24-bit DIBs with their colours in the pixels are understood.
bool dib_supported(const BITMAPINFOHEADER &h) {
    return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biWidth > 0 && h.biHeight != 0 &&
           h.biHeight != INT32_MIN && h.biPlanes == 1 && h.biBitCount == 24 &&
           h.biCompression == BI_RGB;
}

} // namespace

void gdi_bitmap_copy_to(HBITMAP bitmap, const Surface &dest, int x, int y) {
    GdiObject *o = gdi_lookup(bitmap, GDI_BITMAP);
    if (!o) return;
    Canvas from{gdi_bitmap_surface(o), 0, 0, ClipRect{0, 0, o->width, o->height}};
    Canvas to{dest, 0, 0, ClipRect{0, 0, dest.width, dest.height}};
    raster_copy(to, x, y, o->width, o->height, from, 0, 0);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x, int source_y,
            DWORD rop) {
    Canvas to, from;
    if (rop != SRCCOPY || !canvas_of(dest, &to) || !canvas_of(source, &from)) return FALSE;
    // The source is read from the whole of its bitmap, not through a window's clip.
    from.clip = ClipRect{0, 0, from.surface.width, from.surface.height};
    raster_copy(to, x, y, width, height, from, source_x, source_y);
    return TRUE;
}

int StretchDIBits(HDC dc, int dest_x, int dest_y, int dest_width, int dest_height, int source_x,
                  int source_y, int source_width, int source_height, const VOID *bits,
                  const BITMAPINFO *info, UINT usage, DWORD rop) {
    Canvas canvas;
    if (!bits || !info || usage != DIB_RGB_COLORS || rop != SRCCOPY) return 0;
    if (!dib_supported(info->bmiHeader) || !canvas_of(dc, &canvas)) return 0;
    for (int extent : {dest_width, dest_height, source_width, source_height}) {
        if (extent == 0 || extent == INT32_MIN) return 0; // nothing to map, or no magnitude
    }
    const BITMAPINFOHEADER &h = info->bmiHeader;
    DibSource source{static_cast<const uint8_t *>(bits), int(h.biWidth), abs(int(h.biHeight)),
                     h.biHeight > 0};
    raster_stretch_dib(canvas, StretchRect{dest_x, dest_y, dest_width, dest_height}, source,
                       StretchRect{source_x, source_y, source_width, source_height});
    return abs(source_height);
}
