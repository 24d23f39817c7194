// A plain drawing surface: what the rasterizer and the font engine draw on. No handles here.
#pragma once

#include <stdint.h>

// Pixels are 32-bit 0x00RRGGBB, the memory layout of a Windows 32-bit DIB (blue byte first),
// rows top-down, `stride` pixels apart.
struct Surface {
    uint32_t *pixels;
    int stride;
    int width;
    int height;
};

// A rectangle in surface pixels; right and bottom are excluded.
struct ClipRect {
    int left;
    int top;
    int right;
    int bottom;
};

// COLORREF (0x00BBGGRR) to a surface pixel (0x00RRGGBB) and back.
inline uint32_t pixel_from_colorref(uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline uint32_t colorref_from_pixel(uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
