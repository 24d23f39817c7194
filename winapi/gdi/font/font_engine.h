// The font engine: turns a LOGFONTW into a rendered face (FreeType, faces resolved through
// fontconfig), measures text and draws glyph runs onto a surface. It never sees a handle;
// the GDI text functions call it with the DC's state.
#pragma once

#include <wingdi.h>

#include "gdi/raster/surface.h"

struct FontInstance; // one face at one size; owned and cached by the engine

// The instance for a logical font; the same LOGFONTW gives the same instance. Never null: a face
// that cannot be found falls back to the default sans face.
FontInstance *font_engine_get(const LOGFONTW &font);
void font_engine_metrics(FontInstance *font, TEXTMETRICW *metrics);
// Advance width of one character in pixels.
int font_engine_advance(FontInstance *font, WCHAR c);
// Width and height of a run of characters, as GetTextExtentPoint32W answers.
SIZE font_engine_extent(FontInstance *font, const WCHAR *text, int count);
// Draws a run with its character cell's top-left corner at (x, y), clipped to `clip`, in
// `colour` (a surface pixel). `dx`, when not null, gives each character's advance.
void font_engine_draw(FontInstance *font, const Surface &surface, const ClipRect &clip, int x,
                      int y, const WCHAR *text, int count, uint32_t colour, const int *dx);
// Frees every instance and cache (tear-down, so tests can start again in one process).
void font_engine_shutdown();

// DrawTextW's layout, apart from drawing: splits `text` into the lines that `format` gives within
// `rect` (DT_WORDBREAK, DT_SINGLELINE, line breaks) and places each line (DT_CENTER etc.).
struct TextLine {
    int start; // first character in text
    int count; // characters drawn
    int x;     // left of the line's first cell
    int y;     // top of the line
    int width; // extent of the line
};
// Fills up to `capacity` lines and returns how many the text has; `bounds` receives the
// rectangle that DT_CALCRECT reports.
int text_layout(FontInstance *font, const WCHAR *text, int count, const RECT &rect, UINT format,
                TextLine *lines, int capacity, RECT *bounds);
