#include "gdi/font/font_metrics.h"

#include <math.h>
#include <stdint.h>

namespace {

// A height or width's magnitude in pixels, kept within what the engine realises.
double pixel_magnitude(LONG value) {
    int64_t v = value < 0 ? -(int64_t)value : (int64_t)value;
    if (v < 1) v = 1;
    if (v > FONT_METRICS_MAX_PIXELS) v = FONT_METRICS_MAX_PIXELS;
    return (double)v;
}

// The face's cell in font units: the Windows ascent and descent, or the hhea ones for a face
// without them.
void cell_units(const FaceUnits &u, double em_units, double *ascent, double *cell) {
    *ascent = u.win_ascent;
    *cell = (double)u.win_ascent + u.win_descent;
    if (*cell > 0) return;
    *ascent = u.hhea_ascent;
    *cell = (double)u.hhea_ascent - u.hhea_descent;
    if (*cell > 0) return;
    *ascent = em_units * 0.8;
    *cell = em_units;
}

} // namespace

int font_metrics_round(double pixels) {
    return (int)floor(pixels + 0.5);
}

FontScale font_metrics_compute(const FaceUnits &u, LONG height, LONG width, TEXTMETRICW *m) {
    double em_units = u.units_per_em > 0 ? u.units_per_em : 2048;
    double ascent_units, cell;
    cell_units(u, em_units, &ascent_units, &cell);
    FontScale scale;
    if (height < 0) {
        // A negative height is the em itself; the cell grows by the internal leading.
        scale.y_ppem = pixel_magnitude(height);
        m->tmAscent = font_metrics_round(ascent_units * scale.y_ppem / em_units);
        m->tmDescent = font_metrics_round((cell - ascent_units) * scale.y_ppem / em_units);
    } else {
        // A positive height is the whole cell; the descent takes what the rounded ascent leaves
        // so that the cell is exactly the height asked for.
        double pixels = height == 0 ? FONT_METRICS_DEFAULT_HEIGHT : pixel_magnitude(height);
        scale.y_ppem = pixels * em_units / cell;
        m->tmAscent = font_metrics_round(ascent_units * pixels / cell);
        m->tmDescent = (LONG)pixels - m->tmAscent;
    }
    m->tmHeight = m->tmAscent + m->tmDescent;
    m->tmInternalLeading = m->tmHeight - font_metrics_round(scale.y_ppem);
    // Windows adds only the part of the hhea line gap that its own cell does not already hold.
    double gap = u.hhea_line_gap - (cell - ((double)u.hhea_ascent - u.hhea_descent));
    m->tmExternalLeading = gap > 0 ? font_metrics_round(gap * scale.y_ppem / em_units) : 0;

    double average = u.avg_char_width > 0 ? u.avg_char_width : em_units / 2;
    if (width != 0) {
        // A width stretches or narrows the glyphs until the average character is that wide.
        m->tmAveCharWidth = (LONG)pixel_magnitude(width);
        scale.x_ppem = m->tmAveCharWidth * em_units / average;
    } else {
        scale.x_ppem = scale.y_ppem;
        m->tmAveCharWidth = font_metrics_round(average * scale.x_ppem / em_units);
    }
    m->tmMaxCharWidth = font_metrics_round(u.max_advance * scale.x_ppem / em_units);
    return scale;
}
