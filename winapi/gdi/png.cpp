// PNG files of bitmaps and surfaces, for snapshots and stored test images.
#include <png.h>
#include <stdio.h>

#include <wlgdi.h>

#include "gdi/gdi_internal.h"

namespace {

// libpng reports errors by longjmp, so nothing with a destructor lives in this function.
bool write_rows(FILE *file, const uint32_t *pixels, int stride, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // A pixel 0x00RRGGBB is the bytes B, G, R, 0 in memory: reorder and drop the fourth.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + size_t(y) * stride));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

BOOL wl_png_write(const uint32_t *pixels, int stride, int width, int height, const char *path) {
    if (!pixels || !path || width <= 0 || height <= 0 || stride < width) return FALSE;
    FILE *file = fopen(path, "wb");
    if (!file) return FALSE;
    bool ok = write_rows(file, pixels, stride, width, height);
    ok = fclose(file) == 0 && ok;
    if (!ok) remove(path);
    return ok ? TRUE : FALSE;
}

BOOL wl_gdi_save_png(HBITMAP bitmap, const char *path) {
    GdiObject *o = gdi_lookup(bitmap, GDI_BITMAP);
    if (!o) return FALSE;
    return wl_png_write(o->pixels.data(), o->width, o->width, o->height, path);
}
