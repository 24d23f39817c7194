// The pixel rules of the drawing calls: which pixels FillRect, lines, Polygon, BitBlt and
// StretchDIBits touch at their edges and under clipping, on bitmaps pre-filled with a sentinel
// so that every stray pixel shows. Whole scenes are checked by the stored images instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <vector>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3), PAINT = RGB(0, 150, 250);
const COLORREF BLACK = RGB(0, 0, 0);
typedef std::vector<std::string> Rows;

TEST(FillRect, LeftAndTopEdgesInRightAndBottomOut) {
    const struct {
        RECT rect;
        Rows picture; // 5 x 4
    } cases[] = {
        {{1, 1, 3, 3}, {".....", ".##..", ".##..", "....."}},
        {{-3, -2, 2, 1}, {"##...", ".....", ".....", "....."}},
        {{3, 2, 99, 99}, {".....", ".....", "...##", "...##"}},
        {{INT_MIN, INT_MIN, INT_MAX, 1}, {"#####", ".....", ".....", "....."}},
        {{2, 0, 2, 4}, {".....", ".....", ".....", "....."}},
        {{4, 3, 1, 1}, {".....", ".....", ".....", "....."}},
    };
    HBRUSH brush = CreateSolidBrush(PAINT);
    for (const auto &c : cases) {
        TestBitmap b(5, 4, SENTINEL);
        EXPECT_NE(FillRect(b.dc, &c.rect, brush), 0);
        EXPECT_EQ(b.picture({{PAINT, '#'}}), picture_rows(c.picture)) << c.rect.left;
    }
    DeleteObject(brush);
}

TEST(FillRect, NullBrushDrawsNothingAndOtherHandlesAreRefused) {
    TestBitmap b(2, 2, SENTINEL);
    RECT r{0, 0, 2, 2};
    HBRUSH brush = CreateSolidBrush(PAINT);
    EXPECT_NE(FillRect(b.dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
    EXPECT_EQ(FillRect(b.dc, nullptr, brush), 0);
    EXPECT_EQ(FillRect(b.dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_PEN))), 0);
    DeleteObject(brush);
    EXPECT_EQ(FillRect(b.dc, &r, brush), 0);
    EXPECT_EQ(b.picture({}), picture_rows({"..", ".."}));
}

// First point in, last point out, one pixel per step of the major axis, a half-step tie to the
// upper (x-major) or left (y-major) pixel whichever way the line runs; clipping only removes
// pixels of the whole line, and coordinates near the ends of the range neither overflow nor hang.
TEST(LineTo, DrawsExactlyThePixelsOfGdisRule) {
    const struct {
        POINT from, to;
        std::vector<POINT> pixels; // on 9 x 9
    } cases[] = {
        {{4, 4}, {8, 6}, {{4, 4}, {5, 4}, {6, 5}, {7, 5}}},
        {{4, 4}, {2, 8}, {{4, 4}, {3, 5}, {3, 6}, {2, 7}}},
        {{4, 4}, {0, 2}, {{4, 4}, {3, 3}, {2, 3}, {1, 2}}},
        {{4, 4}, {6, 0}, {{4, 4}, {4, 3}, {5, 2}, {5, 1}}},
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
        {{4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
        {{-3, -1}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        {{2, -10},
         {2, 10},
         {{2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {2, 8}}},
        {{INT_MIN / 2, INT_MIN / 2},
         {INT_MAX / 2, INT_MAX / 2},
         {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}}},
    };
    for (const auto &c : cases) {
        TestBitmap b(9, 9, SENTINEL);
        MoveToEx(b.dc, c.from.x, c.from.y, nullptr);
        EXPECT_TRUE(LineTo(b.dc, c.to.x, c.to.y));
        EXPECT_EQ(b.picture({{BLACK, '#'}}), picture_points(9, 9, c.pixels, '#'))
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
    }
}

// Each segment excludes its last point and the next includes it; LineTo carries the position
// on, also with the null pen, which draws nothing.
TEST(LineTo, SegmentsChainThroughTheCurrentPosition) {
    TestBitmap b(5, 4, SENTINEL);
    POINT pts[] = {{0, 0}, {3, 0}, {3, 2}, {0, 2}}, pos;
    EXPECT_TRUE(MoveToEx(b.dc, 4, 3, &pos));
    EXPECT_EQ(pos.x, 0); // a new DC starts at (0, 0)
    EXPECT_EQ(pos.y, 0);
    EXPECT_TRUE(Polyline(b.dc, pts, 4));
    EXPECT_FALSE(Polyline(b.dc, pts, 1));
    EXPECT_FALSE(Polyline(b.dc, nullptr, 2));
    SelectObject(b.dc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(LineTo(b.dc, 0, 3));
    MoveToEx(b.dc, 0, 0, &pos);
    EXPECT_EQ(pos.x, 0);
    EXPECT_EQ(pos.y, 3);
    EXPECT_EQ(b.picture({{BLACK, '#'}}), picture_rows({"####.", "...#.", ".###.", "....."}));
}

// The interior by pixel centres in the alternate mode: left and top edges in, right and bottom
// out, a centre crossed an even number of times outside.
TEST(Polygon, FillsThePixelsWhoseCentresAreInside) {
    const struct {
        std::vector<POINT> points;
        Rows picture;   // 6 x 6
        int count = -1; // all the points
    } cases[] = {
        {{{1, 1}, {4, 1}, {4, 3}, {1, 3}}, {"......", ".###..", ".###..", "......"}},
        {{{0, 0}, {4, 0}, {0, 4}}, {"####..", "###...", "##....", "#....."}},
        {{{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}, {"####..", "####..", "####..", "#..#.."}},
        {{{0, 0}, {4, 4}, {4, 0}, {0, 4}}, {"......", "#..#..", "####..", "#..#.."}},
        {{{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 1}, {5, 1}, {5, 5}, {1, 5}}, {}},
        {{{-2, -2}, {8, -2}, {-2, 8}},
         {"######", "#####.", "####..", "###...", "##....", "#....."}},
        // Only `count` points are read: a fourth would add the edge (0, 2)-(4, 0).
        {{{0, 0}, {4, 0}, {0, 4}, {0, 2}}, {"####..", "###...", "##....", "#....."}, 3},
    };
    HBRUSH brush = CreateSolidBrush(PAINT);
    for (const auto &c : cases) {
        TestBitmap b(6, 6, SENTINEL);
        SelectObject(b.dc, brush);
        SelectObject(b.dc, GetStockObject(NULL_PEN));
        EXPECT_TRUE(Polygon(b.dc, c.points.data(), c.count < 0 ? int(c.points.size()) : c.count));
        Rows rows = c.picture;
        rows.resize(6, "......");
        EXPECT_EQ(b.picture({{PAINT, '#'}}), picture_rows(rows)) << c.points.size() << " points";
        SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteObject(brush);
}

// The outline is the closed polyline over the fill: it covers the fill's top and left and lies
// outside its right and bottom. Two points make a segment drawn both ways.
TEST(Polygon, OutlineClosesOverTheFill) {
    TestBitmap b(6, 6, SENTINEL);
    HBRUSH brush = CreateSolidBrush(PAINT);
    SelectObject(b.dc, brush);
    POINT box[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}}, segment[] = {{0, 5}, {4, 5}};
    EXPECT_TRUE(Polygon(b.dc, box, 4));
    SelectObject(b.dc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Polygon(b.dc, segment, 2));
    EXPECT_FALSE(Polygon(b.dc, box, 1));
    EXPECT_FALSE(Polygon(b.dc, nullptr, 3));
    EXPECT_EQ(b.picture({{PAINT, 'r'}, {BLACK, 'B'}}),
              picture_rows({"......", ".BBBB.", ".BrrB.", ".BBBB.", "......", "BBBBB."}));
    DeleteObject(brush);
}

// A distinct colour for every pixel of a small bitmap.
COLORREF tag(int x, int y) {
    return RGB(10 + x, 20 + y, 99);
}

void fill_tags(TestBitmap &b) {
    for (int i = 0; i < b.width * b.height; ++i)
        b.set(i % b.width, i / b.width, tag(i % b.width, i / b.width));
}

// Shifting a bitmap onto itself reads every source pixel before it is overwritten.
TEST(BitBlt, ShiftsWithinOneBitmap) {
    for (POINT d : {POINT{1, 0}, POINT{0, 1}, POINT{0, -1}, POINT{-2, 1}}) {
        TestBitmap b(5, 4, SENTINEL);
        fill_tags(b);
        EXPECT_TRUE(BitBlt(b.dc, d.x > 0 ? d.x : 0, d.y > 0 ? d.y : 0, 5 - abs(d.x), 4 - abs(d.y),
                           b.dc, d.x < 0 ? -d.x : 0, d.y < 0 ? -d.y : 0, SRCCOPY));
        for (int i = 0; i < 20; ++i) {
            int x = i % 5, y = i / 5, sx = x - d.x, sy = y - d.y;
            bool moved = sx >= 0 && sx < 5 && sy >= 0 && sy < 4;
            EXPECT_EQ(b.at(x, y), moved ? tag(sx, sy) : tag(x, y)) << d.x << "," << d.y;
        }
    }
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
    for (int i = 0; i < 9; ++i)
        legend.push_back({tag(i % 3, i / 3), char('a' + i)});
    for (const auto &c : cases) {
        TestBitmap src(3, 3, SENTINEL), dst(4, 3, SENTINEL);
        fill_tags(src);
        EXPECT_TRUE(BitBlt(dst.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, SRCCOPY));
        EXPECT_EQ(dst.picture(legend), picture_rows(c.picture)) << c.x << "," << c.y;
    }
}

TEST(BitBlt, FailsForOtherOperationsAndDeadSources) {
    TestBitmap dst(2, 2, SENTINEL);
    HDC src = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, src, 0, 0, 0x00EE0086)); // SRCPAINT
    DeleteDC(src);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, src, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.picture({}), picture_rows({"..", ".."}));
}

struct Dib {
    BITMAPINFO info;
    std::vector<uint8_t> bits;
};

// A 24-bit DIB of `rows` (top row first), stored bottom-up or top-down, padding bytes 0xEE.
Dib make_dib(const std::vector<std::vector<COLORREF>> &rows, bool bottom_up) {
    Dib d = {};
    int w = int(rows[0].size()), h = int(rows.size());
    size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    d.info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), w, bottom_up ? h : -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    d.bits.assign(stride * size_t(h), 0xEE);
    for (int r = 0; r < h; ++r) {
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &d.bits[size_t(bottom_up ? h - 1 - r : r) * stride + size_t(x) * 3];
            COLORREF c = rows[size_t(r)][size_t(x)];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    }
    return d;
}

int stretch(TestBitmap &b, int x, int y, int w, int h, const Dib &d, int sx, int sy, int sw,
            int sh) {
    return StretchDIBits(b.dc, x, y, w, h, sx, sy, sw, sh, d.bits.data(), &d.info, DIB_RGB_COLORS,
                         SRCCOPY);
}

// Every pixel against the rule itself, floor((2i + 1) * points / (2 * pixels)), over shrinking,
// growing and uneven ratios, with the destination cut on the left so that a row starts late.
TEST(StretchDIBits, EveryPixelTakesThePointUnderItsCentre) {
    struct Case {
        int points, pixels, clip_left;
    } cases[] = {
        {1, 1, 0},  {1, 615, 0},    {300, 460, 0},  {300, 615, 7}, {800, 200, 0},  {799, 1, 0},
        {7, 13, 3}, {1000, 999, 0}, {999, 1000, 1}, {65535, 3, 0}, {2, 4093, 100}, {613, 617, 0},
    };
    for (const Case &c : cases) {
        TestBitmap b(c.pixels, 1, SENTINEL);
        std::vector<COLORREF> row; // point k's colour names k
        for (int k = 0; k < c.points; ++k)
            row.push_back(RGB(k & 0xFF, k >> 8, 77));
        stretch(b, -c.clip_left, 0, c.pixels + c.clip_left, 1, make_dib({row}, true), 0, 0,
                c.points, 1);
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

const COLORREF A0 = RGB(200, 0, 0), A1 = RGB(200, 50, 0), A2 = RGB(200, 100, 0);
const COLORREF B0 = RGB(0, 0, 200), B1 = RGB(0, 50, 200), B2 = RGB(0, 100, 200);

// The two-row picture "abc" over "def": the top row shows on top whichever way it is stored; a
// bottom-up DIB counts the source y from its bottom row; a negative width mirrors.
TEST(StretchDIBits, RowOrderAndMirroring) {
    const struct {
        bool bottom_up;
        int w, h, sy, sh;
        Rows picture; // 4 x 4
    } cases[] = {
        {true, 3, 2, 0, 2, {"abc.", "def.", "....", "...."}},
        {false, 3, 2, 0, 2, {"abc.", "def.", "....", "...."}},
        {true, 3, 4, 0, 2, {"abc.", "abc.", "def.", "def."}},
        {true, 3, 1, 1, 1, {"abc.", "....", "....", "...."}},
        {false, 3, 1, 1, 1, {"def.", "....", "....", "...."}},
        {true, -3, 1, 0, 1, {"fed.", "....", "....", "...."}},
    };
    for (const auto &c : cases) {
        TestBitmap b(4, 4, SENTINEL);
        Dib d = make_dib({{A0, A1, A2}, {B0, B1, B2}}, c.bottom_up);
        EXPECT_EQ(stretch(b, c.w < 0 ? 3 : 0, 0, c.w, c.h, d, 0, c.sy, 3, c.sh), c.sh);
        EXPECT_EQ(b.picture({{A0, 'a'}, {A1, 'b'}, {A2, 'c'}, {B0, 'd'}, {B1, 'e'}, {B2, 'f'}}),
                  picture_rows(c.picture))
            << c.bottom_up << " " << c.w << "x" << c.h << " from row " << c.sy;
    }
}

// A source rectangle reaching past the DIB's columns leaves those destination pixels alone.
TEST(StretchDIBits, SourceBeyondTheDibLeavesThosePixels) {
    Dib d = make_dib({{A0, A1, A2}}, true);
    for (int sx : {1, -1}) {
        TestBitmap b(4, 1, SENTINEL);
        EXPECT_EQ(stretch(b, 0, 0, 4, 1, d, sx, 0, 4, 1), 1);
        EXPECT_EQ(b.picture({{A0, 'a'}, {A1, 'b'}, {A2, 'c'}}), sx > 0 ? "bc.." : ".abc");
    }
}

TEST(StretchDIBits, RefusesWhatItDoesNotUnderstand) {
    TestBitmap b(3, 1, SENTINEL);
    Dib d = make_dib({{A0, A1, A2}}, true);
    Dib bits32 = d, rle = d, planes = d;
    bits32.info.bmiHeader.biBitCount = 32;
    rle.info.bmiHeader.biCompression = 1;
    planes.info.bmiHeader.biPlanes = 2;
    for (const Dib *bad : {&bits32, &rle, &planes})
        EXPECT_EQ(stretch(b, 0, 0, 3, 1, *bad, 0, 0, 3, 1), 0);
    const void *bits = d.bits.data();
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, &d.info, 1, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, &d.info, 0, 0x00EE0086), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, nullptr, &d.info, 0, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, nullptr, 0, SRCCOPY), 0);
    EXPECT_EQ(stretch(b, 0, 0, INT_MIN, 1, d, 0, 0, 3, 1), 0);
    EXPECT_EQ(b.picture({}), "...");
}

} // namespace
