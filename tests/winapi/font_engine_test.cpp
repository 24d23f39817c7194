// The font engine: face resolution, cell metrics, advances and glyph drawing.
#include <gtest/gtest.h>

#include <limits.h>

#include <vector>

#include "gdi/font/font_engine.h"
#include "gdi/font/font_metrics.h"
#include "support/logfont.h"

namespace {

SIZE extent(FontInstance *font, const WCHAR *text) {
    return font_engine_extent(font, text, test_length(text));
}

class FontEngine : public ::testing::Test {
protected:
    void TearDown() override { font_engine_shutdown(); }
};

TEST(FontMetrics, LogicalSizeBecomesCell) {
    const FaceUnits sans = {2048, 1854, 434, 1854, -434, 67, 904, 2740};
    const FaceUnits mono = {2048, 1705, 615, 1705, -615, 0, 1229, 1229};
    // A face without Windows cell values, and one whose hhea gap partly lies inside its cell.
    const FaceUnits no_win = {1000, 0, 0, 800, -200, 0, 500, 600};
    const FaceUnits wide_cell = {2048, 1900, 500, 1800, -400, 300, 1000, 2000};
    struct Case {
        const FaceUnits *units;
        LONG height, width;
        LONG tm_height, ascent, internal, external, average, max;
    } const cases[] = {
        // A positive height is the cell: the descent takes what the rounded ascent leaves.
        {&sans, 24, 0, 24, 19, 3, 1, 9, 29},
        // A negative height is the em: the cell adds the internal leading.
        {&sans, -16, 0, 17, 14, 1, 1, 7, 21},
        {&sans, 0, 0, 16, 13, 2, 0, 6, 19},
        // A width scales horizontally only, until the average character is that wide.
        {&sans, 24, 18, 24, 19, 3, 1, 18, 55},
        {&mono, 14, 7, 14, 10, 2, 0, 7, 7},
        {&mono, 14, -7, 14, 10, 2, 0, 7, 7},
        {&sans, 100000, 0, 2048, 1660, 215, 60, 809, 2453},
        {&sans, INT32_MIN, 0, 2288, 1854, 240, 67, 904, 2740},
        {&no_win, 10, 0, 10, 8, 0, 0, 5, 6},
        {&wide_cell, -20, 0, 24, 19, 4, 1, 10, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.height << " width " << c.width);
        TEXTMETRICW m = {};
        font_metrics_compute(*c.units, c.height, c.width, &m);
        EXPECT_EQ(m.tmHeight, c.tm_height);
        EXPECT_EQ(m.tmAscent, c.ascent);
        EXPECT_EQ(m.tmDescent, c.tm_height - c.ascent);
        EXPECT_EQ(m.tmInternalLeading, c.internal);
        EXPECT_EQ(m.tmExternalLeading, c.external);
        EXPECT_EQ(m.tmAveCharWidth, c.average);
        EXPECT_EQ(m.tmMaxCharWidth, c.max);
    }
}

TEST_F(FontEngine, MeasuresTheModulesFonts) {
    struct Case {
        const WCHAR *face;
        LONG height, width, weight;
        const WCHAR *text;
        LONG cx, cy;
    } const cases[] = {
        // The graph and spectrogram font: exactly 7 pixels a character, 14 high.
        {u"courier new", 14, 7, 0, u"0123456789", 70, 14},
        {u"courier new", 14, 7, 700, u"-102.5 dBm", 70, 14},
        {u"Courier New", 20, 10, 0, u"abc", 30, 20},
        {u"courier new", 14, 14, 0, u"abcd", 56, 14},
        {u"courier new", 24, 0, 700, u"abc", 39, 24},
        {u"courier new", 14, 7, 0, u"", 0, 14},
        // Line breaks take no room.
        {u"courier new", 14, 7, 0, u"a\r\nb\n", 14, 14},
    };
    for (const Case &c : cases) {
        FontInstance *font = font_engine_get(test_logfont(c.face, c.height, c.width, c.weight));
        SIZE size = extent(font, c.text);
        EXPECT_EQ(size.cx, c.cx) << c.height << "x" << c.width;
        EXPECT_EQ(size.cy, c.cy) << c.height << "x" << c.width;
    }
}

TEST_F(FontEngine, ArialCellAndWeights) {
    TEXTMETRICW regular = {}, bold = {}, em = {};
    FontInstance *normal = font_engine_get(test_logfont(u"arial", 24, 0, 0));
    FontInstance *heavy = font_engine_get(test_logfont(u"arial", 24, 0, 700));
    font_engine_metrics(normal, &regular);
    font_engine_metrics(heavy, &bold);
    font_engine_metrics(font_engine_get(test_logfont(u"arial", -20, 0, 0)), &em);
    EXPECT_EQ(regular.tmHeight, 24);
    // The weighted lowercase average, not the all-glyph average of newer OS/2 tables (12).
    EXPECT_EQ(regular.tmAveCharWidth, 9);
    EXPECT_EQ(regular.tmWeight, 400);
    EXPECT_EQ(bold.tmWeight, 700);
    EXPECT_EQ(em.tmHeight - em.tmInternalLeading, 20);
    EXPECT_GT(extent(heavy, u"Spectrogram").cx, extent(normal, u"Spectrogram").cx);
}

TEST_F(FontEngine, SameLogfontSameInstance) {
    LOGFONTW lf = test_logfont(u"arial", 24, 0, 700);
    FontInstance *first = font_engine_get(lf);
    EXPECT_EQ(font_engine_get(lf), first);
    // Whatever follows the face name's terminator is not part of the name.
    LOGFONTW tail = lf;
    tail.lfFaceName[10] = u'x';
    EXPECT_EQ(font_engine_get(tail), first);
    LOGFONTW other[4] = {lf, lf, lf, lf};
    other[0].lfHeight = 25;
    other[1].lfWeight = 0;
    other[2].lfFaceName[0] = u'A';
    other[3].lfWidth = 9;
    for (const LOGFONTW &o : other)
        EXPECT_NE(font_engine_get(o), first);
}

TEST_F(FontEngine, UnknownFaceFallsBackAndShutdownRestarts) {
    for (const WCHAR *face : {u"no such face at all", u""}) {
        FontInstance *font = font_engine_get(test_logfont(face, 24, 0, 0));
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(extent(font, u"A").cy, 24);
        EXPECT_GT(font_engine_advance(font, u'A'), 0);
    }
    LOGFONTW lf = test_logfont(u"courier new", 14, 7, 0);
    SIZE before = extent(font_engine_get(lf), u"restart");
    font_engine_shutdown();
    SIZE after = extent(font_engine_get(lf), u"restart");
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);
}

// ---- Drawing ------------------------------------------------------------------------------

constexpr uint32_t SENTINEL = 0x00123456;

struct Canvas {
    int width, height, stride;
    std::vector<uint32_t> pixels;
    Canvas(int w, int h, uint32_t fill, int pad = 3)
        : width(w), height(h), stride(w + pad), pixels((size_t)(w + pad) * h, fill) {}
    Surface surface() { return Surface{pixels.data(), stride, width, height}; }
    uint32_t at(int x, int y) const { return pixels[(size_t)y * stride + x]; }
};

void draw(Canvas *canvas, FontInstance *font, const ClipRect &clip, int x, int y, const WCHAR *text,
          uint32_t colour, const int *dx = nullptr) {
    font_engine_draw(font, canvas->surface(), clip, x, y, text, test_length(text), colour, dx);
}

TEST_F(FontEngine, DrawStaysInsideClipAndCell) {
    FontInstance *font = font_engine_get(test_logfont(u"courier new", 14, 7, 700));
    const int x = 3, y = 2;
    const WCHAR *text = u"Ag|_#";
    Canvas full(48, 20, SENTINEL);
    draw(&full, font, ClipRect{-10, -10, 100, 100}, x, y, text, 0);
    const ClipRect clip = {10, 5, 25, 12};
    Canvas clipped(48, 20, SENTINEL);
    draw(&clipped, font, clip, x, y, text, 0);
    int changed = 0;
    for (int py = 0; py < full.height; ++py) {
        for (int px = 0; px < full.stride; ++px) {
            bool in_cell = px >= x && px < x + 35 && py >= y && py < y + 14;
            bool in_clip = px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom;
            if (full.at(px, py) != SENTINEL) {
                ++changed;
                EXPECT_TRUE(in_cell) << px << "," << py;
            }
            EXPECT_EQ(clipped.at(px, py), in_clip ? full.at(px, py) : SENTINEL) << px << "," << py;
        }
    }
    EXPECT_GT(changed, 40);
    Canvas blank(48, 20, SENTINEL);
    draw(&blank, font, ClipRect{0, 0, 48, 20}, x, y, u"   \r\n", 0);
    EXPECT_EQ(blank.pixels, std::vector<uint32_t>(blank.pixels.size(), SENTINEL));
}

TEST_F(FontEngine, BlendsCoverageExactly) {
    FontInstance *font = font_engine_get(test_logfont(u"arial", 24, 0, 0));
    // White on black leaves each pixel's coverage in every channel.
    Canvas coverage(40, 26, 0);
    draw(&coverage, font, ClipRect{0, 0, 40, 26}, 1, 1, u"Wg", 0x00FFFFFF);
    const uint32_t colour = 0x00FF8010, ground = 0x00204060;
    Canvas mixed(40, 26, ground);
    draw(&mixed, font, ClipRect{0, 0, 40, 26}, 1, 1, u"Wg", colour);
    int partial = 0;
    for (int py = 0; py < 26; ++py) {
        for (int px = 0; px < 40; ++px) {
            uint32_t cov = coverage.at(px, py) & 0xFF, expect = 0;
            partial += cov > 0 && cov < 255;
            for (int shift = 0; shift <= 16; shift += 8) {
                uint32_t c = (colour >> shift) & 0xFF, d = (ground >> shift) & 0xFF;
                expect |= ((cov * c + (255 - cov) * d + 127) / 255) << shift;
            }
            ASSERT_EQ(mixed.at(px, py), expect) << px << "," << py;
        }
    }
    EXPECT_GT(partial, 0); // grey antialiasing, not a bilevel mask
}

TEST_F(FontEngine, DrawingIsDeterministicAndFollowsDx) {
    LOGFONTW lf = test_logfont(u"courier new", 14, 7, 0);
    Canvas first(60, 16, SENTINEL), second(60, 16, SENTINEL), apart(60, 16, SENTINEL);
    draw(&first, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 0, 0, u"R2d", 0);
    font_engine_shutdown();
    draw(&second, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 0, 0, u"R2d", 0);
    EXPECT_EQ(first.pixels, second.pixels);
    // With dx, each character starts where the given advances put it.
    const int dx[] = {20, 13, 0};
    draw(&apart, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 0, 0, u"R2d", 0, dx);
    Canvas pieces(60, 16, SENTINEL);
    draw(&pieces, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 0, 0, u"R", 0);
    draw(&pieces, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 20, 0, u"2", 0);
    draw(&pieces, font_engine_get(lf), ClipRect{0, 0, 60, 16}, 33, 0, u"d", 0);
    EXPECT_EQ(apart.pixels, pieces.pixels);
    EXPECT_NE(apart.pixels, first.pixels);
}

TEST_F(FontEngine, DrawOffTheSurfaceWritesNothingOutside) {
    FontInstance *font = font_engine_get(test_logfont(u"arial", 24, 0, 700));
    Canvas canvas(12, 10, SENTINEL, 4);
    const struct {
        int x, y;
    } origins[] = {{-20, -12}, {-5, -5}, {8, 4}, {INT_MAX - 5, 0}, {INT_MIN + 5, INT_MIN + 5}};
    for (const auto &o : origins)
        draw(&canvas, font, ClipRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, o.x, o.y, u"WWW", 0);
    for (int py = 0; py < canvas.height; ++py)
        for (int px = canvas.width; px < canvas.stride; ++px)
            EXPECT_EQ(canvas.at(px, py), SENTINEL); // the row padding is not the surface's
    EXPECT_NE(canvas.pixels, std::vector<uint32_t>(canvas.pixels.size(), SENTINEL));
}

} // namespace
