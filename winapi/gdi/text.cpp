// Fonts and text output: the API side. Layout, measuring and glyphs are the font engine's;
// this file takes the DC's state, clips, and paints the opaque background boxes.
#include <vector>

#include <winuser.h>

#include "gdi/font/font_engine.h"
#include "gdi/gdi_internal.h"

namespace {

struct TextTarget {
    GdiDc *dc;
    Canvas canvas;
    FontInstance *font;
};

bool text_target(HDC h, TextTarget *t) {
    t->dc = gdi_dc(h);
    if (!t->dc || !gdi_dc_canvas(*t->dc, &t->canvas)) return false;
    GdiObject *font = gdi_selected(t->dc->font, GDI_FONT);
    if (!font) return false;
    t->font = font_engine_get(font->font);
    return true;
}

FontInstance *font_of(HDC h) {
    GdiDc *dc = gdi_dc(h);
    GdiObject *font = dc ? gdi_selected(dc->font, GDI_FONT) : nullptr;
    return font ? font_engine_get(font->font) : nullptr;
}

int text_length(LPCWSTR text) {
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

// Coordinates far outside any surface are held where they cannot overflow.
int held(int64_t v) {
    return int(v < INT32_MIN / 2 ? INT32_MIN / 2 : v > INT32_MAX / 2 ? INT32_MAX / 2 : v);
}

// A logical rectangle as surface pixels, cut to the canvas clip.
ClipRect clip_to(const Canvas &c, const RECT &r) {
    ClipRect s{held(int64_t(r.left) + c.origin_x), held(int64_t(r.top) + c.origin_y),
               held(int64_t(r.right) + c.origin_x), held(int64_t(r.bottom) + c.origin_y)};
    return clip_intersect(s, c.clip);
}

// Fills a logical rectangle with the background colour, inside `clip` only.
void fill_background(const TextTarget &t, const RECT &box, const ClipRect &clip) {
    Canvas c = t.canvas;
    c.clip = clip;
    raster_fill_rect(c, box, pixel_from_colorref(t.dc->bk_colour));
}

// One run of text with its cell's top-left at logical (x, y): the background box in the opaque
// mode, then the glyphs.
void draw_run(const TextTarget &t, const ClipRect &clip, int x, int y, LPCWSTR text, int count,
              int width, const int *dx) {
    if (t.dc->bk_mode == OPAQUE && count > 0) {
        TEXTMETRICW tm;
        font_engine_metrics(t.font, &tm);
        fill_background(t, RECT{x, y, held(int64_t(x) + width), held(int64_t(y) + tm.tmHeight)},
                        clip);
    }
    if (count <= 0 || clip_empty(clip)) return;
    font_engine_draw(t.font, t.canvas.surface, clip, held(int64_t(x) + t.canvas.origin_x),
                     held(int64_t(y) + t.canvas.origin_y), text, count,
                     pixel_from_colorref(t.dc->text_colour), dx);
}

} // namespace

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision,
                  DWORD clip_precision, DWORD quality, DWORD pitch_and_family, LPCWSTR face) {
    LOGFONTW f = {height,
                  width,
                  escapement,
                  orientation,
                  weight,
                  BYTE(italic),
                  BYTE(underline),
                  BYTE(strike_out),
                  BYTE(charset),
                  BYTE(out_precision),
                  BYTE(clip_precision),
                  BYTE(quality),
                  BYTE(pitch_and_family),
                  {}};
    for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i)
        f.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&f);
}

COLORREF SetTextColor(HDC h, COLORREF colour) {
    GdiDc *dc = gdi_dc(h);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->text_colour;
    dc->text_colour = colour & 0xFFFFFF;
    return old;
}

COLORREF SetBkColor(HDC h, COLORREF colour) {
    GdiDc *dc = gdi_dc(h);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->bk_colour;
    dc->bk_colour = colour & 0xFFFFFF;
    return old;
}

int SetBkMode(HDC h, int mode) {
    GdiDc *dc = gdi_dc(h);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    int old = dc->bk_mode;
    dc->bk_mode = mode;
    return old;
}

BOOL GetTextExtentPoint32W(HDC h, LPCWSTR text, int count, LPSIZE size) {
    FontInstance *font = font_of(h);
    if (!font || !size || count < 0 || (count > 0 && !text)) return FALSE;
    *size = font_engine_extent(font, text, count);
    return TRUE;
}

BOOL GetTextMetricsW(HDC h, LPTEXTMETRICW metrics) {
    FontInstance *font = font_of(h);
    if (!font || !metrics) return FALSE;
    font_engine_metrics(font, metrics);
    return TRUE;
}

BOOL ExtTextOutW(HDC h, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count,
                 const INT *dx) {
    TextTarget t;
    if ((count > 0 && !text) || !text_target(h, &t)) return FALSE;
    ClipRect clip = t.canvas.clip;
    if (rect && (options & ETO_OPAQUE)) fill_background(t, *rect, clip);
    if (rect && (options & ETO_CLIPPED)) clip = clip_to(t.canvas, *rect);
    int n = int(count), width = 0;
    if (dx) {
        for (int i = 0; i < n; ++i)
            width += dx[i];
    } else if (n > 0) {
        width = int(font_engine_extent(t.font, text, n).cx);
    }
    draw_run(t, clip, x, y, text, n, width, dx);
    return TRUE;
}

int DrawTextW(HDC h, LPCWSTR text, int count, LPRECT rect, UINT format) {
    TextTarget t;
    if (!text || !rect || !text_target(h, &t)) return 0;
    if (count < 0) count = text_length(text);
    TextLine stack_lines[64];
    std::vector<TextLine> heap_lines; // only for texts of more lines than the stack holds
    TextLine *lines = stack_lines;
    RECT bounds;
    int n = text_layout(t.font, text, count, *rect, format, lines, 64, &bounds);
    if (n > 64) {
        heap_lines.resize(size_t(n));
        lines = heap_lines.data();
        n = text_layout(t.font, text, count, *rect, format, lines, n, &bounds);
    }
    int height = int(bounds.bottom - bounds.top);
    // A line placed lower than the top (DT_VCENTER, DT_BOTTOM) answers where its text ends.
    if (n > 0 && lines[0].y != rect->top) height = lines[n - 1].y + (height / n) - rect->top;
    if (format & DT_CALCRECT) {
        *rect = bounds;
        return height;
    }
    ClipRect clip = (format & DT_NOCLIP) ? t.canvas.clip : clip_to(t.canvas, *rect);
    for (int i = 0; i < n; ++i) {
        const TextLine &l = lines[i];
        draw_run(t, clip, l.x, l.y, text + l.start, l.count, l.width, nullptr);
    }
    return height;
}
