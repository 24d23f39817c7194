// Rectangle fills and the clip arithmetic that every primitive shares.
#include "gdi/raster/raster.h"

#include <algorithm>

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
    for (int y = r.top; y < r.bottom; ++y) {
        std::fill(s.pixels + size_t(y) * s.stride + r.left,
                  s.pixels + size_t(y) * s.stride + r.right, colour);
    }
}
