// Lines as GDI draws them with a solid pen.
#include "gdi/raster/raster.h"

#include <algorithm>
#include <cstdlib>

namespace {

int64_t floor_div(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t ceil_div(int64_t a, int64_t b) {
    return -floor_div(-a, b);
}

// One pen stamp: the pixel itself for a cosmetic pen; for wider pens a square of `width`
// pixels whose top-left lies (width - 1) / 2 above and left of the pixel.
void stamp(const Canvas &c, int64_t x, int64_t y, uint32_t colour, int width) {
    if (width == 1) {
        if (x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom) {
            c.surface.pixels[size_t(y) * c.surface.stride + size_t(x)] = colour;
        }
        return;
    }
    int64_t left = x - (width - 1) / 2, top = y - (width - 1) / 2;
    ClipRect r{int(std::clamp<int64_t>(left, INT32_MIN / 2, INT32_MAX / 2)),
               int(std::clamp<int64_t>(top, INT32_MIN / 2, INT32_MAX / 2)),
               int(std::clamp<int64_t>(left + width, INT32_MIN / 2, INT32_MAX / 2)),
               int(std::clamp<int64_t>(top + width, INT32_MIN / 2, INT32_MAX / 2))};
    r = clip_intersect(r, c.clip);
    for (int py = r.top; py < r.bottom; ++py) {
        for (int px = r.left; px < r.right; ++px) {
            c.surface.pixels[size_t(py) * c.surface.stride + size_t(px)] = colour;
        }
    }
}

// The steps i of the major axis, starting at `start` and moving by `dir`, that can touch the
// clip range [lo, hi) with a pen reaching `reach` pixels beyond the pixel; within [0, steps).
void step_range(int64_t start, int dir, int64_t steps, int64_t lo, int64_t hi, int64_t reach,
                int64_t *first, int64_t *last) {
    lo -= reach;
    hi += reach;
    int64_t a = dir > 0 ? lo - start : start - (hi - 1);
    int64_t b = dir > 0 ? hi - 1 - start : start - lo;
    *first = std::max<int64_t>(a, 0);
    *last = std::min<int64_t>(b, steps - 1);
}

struct Axis {
    int64_t start; // major coordinate of the first point
    int dir;       // +1 or -1 along the major axis
    int64_t steps; // pixels drawn: |major extent|
    int64_t minor; // minor coordinate of the first point
    int64_t delta; // signed minor extent
};

// Walks the major axis; at step i the minor offset is i * delta / steps rounded to the nearest
// pixel, a tie going to the smaller coordinate (the upper pixel of an x-major line, the left
// pixel of a y-major one), as the diamond rule decides it.
template <typename Plot>
void walk(const Axis &ax, int64_t first, int64_t last, Plot plot) {
    const int64_t den = 2 * ax.steps;
    int64_t v = 2 * first * ax.delta - ax.steps; // offset = ceil(v / den)
    int64_t q = ceil_div(v, den);
    int64_t r = v - q * den; // in (-den, 0]
    for (int64_t i = first; i <= last; ++i) {
        plot(ax.start + ax.dir * i, ax.minor + q);
        r += 2 * ax.delta;
        if (r > 0) {
            ++q;
            r -= den;
        } else if (r <= -den) {
            --q;
            r += den;
        }
    }
}

} // namespace

void raster_line(const Canvas &canvas, POINT a, POINT b, uint32_t colour, int width) {
    // A line includes its first point and excludes its last; one pixel per major-axis step.
    int64_t x0 = int64_t(a.x) + canvas.origin_x, y0 = int64_t(a.y) + canvas.origin_y;
    int64_t x1 = int64_t(b.x) + canvas.origin_x, y1 = int64_t(b.y) + canvas.origin_y;
    int64_t dx = x1 - x0, dy = y1 - y0;
    if ((dx == 0 && dy == 0) || clip_empty(canvas.clip)) return;
    width = std::max(width, 1);
    const ClipRect &c = canvas.clip;
    int64_t first, last;
    if (std::llabs(dx) >= std::llabs(dy)) {
        Axis ax{x0, dx > 0 ? 1 : -1, std::llabs(dx), y0, dy};
        step_range(x0, ax.dir, ax.steps, c.left, c.right, width, &first, &last);
        walk(ax, first, last, [&](int64_t x, int64_t y) { stamp(canvas, x, y, colour, width); });
    } else {
        Axis ax{y0, dy > 0 ? 1 : -1, std::llabs(dy), x0, dx};
        step_range(y0, ax.dir, ax.steps, c.top, c.bottom, width, &first, &last);
        walk(ax, first, last, [&](int64_t y, int64_t x) { stamp(canvas, x, y, colour, width); });
    }
}
