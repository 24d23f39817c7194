// The layer's own drawing functions for hosts, screens and tests: reading a bitmap's pixels,
// writing PNG files, counting and tearing down GDI state. Not part of Win32; module code never
// includes it.
#pragma once

#include "windef.h"

// The pixels of a bitmap: 32-bit 0x00RRGGBB, rows top-down, `stride` pixels apart. The pointer
// stays valid until the bitmap is deleted. FALSE (outputs untouched) for anything but a live
// bitmap handle.
BOOL wl_gdi_bitmap_pixels(HBITMAP bitmap, uint32_t **pixels, int *stride, int *width, int *height);
// Writes a bitmap as an 8-bit RGB PNG file. FALSE if the handle is no bitmap or the file fails.
BOOL wl_gdi_save_png(HBITMAP bitmap, const char *path);
// Writes pixels laid out as above as an 8-bit RGB PNG file.
BOOL wl_png_write(const uint32_t *pixels, int stride, int width, int height, const char *path);

// Live GDI objects and device contexts that the program created (stock objects not counted),
// so that tests can show that drawing code deletes what it makes.
int wl_gdi_object_count(void);
// Frees every device context, object, stock object and font cache. Handles given out before
// are stale afterwards; the next GDI call starts afresh.
void wl_gdi_shutdown(void);
