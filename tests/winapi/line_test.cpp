// Lines with GDI's pixel choice: first point in, last point out, one pixel per step of the
// major axis, ties to the upper (x-major) or left (y-major) pixel, unchanged by clipping.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <vector>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF INK = RGB(200, 0, 0);

struct LineCase {
    const char *name;
    POINT from, to;
    std::vector<POINT> pixels;
};

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, DrawsExactlyThePixels) {
    const LineCase &c = GetParam();
    TestBitmap b(9, 9, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 1, INK);
    HGDIOBJ old = SelectObject(b.dc, pen);
    MoveToEx(b.dc, c.from.x, c.from.y, nullptr);
    EXPECT_TRUE(LineTo(b.dc, c.to.x, c.to.y));
    EXPECT_EQ(b.picture({{INK, '#'}}), picture_points(9, 9, c.pixels, '#'));
    SelectObject(b.dc, old);
    DeleteObject(pen);
}

// From the centre (4, 4) into each octant with a half-step tie at every other pixel, then the
// diagonals, the axes and slopes without ties.
INSTANTIATE_TEST_SUITE_P(
    Octants, LineTest,
    ::testing::Values(LineCase{"EastSouthEast", {4, 4}, {8, 6}, {{4, 4}, {5, 4}, {6, 5}, {7, 5}}},
                      LineCase{"SouthSouthEast", {4, 4}, {6, 8}, {{4, 4}, {4, 5}, {5, 6}, {5, 7}}},
                      LineCase{"SouthSouthWest", {4, 4}, {2, 8}, {{4, 4}, {3, 5}, {3, 6}, {2, 7}}},
                      LineCase{"WestSouthWest", {4, 4}, {0, 6}, {{4, 4}, {3, 4}, {2, 5}, {1, 5}}},
                      LineCase{"WestNorthWest", {4, 4}, {0, 2}, {{4, 4}, {3, 3}, {2, 3}, {1, 2}}},
                      LineCase{"NorthNorthWest", {4, 4}, {2, 0}, {{4, 4}, {3, 3}, {3, 2}, {2, 1}}},
                      LineCase{"NorthNorthEast", {4, 4}, {6, 0}, {{4, 4}, {4, 3}, {5, 2}, {5, 1}}},
                      LineCase{"EastNorthEast", {4, 4}, {8, 2}, {{4, 4}, {5, 3}, {6, 3}, {7, 2}}},
                      LineCase{"DiagonalDownRight", {4, 4}, {7, 7}, {{4, 4}, {5, 5}, {6, 6}}},
                      LineCase{"DiagonalUpLeft", {4, 4}, {1, 1}, {{4, 4}, {3, 3}, {2, 2}}},
                      LineCase{"DiagonalDownLeft", {4, 4}, {1, 7}, {{4, 4}, {3, 5}, {2, 6}}},
                      LineCase{"DiagonalUpRight", {4, 4}, {7, 1}, {{4, 4}, {5, 3}, {6, 2}}},
                      LineCase{"East", {1, 2}, {5, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
                      LineCase{"West", {5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
                      LineCase{"South", {3, 1}, {3, 4}, {{3, 1}, {3, 2}, {3, 3}}},
                      LineCase{"North", {3, 4}, {3, 1}, {{3, 4}, {3, 3}, {3, 2}}},
                      LineCase{
                          "TwoFifths", {0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
                      // A tie falls on the same pixel whichever way the line runs.
                      LineCase{"QuarterForward", {0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
                      LineCase{"QuarterBackward", {4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
                      LineCase{"SinglePixel", {2, 2}, {3, 2}, {{2, 2}}},
                      LineCase{"ZeroLength", {3, 3}, {3, 3}, {}}),
    [](const ::testing::TestParamInfo<LineCase> &i) { return std::string(i.param.name); });

struct ClippedCase {
    const char *name;
    POINT from, to;
    std::vector<std::string> picture; // 4 x 3
};

class ClippedLineTest : public ::testing::TestWithParam<ClippedCase> {};

// Clipping only removes pixels: the visible ones are those of the whole line.
TEST_P(ClippedLineTest, KeepsThePixelsOfTheWholeLine) {
    const ClippedCase &c = GetParam();
    TestBitmap b(4, 3, SENTINEL);
    MoveToEx(b.dc, c.from.x, c.from.y, nullptr);
    EXPECT_TRUE(LineTo(b.dc, c.to.x, c.to.y));
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}), picture_rows(c.picture));
}

INSTANTIATE_TEST_SUITE_P(
    LeavingTheBitmap, ClippedLineTest,
    ::testing::Values(
        // (-3,-1) to (6,2): one row down every three columns, the first two off the bitmap.
        ClippedCase{"EntersFromTheLeft", {-3, -1}, {6, 2}, {"##..", "..##", "...."}},
        ClippedCase{"LeavesAtTheRight", {1, 1}, {40, 1}, {"....", ".###", "...."}},
        ClippedCase{"PassesAbove", {-5, -1}, {10, -1}, {"....", "....", "...."}},
        ClippedCase{"CrossesSteeply", {2, -10}, {2, 10}, {"..#.", "..#.", "..#."}},
        // Coordinates near the ends of the integer range neither overflow nor hang.
        ClippedCase{"HugeHorizontal", {-2000000000, 0}, {2000000000, 2}, {"....", "####", "...."}},
        ClippedCase{"HugeSteep",
                    {INT_MIN / 2, INT_MIN / 2},
                    {INT_MAX / 2, INT_MAX / 2},
                    {"#...", ".#..", "..#."}}),
    [](const ::testing::TestParamInfo<ClippedCase> &i) { return std::string(i.param.name); });

TEST(Polyline, EachSegmentExcludesItsLastPointAndTheNextIncludesIt) {
    TestBitmap b(5, 4, SENTINEL);
    POINT pts[] = {{0, 0}, {3, 0}, {3, 2}, {0, 2}};
    EXPECT_TRUE(Polyline(b.dc, pts, 4));
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}), picture_rows({"####.", "...#.", ".###.", "....."}));
}

TEST(Polyline, RefusesFewerThanTwoPointsAndLeavesThePosition) {
    TestBitmap b(3, 3, SENTINEL);
    POINT pts[] = {{0, 0}, {2, 2}};
    MoveToEx(b.dc, 1, 1, nullptr);
    EXPECT_FALSE(Polyline(b.dc, pts, 1));
    EXPECT_FALSE(Polyline(b.dc, nullptr, 2));
    EXPECT_TRUE(Polyline(b.dc, pts, 2));
    POINT pos;
    MoveToEx(b.dc, 0, 0, &pos);
    EXPECT_EQ(pos.x, 1);
    EXPECT_EQ(pos.y, 1);
}

TEST(LineTo, MovesTheCurrentPositionSoSegmentsChain) {
    TestBitmap b(5, 3, SENTINEL);
    POINT prev;
    EXPECT_TRUE(MoveToEx(b.dc, 0, 1, &prev));
    EXPECT_EQ(prev.x, 0); // a new DC starts at (0, 0)
    EXPECT_EQ(prev.y, 0);
    LineTo(b.dc, 2, 1);
    LineTo(b.dc, 2, 3);
    MoveToEx(b.dc, 0, 0, &prev);
    EXPECT_EQ(prev.x, 2);
    EXPECT_EQ(prev.y, 3);
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}), picture_rows({".....", "###..", "..#.."}));
}

// A pen wider than one pixel stamps a square of its width centred on each pixel of the line.
TEST(WidePen, StampsASquareOnEveryPixel) {
    TestBitmap b(7, 5, SENTINEL);
    HPEN pen = CreatePen(PS_SOLID, 3, INK);
    SelectObject(b.dc, pen);
    MoveToEx(b.dc, 2, 2, nullptr);
    LineTo(b.dc, 4, 2);
    EXPECT_EQ(b.picture({{INK, '#'}}),
              picture_rows({".......", ".####..", ".####..", ".####..", "......."}));
    SelectObject(b.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(NullPen, DrawsNothingButStillMoves) {
    TestBitmap b(4, 4, SENTINEL);
    SelectObject(b.dc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(LineTo(b.dc, 3, 3));
    POINT pos;
    MoveToEx(b.dc, 0, 0, &pos);
    EXPECT_EQ(pos.x, 3);
    EXPECT_EQ(b.picture({}), picture_rows({"....", "....", "....", "...."}));
}

} // namespace
