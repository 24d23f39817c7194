// How a LOGFONT's height and width become a face's scale and its TEXTMETRIC cell measures.
// Pure arithmetic on the face's table values, apart from FreeType, so the rules can be checked
// with made-up faces.
#pragma once

#include <wingdi.h>

// A face's measures in font units, as its tables store them.
struct FaceUnits {
    int units_per_em;
    int win_ascent;     // OS/2 usWinAscent
    int win_descent;    // OS/2 usWinDescent (positive below the baseline)
    int hhea_ascent;    // hhea ascender
    int hhea_descent;   // hhea descender (negative below the baseline, as stored)
    int hhea_line_gap;  // hhea lineGap
    int avg_char_width; // average width that lfWidth is matched against
    int max_advance;    // hhea advanceWidthMax
};

// Pixels per em the face is rendered at, horizontally and vertically.
struct FontScale {
    double x_ppem;
    double y_ppem;
};

// The largest height or width, in pixels, that a logical font is realised at.
constexpr LONG FONT_METRICS_MAX_PIXELS = 2048;
// The cell height that a logical font of height 0 is given.
constexpr LONG FONT_METRICS_DEFAULT_HEIGHT = 16;

// Scales `units` for a logical font of `height` and `width` and fills the size fields of
// `metrics` (height, ascent, descent, leadings, average and maximum width); the others are left.
FontScale font_metrics_compute(const FaceUnits &units, LONG height, LONG width,
                               TEXTMETRICW *metrics);

// Rounds a pixel length to whole pixels, halves upward: the one rounding every measure uses, so
// that the same face gives the same cell everywhere.
int font_metrics_round(double pixels);
