// Text: DrawTextW's line layout, the cell metrics of a logical size, the font instances and
// their fallback, and the glyphs' clip. Glyph shapes, their blending, bold faces and the cell
// boxes of opaque text are checked by the module's stored screens.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "gdi/font/font_engine.h"
#include "gdi/font/font_metrics.h"

namespace {

LOGFONTW logfont(const std::u16string &face, LONG height, LONG width) {
    LOGFONTW lf = {};
    lf.lfHeight = height, lf.lfWidth = width;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return lf;
}

int length(const WCHAR *text) {
    return int(std::char_traits<WCHAR>::length(text));
}

// Every character of this font is exactly 7 pixels wide and its cell 14 high.
FontInstance *mono() {
    return font_engine_get(logfont(u"courier new", 14, 7));
}

// Each test starts without fonts or drawing objects, as a fresh host does.
class Text : public ::testing::Test {
protected:
    void TearDown() override { wl_gdi_shutdown(); }
};

// Lines as (first character, count, x and y from the corner, width); rectangles 30 high at (L, T).
TEST_F(Text, LayoutBreaksWrapsAndPlacesLines) {
    const int L = 10, T = 20;
    const struct {
        const WCHAR *text;
        int width;
        UINT format;
        std::vector<std::array<int, 5>> lines;
    } cases[] = {
        // A word wider than the rectangle stands alone; the spaces at a break belong to neither
        // line, leading spaces stay.
        {u"a longword", 35, DT_WORDBREAK, {{0, 1, 0, 0, 7}, {2, 8, 0, 14, 56}}},
        {u"ab   cd", 28, DT_WORDBREAK, {{0, 2, 0, 0, 14}, {5, 2, 0, 14, 14}}},
        // CR LF, LF and CR each end a line; a single line draws them as nothing.
        {u"a\r\nb\rc", 99, 0, {{0, 1, 0, 0, 7}, {3, 1, 0, 14, 7}, {5, 1, 0, 28, 7}}},
        {u"a\n\nb", 99, DT_WORDBREAK, {{0, 1, 0, 0, 7}, {2, 0, 0, 14, 0}, {3, 1, 0, 28, 7}}},
        {u"ab\r\ncd", 7, DT_SINGLELINE | DT_WORDBREAK, {{0, 6, 0, 0, 28}}},
        {u"ab cdef", 35, DT_CENTER | DT_WORDBREAK, {{0, 2, 10, 0, 14}, {3, 4, 3, 14, 28}}},
        // Vertical alignment needs DT_SINGLELINE.
        {u"ab", 50, DT_SINGLELINE | DT_VCENTER, {{0, 2, 0, 8, 14}}},
        {u"ab", 50, DT_VCENTER, {{0, 2, 0, 0, 14}}},
        {u"", 50, DT_WORDBREAK, {}},
    };
    for (const auto &c : cases) {
        TextLine lines[4] = {};
        RECT bounds = {};
        int n = text_layout(mono(), c.text, length(c.text), RECT{L, T, L + c.width, T + 30},
                            c.format, lines, 4, &bounds);
        std::vector<std::array<int, 5>> got;
        int widest = 0;
        for (int k = 0; k < n && k < 4; ++k) {
            const TextLine &l = lines[k];
            got.push_back({l.start, l.count, l.x - L, l.y - T, l.width});
            widest = std::max(widest, l.width);
        }
        EXPECT_EQ(got, c.lines) << length(c.text) << " characters, format " << c.format;
        // DT_CALCRECT keeps the corner and bounds the widest line and every line's height.
        EXPECT_EQ(std::vector<LONG>({bounds.left, bounds.top, bounds.right, bounds.bottom}),
                  std::vector<LONG>({L, T, L + widest, T + 14 * n}));
    }
}

TEST(FontMetrics, LogicalSizeBecomesCell) {
    const FaceUnits sans = {2048, 1854, 434, 1854, -434, 67, 904, 2740};
    const FaceUnits mono = {2048, 1705, 615, 1705, -615, 0, 1229, 1229};
    // A face without Windows cell values, and one whose hhea gap partly lies inside its cell.
    const FaceUnits no_win = {1000, 0, 0, 800, -200, 0, 500, 600};
    const FaceUnits wide_cell = {2048, 1900, 500, 1800, -400, 300, 1000, 2000};
    const struct {
        const FaceUnits *units;
        LONG height, width;
        LONG tm_height, ascent, internal, external, average, max;
    } cases[] = {
        // A positive height is the cell: the descent takes what the rounded ascent leaves.
        {&sans, 24, 0, 24, 19, 3, 1, 9, 29},
        // A negative height is the em: the cell adds the internal leading.
        {&sans, -16, 0, 17, 14, 1, 1, 7, 21},
        // A width scales horizontally only, until the average character is that wide.
        {&sans, 24, 18, 24, 19, 3, 1, 18, 55},
        {&mono, 14, -7, 14, 10, 2, 0, 7, 7},
        {&sans, 0, 0, 16, 13, 2, 0, 6, 19},
        {&no_win, 10, 0, 10, 8, 0, 0, 5, 6},
        {&wide_cell, -20, 0, 24, 19, 4, 1, 10, 20},
    };
    for (const auto &c : cases) {
        TEXTMETRICW m = {};
        font_metrics_compute(*c.units, c.height, c.width, &m);
        EXPECT_EQ(std::vector<LONG>({m.tmHeight, m.tmAscent, m.tmDescent, m.tmInternalLeading,
                                     m.tmExternalLeading, m.tmAveCharWidth, m.tmMaxCharWidth}),
                  std::vector<LONG>({c.tm_height, c.ascent, c.tm_height - c.ascent, c.internal,
                                     c.external, c.average, c.max}))
            << "height " << c.height << " width " << c.width;
    }
}

TEST_F(Text, SameLogfontSameInstanceAndUnknownFacesFallBack) {
    LOGFONTW lf = logfont(u"arial", 24, 0);
    FontInstance *first = font_engine_get(lf);
    EXPECT_EQ(font_engine_get(lf), first);
    TEXTMETRICW tm = {};
    font_engine_metrics(first, &tm);
    // The weighted lowercase average, not the all-glyph average of newer OS/2 tables (12).
    EXPECT_EQ(tm.tmAveCharWidth, 9);
    EXPECT_EQ(tm.tmWeight, 400);
    LOGFONTW other[5] = {lf, lf, lf, lf, lf};
    other[0].lfFaceName[10] = u'x'; // past the terminator: not part of the name
    other[1].lfHeight = 25;
    other[2].lfWeight = 700;
    other[3].lfFaceName[0] = u'A';
    other[4].lfWidth = 9;
    EXPECT_EQ(font_engine_get(other[0]), first);
    for (int i = 1; i < 5; ++i)
        EXPECT_NE(font_engine_get(other[i]), first) << i;
    FontInstance *unknown = font_engine_get(logfont(u"no such face at all", 24, 0));
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(font_engine_extent(unknown, u"A", 1).cy, 24);
}

// Glyphs stay inside their cells and the clip on every side.
TEST_F(Text, GlyphsStayInsideTheCellsAndTheClip) {
    const int stride = 51;
    auto draw = [&](const ClipRect &clip) {
        std::vector<uint32_t> pixels(size_t(stride) * 20, 0x123456);
        font_engine_draw(mono(), Surface{pixels.data(), stride, 48, 20}, clip, 3, 2, u"Ag|_#", 5, 0,
                         nullptr);
        return pixels;
    };
    std::vector<uint32_t> full = draw(ClipRect{-10, -10, 100, 100});
    std::vector<uint32_t> clipped = draw(ClipRect{10, 5, 25, 12});
    int changed = 0;
    for (int i = 0; i < stride * 20; ++i) {
        int px = i % stride, py = i / stride;
        bool in_cell = px >= 3 && px < 3 + 35 && py >= 2 && py < 2 + 14;
        bool in_clip = px >= 10 && px < 25 && py >= 5 && py < 12;
        changed += full[size_t(i)] != 0x123456;
        EXPECT_TRUE(in_cell || full[size_t(i)] == 0x123456) << px << "," << py;
        EXPECT_EQ(clipped[size_t(i)], in_clip ? full[size_t(i)] : 0x123456) << px << "," << py;
    }
    EXPECT_GT(changed, 40);
}

} // namespace
