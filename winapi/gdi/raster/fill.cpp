// Rectangle fills and the clip arithmetic that every primitive shares.
#include "gdi/raster/raster.h"

#include <algorithm>
#include <cstring>

ClipRect clip_intersect(const ClipRect &a, const ClipRect &b) {
    return ClipRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

namespace {

// Logical coordinates may lie far outside the surface; adding the origin must not overflow.
int to_surface(LONG logical, int origin) {
    int64_t v = int64_t(logical) + origin;
    return int(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

} // namespace

void raster_fill_rect(const Canvas &canvas, const RECT &rect, uint32_t colour) {
    // A rectangle includes its left and top edges and excludes its right and bottom edges.
    ClipRect r{to_surface(rect.left, canvas.origin_x), to_surface(rect.top, canvas.origin_y),
               to_surface(rect.right, canvas.origin_x), to_surface(rect.bottom, canvas.origin_y)};
    r = clip_intersect(r, canvas.clip);
    if (clip_empty(r)) return;
    const Surface &s = canvas.surface;
    const size_t width = size_t(r.right - r.left);
    uint32_t *first = s.pixels + size_t(r.top) * s.stride + r.left;
    raster_fill_span(first, width, colour);
    // The rows below are copies of the first: block copies outrun pixel-by-pixel stores.
    for (int y = r.top + 1; y < r.bottom; ++y)
        std::memcpy(s.pixels + size_t(y) * s.stride + r.left, first, width * sizeof(uint32_t));
}

void raster_fill_span(uint32_t *pixels, size_t count, uint32_t colour) {
    // A few pixels one by one, then the filled part copied onto the rest in doubling blocks.
    size_t done = std::min<size_t>(count, 16);
    std::fill(pixels, pixels + done, colour);
    while (done < count) {
        size_t block = std::min(done, count - done);
        std::memcpy(pixels + done, pixels, block * sizeof(uint32_t));
        done += block;
    }
}
