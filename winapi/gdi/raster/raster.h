// The rasterizer: lines, rectangles, polygons and blits on a plain surface. It never sees a
// handle; coordinates are logical and become surface pixels by adding the canvas origin.
// Every primitive opens the same way: transform, clip, return early if nothing is left.
#pragma once

#include <stddef.h>

#include <windef.h>

#include "gdi/raster/surface.h"

// Where a primitive draws: the surface, the origin of logical (0, 0) on it, and the clip
// rectangle in surface pixels, already within the surface.
struct Canvas {
    Surface surface;
    int origin_x;
    int origin_y;
    ClipRect clip;
};

inline bool clip_empty(const ClipRect &r) {
    return r.left >= r.right || r.top >= r.bottom;
}
ClipRect clip_intersect(const ClipRect &a, const ClipRect &b);

// A line from a to b drawn with a square pen of `width` pixels (1 for a cosmetic line).
void raster_line(const Canvas &canvas, POINT a, POINT b, uint32_t colour, int width);
// Fills the rectangle [left, right) x [top, bottom).
void raster_fill_rect(const Canvas &canvas, const RECT &rect, uint32_t colour);
// Sets `count` pixels from `pixels` on to `colour` (no clipping: a plain run of memory).
void raster_fill_span(uint32_t *pixels, size_t count, uint32_t colour);
// Fills the interior of a closed polygon in the alternate (even-odd) mode.
void raster_fill_polygon(const Canvas &canvas, const POINT *points, int count, uint32_t colour);

// Copies width x height pixels from (sx, sy) on `source` to (x, y) on `dest`, both logical on
// their own canvas; source and destination may be the same surface and overlap.
void raster_copy(const Canvas &dest, int x, int y, int width, int height, const Canvas &source,
                 int sx, int sy);

// A 24-bit uncompressed device-independent bitmap in memory.
struct DibSource {
    const uint8_t *bits;
    int width;
    int height;     // rows, positive
    bool bottom_up; // first row in memory is the bottom row of the picture
};
// A rectangle given as origin and signed extents (negative extents mirror).
struct StretchRect {
    int x;
    int y;
    int width;
    int height;
};
// Stretches the source rectangle onto the destination rectangle, nearest pixel.
void raster_stretch_dib(const Canvas &dest, const StretchRect &to, const DibSource &source,
                        const StretchRect &from);
