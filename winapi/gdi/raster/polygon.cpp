// Polygon interiors in the alternate fill mode.
#include "gdi/raster/raster.h"

#include <algorithm>
#include <vector>

namespace {

typedef __int128 Wide; // products of two 33-bit coordinate differences

int64_t ceil_div(Wide a, int64_t b) { // b > 0
    Wide q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return int64_t(q);
}

struct Edge {
    int64_t x0, y0, x1, y1; // y0 < y1
};

// Edges of the closed outline, each running downward; horizontal edges cross no row.
void collect_edges(const Canvas &c, const POINT *p, int count, std::vector<Edge> *edges,
                   int64_t *top, int64_t *bottom) {
    *top = INT64_MAX;
    *bottom = INT64_MIN;
    for (int i = 0; i < count; ++i) {
        const POINT &a = p[i];
        const POINT &b = p[(i + 1) % count];
        int64_t ax = int64_t(a.x) + c.origin_x, ay = int64_t(a.y) + c.origin_y;
        int64_t bx = int64_t(b.x) + c.origin_x, by = int64_t(b.y) + c.origin_y;
        *top = std::min({*top, ay, by});
        *bottom = std::max({*bottom, ay, by});
        if (ay == by) continue;
        edges->push_back(ay < by ? Edge{ax, ay, bx, by} : Edge{bx, by, ax, ay});
    }
}

// Fills the spans of one row between pairs of crossings; each crossing is already the first
// pixel column at or right of the edge.
void fill_row(const Canvas &c, int y, std::vector<int64_t> *xs, uint32_t colour) {
    std::sort(xs->begin(), xs->end());
    uint32_t *row = c.surface.pixels + size_t(y) * c.surface.stride;
    for (size_t k = 0; k + 1 < xs->size(); k += 2) {
        int64_t l = std::max<int64_t>((*xs)[k], c.clip.left);
        int64_t r = std::min<int64_t>((*xs)[k + 1], c.clip.right);
        if (l < r) std::fill(row + l, row + r, colour);
    }
}

} // namespace

void raster_fill_polygon(const Canvas &canvas, const POINT *points, int count, uint32_t colour) {
    // A pixel is inside when its centre is; centres on a left or top edge are in, on a right or
    // bottom edge out; a centre crossed an even number of times is outside.
    if (count < 3 || clip_empty(canvas.clip)) return;
    std::vector<Edge> edges;
    edges.reserve(size_t(count));
    int64_t top, bottom;
    collect_edges(canvas, points, count, &edges, &top, &bottom);
    int64_t y_first = std::max<int64_t>(top, canvas.clip.top);
    int64_t y_end = std::min<int64_t>(bottom, canvas.clip.bottom);
    if (y_first >= y_end) return;
    std::vector<int64_t> xs;
    xs.reserve(edges.size());
    for (int64_t y = y_first; y < y_end; ++y) {
        xs.clear();
        for (const Edge &e : edges) {
            if (y < e.y0 || y >= e.y1) continue;
            xs.push_back(e.x0 + ceil_div(Wide(y - e.y0) * (e.x1 - e.x0), e.y1 - e.y0));
        }
        fill_row(canvas, int(y), &xs, colour);
    }
}
