// The engine's own records: a realised font and its glyph cache. Only the engine's files see
// FreeType.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <bitset>
#include <unordered_map>
#include <vector>

#include "gdi/font/font_engine.h"

// One character as drawn: its advance and its coverage bitmap (8 bits a pixel, rows `width`
// bytes apart), placed from the pen position on the baseline.
struct Glyph {
    int advance; // pixels the pen moves on
    int left;    // bitmap's left column, right of the pen
    int top;     // bitmap's top row, above the baseline
    int width;
    int rows;
    std::vector<uint8_t> coverage;
};

// Glyphs are rendered on first use and kept with their font; the Latin-1 range, where nearly
// every character the module draws lies, is a plain table.
struct GlyphCache {
    std::array<Glyph, 256> latin;
    std::bitset<256> latin_ready;
    std::unordered_map<WCHAR, Glyph> others;
};

struct FontInstance {
    LOGFONTW logfont;    // what was asked for: the cache key
    FT_Face face;        // null when no face could be loaded: it measures 0 and draws nothing
    double x_per_unit;   // horizontal pixels per font unit
    TEXTMETRICW metrics; // the realised cell
    GlyphCache glyphs;
};

// The glyph of `c`, rendered and cached on first use. The reference stays valid until the
// font is freed.
const Glyph &glyph_cache_get(FontInstance *font, WCHAR c);
