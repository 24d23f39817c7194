#include "gdi/font/font_internal.h"

namespace {

ClipRect clip_to_surface(const ClipRect &clip, const Surface &surface) {
    ClipRect c = clip;
    if (c.left < 0) c.left = 0;
    if (c.top < 0) c.top = 0;
    if (c.right > surface.width) c.right = surface.width;
    if (c.bottom > surface.height) c.bottom = surface.height;
    return c;
}

// One channel of (coverage * colour + (255 - coverage) * destination) / 255, rounded to nearest.
inline uint32_t blend_channel(uint32_t cov, uint32_t src, uint32_t dst) {
    return (cov * src + (255 - cov) * dst + 127) / 255;
}

inline uint32_t blend_pixel(uint32_t cov, uint32_t colour, uint32_t dst) {
    if (cov == 255) return (dst & 0xFF000000u) | (colour & 0xFFFFFFu);
    uint32_t r = blend_channel(cov, (colour >> 16) & 0xFF, (dst >> 16) & 0xFF);
    uint32_t g = blend_channel(cov, (colour >> 8) & 0xFF, (dst >> 8) & 0xFF);
    uint32_t b = blend_channel(cov, colour & 0xFF, dst & 0xFF);
    return (dst & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

// Blends a glyph's coverage with its bitmap's top-left at (gx, gy); pixels outside `c` are left.
void glyph_blit(const Surface &surface, const ClipRect &c, int64_t gx, int64_t gy,
                const Glyph &glyph, uint32_t colour) {
    int64_t x0 = gx > c.left ? gx : c.left;
    int64_t y0 = gy > c.top ? gy : c.top;
    int64_t x1 = gx + glyph.width < c.right ? gx + glyph.width : c.right;
    int64_t y1 = gy + glyph.rows < c.bottom ? gy + glyph.rows : c.bottom;
    if (x0 >= x1 || y0 >= y1) return;
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t *cov = &glyph.coverage[(size_t)((y - gy) * glyph.width + (x0 - gx))];
        uint32_t *dst = surface.pixels + (ptrdiff_t)y * surface.stride + x0;
        for (int64_t x = x0; x < x1; ++x, ++cov, ++dst)
            if (*cov != 0) *dst = blend_pixel(*cov, colour, *dst);
    }
}

} // namespace

void font_engine_draw(FontInstance *font, const Surface &surface, const ClipRect &clip, int x,
                      int y, const WCHAR *text, int count, uint32_t colour, const int *dx) {
    if (!font || !text || !surface.pixels) return;
    ClipRect c = clip_to_surface(clip, surface);
    if (c.left >= c.right || c.top >= c.bottom) return;
    // The cell's top is at y; glyphs hang from the baseline an ascent below it.
    int64_t baseline = (int64_t)y + font->metrics.tmAscent;
    int64_t pen = x;
    for (int i = 0; i < count; ++i) {
        const Glyph &glyph = glyph_cache_get(font, text[i]);
        if (glyph.width > 0)
            glyph_blit(surface, c, pen + glyph.left, baseline - glyph.top, glyph, colour);
        pen += dx ? dx[i] : glyph.advance;
    }
}
