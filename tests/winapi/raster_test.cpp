// The pixel rules of the drawing calls: which pixels FillRect, lines, Polygon, BitBlt and
// StretchDIBits touch at their edges and under clipping, on bitmaps pre-filled with a sentinel
// so that every stray pixel shows. Whole scenes are checked by the module's stored screens.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <vector>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3), PAINT = RGB(0, 150, 250), BLACK = RGB(0, 0, 0);
typedef std::vector<std::string> Rows;

// Left and top edges in, right and bottom out; empty and reversed rectangles draw nothing.
TEST(FillRect, LeftAndTopEdgesInRightAndBottomOut) {
    HBRUSH paint = CreateSolidBrush(PAINT);
    const struct {
        RECT rect;
        Rows picture; // 5 x 3
    } cases[] = {
        {{1, 1, 3, 3}, {".....", ".##..", ".##.."}},
        {{-3, -2, 2, 1}, {"##...", ".....", "....."}},
        {{INT_MIN, 2, INT_MAX, 99}, {".....", ".....", "#####"}},
        {{2, 0, 2, 4}, {".....", ".....", "....."}},
        {{4, 3, 1, 1}, {".....", ".....", "....."}},
    };
    for (const auto &c : cases) {
        TestBitmap b(5, 3, SENTINEL);
        EXPECT_NE(FillRect(b.dc, &c.rect, paint), 0);
        EXPECT_EQ(b.picture({{PAINT, '#'}}), picture_rows(c.picture)) << c.rect.left;
    }
    DeleteObject(paint);
}

// First point in, last point out, one pixel per step of the major axis, a half-step tie to the
// upper (x-major) or left (y-major) pixel whichever way the line runs; clipping only removes
// pixels of the whole line, and coordinates near the ends of the range neither overflow nor hang.
TEST(LineTo, DrawsExactlyThePixelsOfTheRule) {
    const struct {
        POINT from, to;
        std::vector<POINT> pixels; // on 9 x 9
    } cases[] = {
        {{4, 4}, {8, 6}, {{4, 4}, {5, 4}, {6, 5}, {7, 5}}},
        {{4, 4}, {2, 8}, {{4, 4}, {3, 5}, {3, 6}, {2, 7}}},
        {{4, 4}, {0, 2}, {{4, 4}, {3, 3}, {2, 3}, {1, 2}}},
        {{4, 4}, {6, 0}, {{4, 4}, {4, 3}, {5, 2}, {5, 1}}},
        {{-3, -1}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
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
// on, also with the null pen, which draws nothing. Polyline needs two points.
TEST(LineTo, SegmentsChainThroughTheCurrentPosition) {
    TestBitmap b(5, 4, SENTINEL);
    POINT pts[] = {{0, 0}, {3, 0}, {3, 2}, {0, 2}}, pos;
    EXPECT_TRUE(Polyline(b.dc, pts, 3));
    EXPECT_TRUE(Polyline(b.dc, pts + 2, 2));
    EXPECT_FALSE(Polyline(b.dc, pts, 1));
    SelectObject(b.dc, GetStockObject(NULL_PEN));
    MoveToEx(b.dc, 0, 0, nullptr);
    EXPECT_TRUE(LineTo(b.dc, 3, 3));
    MoveToEx(b.dc, 0, 0, &pos);
    EXPECT_EQ(pos.x * 10 + pos.y, 33);
    EXPECT_EQ(b.picture({{BLACK, '#'}}), picture_rows({"####.", "...#.", ".###.", "....."}));
}

// The interior by pixel centres in the alternate mode: left and top edges in, right and bottom
// out, a centre crossed an even number of times outside; the outline is the closed polyline over
// the fill, covering its top and left and outside its right and bottom.
TEST(Polygon, FillsThePixelsWhoseCentresAreInside) {
    const struct {
        std::vector<POINT> points;
        Rows picture; // 6 x 5
        bool outline = false;
    } cases[] = {
        {{{0, 0}, {4, 0}, {0, 4}}, {"####..", "###...", "##....", "#.....", "......"}},
        {{{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}, {"####..", "####..", "####..", "#..#.."}},
        {{{0, 0}, {4, 4}, {4, 0}, {0, 4}}, {"......", "#..#..", "####..", "#..#.."}},
        {{{-2, -2}, {8, -2}, {-2, 8}}, {"######", "#####.", "####..", "###...", "##...."}},
        {{{1, 1}, {4, 1}, {4, 3}, {1, 3}}, {"......", ".BBBB.", ".B##B.", ".BBBB."}, true},
    };
    HBRUSH brush = CreateSolidBrush(PAINT);
    for (const auto &c : cases) {
        TestBitmap b(6, 5, SENTINEL);
        SelectObject(b.dc, brush);
        if (!c.outline) SelectObject(b.dc, GetStockObject(NULL_PEN));
        EXPECT_TRUE(Polygon(b.dc, c.points.data(), int(c.points.size())));
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
    } cases[] = {{1, 615, 0},    {300, 615, 7}, {800, 200, 0}, {7, 13, 3},
                 {999, 1000, 1}, {65535, 3, 0}, {613, 617, 0}};
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

} // namespace
