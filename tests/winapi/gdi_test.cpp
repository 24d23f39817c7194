// The drawing layer's rules: which pixels Polygon, BitBlt and StretchDIBits touch at their
// edges and under clipping, on bitmaps pre-filled with a sentinel so that every stray pixel
// shows; the handle table and the DC model (a selected object outlives its deletion until the DC
// lets go, stale handles stay dead, a bitmap lives in one DC at a time); text layout, font
// instances and their fallback, and the glyphs' clip. Whole scenes, lines in every direction
// (the title bar's dot, the graph's traces), FillRect's edges, glyph shapes and the cell height of
// the module's fonts are checked by the module's stored screens.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include <array>
#include <string>
#include <vector>

#include "gdi/font/font_engine.h"
#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3), PAINT = RGB(0, 150, 250), BLACK = RGB(0, 0, 0),
               GREEN = RGB(0, 200, 0);
typedef std::vector<std::string> Rows;

// The interior by pixel centres: left and top edges in, right and bottom out; the outline is the
// closed polyline over the fill, covering its top and left and outside its right and bottom.
TEST(Polygon, FillsThePixelsWhoseCentresAreInside) {
    const struct {
        std::vector<POINT> points;
        Rows picture; // 6 x 5
        bool outline = false;
        int count = -1; // all the points
    } cases[] = {
        {{{0, 0}, {4, 0}, {0, 4}}, {"####..", "###...", "##....", "#.....", "......"}},
        {{{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}, {"####..", "####..", "####..", "#..#.."}},
        {{{-2, -2}, {8, -2}, {-2, 8}}, {"######", "#####.", "####..", "###...", "##...."}},
        // Only `count` points are read: a fourth would add the edge (0, 2)-(4, 0).
        {{{0, 0}, {4, 0}, {0, 4}, {0, 2}}, {"####..", "###...", "##....", "#....."}, false, 3},
        {{{1, 1}, {4, 1}, {4, 3}, {1, 3}}, {"......", ".BBBB.", ".B##B.", ".BBBB."}, true},
    };
    HBRUSH brush = CreateSolidBrush(PAINT);
    for (const auto &c : cases) {
        TestBitmap b(6, 5, SENTINEL);
        SelectObject(b.dc, brush);
        if (!c.outline) SelectObject(b.dc, GetStockObject(NULL_PEN));
        EXPECT_TRUE(Polygon(b.dc, c.points.data(), c.count < 0 ? int(c.points.size()) : c.count));
        EXPECT_FALSE(Polygon(b.dc, c.points.data(), 1));
        Rows rows = c.picture;
        rows.resize(5, "......");
        EXPECT_EQ(b.picture({{PAINT, '#'}, {BLACK, 'B'}}), picture_rows(rows)) << c.points.size();
        SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteObject(brush);
}

// Only pixels whose both ends exist are copied. Source pixels are named by letter: row 0 "abc",
// row 1 "def", row 2 "ghi".
TEST(BitBlt, CopiesOnlyWhereBothEndsExist) {
    const struct {
        int x, y, w, h, sx, sy;
        Rows picture; // 4 x 3
    } cases[] = {
        {1, 0, 3, 3, 0, 0, {".abc", ".def", ".ghi"}},
        {-1, -1, 3, 3, 0, 0, {"ef..", "hi..", "...."}},
        {0, 0, 3, 3, 2, 2, {"i...", "....", "...."}},
        {1, 1, 3, 2, -1, -1, {"....", "....", "..ab"}},
        {3, 0, -2, 2, 0, 0, {"....", "....", "...."}},
    };
    std::vector<std::pair<COLORREF, char>> legend;
    TestBitmap src(3, 3, SENTINEL);
    for (int i = 0; i < 9; ++i) {
        src.set(i % 3, i / 3, RGB(10 + i, 20, 99));
        legend.push_back({RGB(10 + i, 20, 99), char('a' + i)});
    }
    for (const auto &c : cases) {
        TestBitmap dst(4, 3, SENTINEL);
        EXPECT_TRUE(BitBlt(dst.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, SRCCOPY));
        EXPECT_EQ(dst.picture(legend), picture_rows(c.picture)) << c.x << "," << c.y;
    }
}

// Every pixel of a one-row 24-bit DIB against the rule itself, floor((2i + 1) * points /
// (2 * pixels)), over shrinking, growing and uneven ratios, with the destination cut on the left
// so that a row starts late.
TEST(StretchDIBits, EveryPixelTakesThePointUnderItsCentre) {
    const struct {
        int points, pixels, clip_left;
    } cases[] = {{1, 1, 0},      {1, 615, 0},   {300, 460, 0},  {300, 615, 7},
                 {800, 200, 0},  {799, 1, 0},   {7, 13, 3},     {1000, 999, 0},
                 {999, 1000, 1}, {65535, 3, 0}, {2, 4093, 100}, {613, 617, 0}};
    for (const auto &c : cases) {
        TestBitmap b(c.pixels, 1, SENTINEL);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), c.points, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint8_t> bits(size_t(c.points) * 3 + 3, 0xEE); // point k's colour names k
        for (size_t k = 0; k < size_t(c.points); ++k)
            bits[3 * k] = 77, bits[3 * k + 1] = uint8_t(k >> 8), bits[3 * k + 2] = uint8_t(k);
        EXPECT_EQ(StretchDIBits(b.dc, -c.clip_left, 0, c.pixels + c.clip_left, 1, 0, 0, c.points, 1,
                                bits.data(), &info, DIB_RGB_COLORS, SRCCOPY),
                  1);
        int wrong = 0;
        for (int x = 0; x < c.pixels; ++x) {
            long long i = x + c.clip_left, n = c.pixels + c.clip_left;
            COLORREF got = b.at(x, 0);
            wrong +=
                (GetRValue(got) | GetGValue(got) << 8) != int((2 * i + 1) * c.points / (2 * n));
        }
        EXPECT_EQ(wrong, 0) << c.points << " onto " << c.pixels;
    }
}

// A selected pen draws on after DeleteObject and goes when the DC selects another; a deleted
// one's handle stays dead when its slot is reused; a bitmap lives in one DC at a time and is not
// deleted while selected; stock objects survive DeleteObject until shutdown.
TEST(Objects, LiveWhileSelectedAndDieForGood) {
    TestBitmap t(3, 1, SENTINEL);
    int before = wl_gdi_object_count();
    HPEN pen = CreatePen(PS_SOLID, 0, GREEN);
    HGDIOBJ old = SelectObject(t.dc, pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
    LineTo(t.dc, 3, 0); // width 0 draws one pixel wide
    EXPECT_EQ(t.picture({{GREEN, '#'}}), "###");
    EXPECT_EQ(wl_gdi_object_count(), before + 1);
    EXPECT_EQ(SelectObject(t.dc, old), HGDIOBJ(pen));
    EXPECT_EQ(wl_gdi_object_count(), before);
    HPEN second = CreatePen(PS_SOLID, 1, GREEN);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(t.dc, pen), nullptr);
    DeleteObject(second);
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(a);
    HBITMAP bm = CreateCompatibleBitmap(a, 5, 3);
    EXPECT_NE(SelectObject(a, bm), nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    EXPECT_EQ(CreateCompatibleBitmap(a, -1, 4), nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectW(CreateCompatibleBitmap(a, 0, 7), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth * 10 + info.bmHeight, 11); // an empty size makes a 1 x 1 bitmap
    DeleteDC(a);                                      // lets go of the bitmap
    EXPECT_FALSE(LineTo(a, 1, 1));
    EXPECT_TRUE(DeleteObject(bm));
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectW(white, sizeof lb, &lb), int(sizeof lb));
    wl_gdi_shutdown();
    EXPECT_NE(GetStockObject(WHITE_BRUSH), white);
}

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
        // CR LF, LF and CR each end a line.
        {u"a\r\nb\rc", 99, 0, {{0, 1, 0, 0, 7}, {3, 1, 0, 14, 7}, {5, 1, 0, 28, 7}}},
        {u"a\n\nb", 99, DT_WORDBREAK, {{0, 1, 0, 0, 7}, {2, 0, 0, 14, 0}, {3, 1, 0, 28, 7}}},
        {u"ab cdef", 35, DT_CENTER | DT_WORDBREAK, {{0, 2, 10, 0, 14}, {3, 4, 3, 14, 28}}},
        {u"ab", 50, DT_SINGLELINE | DT_VCENTER, {{0, 2, 0, 8, 14}}},
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
