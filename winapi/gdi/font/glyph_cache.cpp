#include "gdi/font/font_internal.h"
#include "gdi/font/font_metrics.h"

#include FT_ADVANCES_H

#include <string.h>

namespace {

// Fixed rendering settings, so that a glyph has the same pixels on every machine: outlines
// only (no embedded bitmaps), the auto-hinter always (never the font's own bytecode, whose
// interpreter differs between builds) in its light mode, which snaps vertically only and so
// keeps the horizontal advances exactly as scaled; 256-level grey coverage.
constexpr FT_Int32 GLYPH_LOAD_FLAGS =
    FT_LOAD_NO_BITMAP | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_LIGHT;

// The advance from the unhinted font-unit width, scaled and rounded once, so that a run's
// extent is the plain sum of its characters' advances.
int glyph_advance(const FontInstance *font, FT_UInt index) {
    FT_Fixed units = 0;
    if (FT_Get_Advance(font->face, index, FT_LOAD_NO_SCALE, &units) != 0) return 0;
    return font_metrics_round((double)units * font->x_per_unit);
}

void glyph_copy_bitmap(const FT_GlyphSlot slot, Glyph *glyph) {
    const FT_Bitmap &bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return;
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->width = (int)bitmap.width;
    glyph->rows = (int)bitmap.rows;
    glyph->coverage.resize((size_t)glyph->width * glyph->rows);
    for (int row = 0; row < glyph->rows; ++row) {
        const unsigned char *src = bitmap.buffer + (ptrdiff_t)row * bitmap.pitch;
        if (bitmap.pitch < 0) // bottom-up storage: row 0 is the last in memory
            src = bitmap.buffer + (ptrdiff_t)(glyph->rows - 1 - row) * -bitmap.pitch;
        memcpy(&glyph->coverage[(size_t)row * glyph->width], src, (size_t)glyph->width);
    }
}

void glyph_load(FontInstance *font, WCHAR c, Glyph *glyph) {
    *glyph = Glyph{};
    // Control characters (line breaks among them) take no room and draw nothing.
    if (c < 0x20 || !font->face) return;
    FT_UInt index = FT_Get_Char_Index(font->face, c);
    glyph->advance = glyph_advance(font, index);
    if (FT_Load_Glyph(font->face, index, GLYPH_LOAD_FLAGS) != 0) return;
    if (FT_Render_Glyph(font->face->glyph, FT_RENDER_MODE_NORMAL) != 0) return;
    glyph_copy_bitmap(font->face->glyph, glyph);
}

} // namespace

const Glyph &glyph_cache_get(FontInstance *font, WCHAR c) {
    GlyphCache &cache = font->glyphs;
    if (c < cache.latin.size()) {
        if (!cache.latin_ready[c]) {
            glyph_load(font, c, &cache.latin[c]);
            cache.latin_ready[c] = true;
        }
        return cache.latin[c];
    }
    auto found = cache.others.find(c);
    if (found != cache.others.end()) return found->second;
    Glyph &glyph = cache.others[c];
    glyph_load(font, c, &glyph);
    return glyph;
}
