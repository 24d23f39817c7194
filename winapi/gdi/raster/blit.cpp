// Block copies between surfaces and the nearest-pixel stretch of device-independent bitmaps.
#include "gdi/raster/raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

int clamp_int(int64_t v) {
    return int(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

} // namespace

void raster_copy(const Canvas &dest, int x, int y, int width, int height, const Canvas &source,
                 int sx, int sy) {
    // Copies only pixels whose destination lies in the destination clip and whose source lies
    // in the source clip; the others keep their colour.
    if (width <= 0 || height <= 0) return;
    int dl = clamp_int(int64_t(x) + dest.origin_x), dt = clamp_int(int64_t(y) + dest.origin_y);
    int sl = clamp_int(int64_t(sx) + source.origin_x);
    int st = clamp_int(int64_t(sy) + source.origin_y);
    int shift_x = dl - sl, shift_y = dt - st; // destination minus source
    ClipRect r{dl, dt, clamp_int(int64_t(dl) + width), clamp_int(int64_t(dt) + height)};
    r = clip_intersect(r, dest.clip);
    ClipRect from = source.clip;
    r = clip_intersect(r, ClipRect{from.left + shift_x, from.top + shift_y, from.right + shift_x,
                                   from.bottom + shift_y});
    if (clip_empty(r)) return;
    size_t bytes = size_t(r.right - r.left) * sizeof(uint32_t);
    // Rows go bottom-up when the destination lies below an overlapping source.
    bool upward = dest.surface.pixels == source.surface.pixels && shift_y > 0;
    for (int k = 0; k < r.bottom - r.top; ++k) {
        int row = upward ? r.bottom - 1 - k : r.top + k;
        uint32_t *to = dest.surface.pixels + size_t(row) * dest.surface.stride + r.left;
        const uint32_t *src = source.surface.pixels +
                              size_t(row - shift_y) * source.surface.stride + (r.left - shift_x);
        std::memmove(to, src, bytes);
    }
}

namespace {

// Nearest-pixel mapping of one axis: destination pixel i of n_dest takes source pixel
// floor((2i + 1) * n_source / (2 n_dest)), the one under its centre; walked incrementally.
struct Dda {
    int64_t index, rem, step_q, step_r, den;
    Dda(int64_t first, int64_t n_source, int64_t n_dest) {
        den = 2 * n_dest;
        int64_t num = (2 * first + 1) * n_source;
        index = num / den;
        rem = num % den;
        step_q = (2 * n_source) / den;
        step_r = (2 * n_source) % den;
    }
    void next() {
        index += step_q;
        rem += step_r;
        if (rem >= den) {
            ++index;
            rem -= den;
        }
    }
};

struct Axis {
    int dest_lo;   // first destination pixel (surface)
    int n_dest;    // destination pixels
    int source_lo; // first source pixel of the normalised source rectangle
    int n_source;
    bool flip;
};

Axis make_axis(int64_t dest, int dest_extent, int origin, int source, int source_extent) {
    Axis a;
    int64_t lo = dest_extent < 0 ? dest + dest_extent : dest;
    a.dest_lo = clamp_int(lo + origin);
    a.n_dest = std::abs(dest_extent);
    a.source_lo = source_extent < 0 ? source + source_extent : source;
    a.n_source = std::abs(source_extent);
    a.flip = (dest_extent < 0) != (source_extent < 0);
    return a;
}

// Source column or row (within the normalised rectangle, before flipping) to picture index.
int64_t source_at(const Axis &a, int64_t k) {
    return a.source_lo + (a.flip ? a.n_source - 1 - k : k);
}

// The Dda's indexes without its carried remainder, for extents below 2^20: with
// M = ceil(2^64 / d) and f * d <= 2^64, floor(f * M / 2^64) is exactly floor(f / d), so each
// pixel's source is one multiplication, and neighbouring pixels don't wait for each other.
constexpr int64_t RECIPROCAL_LIMIT = int64_t(1) << 20;

void stretch_row_inside(uint32_t *to, int first, int last, const Axis &ax, const uint8_t *base) {
    const uint64_t den = 2 * uint64_t(ax.n_dest);
    const uint64_t reciprocal = ~uint64_t(0) / den + 1;
    const uint64_t step = 2 * uint64_t(ax.n_source);
    uint64_t num = (2 * uint64_t(first) + 1) * uint64_t(ax.n_source);
    for (int i = first; i < last; ++i, num += step) {
        size_t index = size_t((unsigned __int128)num * reciprocal >> 64);
        const uint8_t *p = base + index * 3;
        to[i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
}

// Writes destination pixels [first, last) of the row that starts at `to`, counted from the
// destination rectangle's left edge at column `offset`.
void stretch_row(uint32_t *to, int offset, int first, int last, const Axis &ax, const uint8_t *row,
                 int width) {
    bool inside = ax.source_lo >= 0 && int64_t(ax.source_lo) + ax.n_source <= width && !ax.flip;
    if (inside && ax.n_dest < RECIPROCAL_LIMIT && ax.n_source < RECIPROCAL_LIMIT) {
        stretch_row_inside(to + offset, first, last, ax, row + size_t(ax.source_lo) * 3);
        return;
    }
    Dda d(first, ax.n_source, ax.n_dest);
    if (inside) { // kept free of per-pixel checks
        const uint8_t *base = row + size_t(ax.source_lo) * 3;
        for (int i = first; i < last; ++i, d.next()) {
            const uint8_t *p = base + d.index * 3;
            to[offset + i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        }
        return;
    }
    for (int i = first; i < last; ++i, d.next()) {
        int64_t sx = source_at(ax, d.index);
        if (sx < 0 || sx >= width) continue;
        const uint8_t *p = row + sx * 3;
        to[offset + i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
}

} // namespace

void raster_stretch_dib(const Canvas &dest, const StretchRect &to, const DibSource &source,
                        const StretchRect &from) {
    // Each destination pixel takes the source pixel under its centre; a positive DIB height
    // means bottom-up rows, and the source y then counts from the bottom row.
    if (to.width == 0 || to.height == 0 || from.width == 0 || from.height == 0) return;
    Axis ax = make_axis(to.x, to.width, dest.origin_x, from.x, from.width);
    Axis ay = make_axis(to.y, to.height, dest.origin_y, from.y, from.height);
    ClipRect r{ax.dest_lo, ay.dest_lo, clamp_int(int64_t(ax.dest_lo) + ax.n_dest),
               clamp_int(int64_t(ay.dest_lo) + ay.n_dest)};
    r = clip_intersect(r, dest.clip);
    if (clip_empty(r)) return;
    size_t stride = (size_t(source.width) * 3 + 3) & ~size_t(3);
    // The picture row of the source rectangle's top row.
    int64_t top = source.bottom_up ? int64_t(source.height) - ay.source_lo - ay.n_source
                                   : int64_t(ay.source_lo);
    Dda dy(r.top - ay.dest_lo, ay.n_source, ay.n_dest);
    for (int y = r.top; y < r.bottom; ++y, dy.next()) {
        int64_t k = ay.flip ? ay.n_source - 1 - dy.index : dy.index;
        int64_t picture_row = top + k;
        if (picture_row < 0 || picture_row >= source.height) continue;
        int64_t memory_row = source.bottom_up ? source.height - 1 - picture_row : picture_row;
        uint32_t *line = dest.surface.pixels + size_t(y) * dest.surface.stride;
        stretch_row(line, ax.dest_lo, r.left - ax.dest_lo, r.right - ax.dest_lo, ax,
                    source.bits + size_t(memory_row) * stride, source.width);
    }
}
