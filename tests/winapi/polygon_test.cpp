// Polygon: the interior by pixel centres in the alternate mode (left and top edges in, right
// and bottom edges out), then the outline with the pen, closed like a polyline.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF FILL = RGB(250, 0, 0);

struct PolygonCase {
    const char *name;
    std::vector<POINT> points;
    std::vector<std::string> picture; // 6 x 6, '#' filled
};

class PolygonFillTest : public ::testing::TestWithParam<PolygonCase> {};

TEST_P(PolygonFillTest, FillsThePixelsWhoseCentresAreInside) {
    const PolygonCase &c = GetParam();
    TestBitmap b(6, 6, SENTINEL);
    HBRUSH brush = CreateSolidBrush(FILL);
    SelectObject(b.dc, brush);
    SelectObject(b.dc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(Polygon(b.dc, c.points.data(), int(c.points.size())));
    EXPECT_EQ(b.picture({{FILL, '#'}}), picture_rows(c.picture));
    SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PolygonFillTest,
    ::testing::Values(PolygonCase{"Rectangle",
                                  {{1, 1}, {4, 1}, {4, 3}, {1, 3}},
                                  {"......", ".###..", ".###..", "......", "......", "......"}},
                      PolygonCase{"Triangle",
                                  {{0, 0}, {4, 0}, {0, 4}},
                                  {"####..", "###...", "##....", "#.....", "......", "......"}},
                      PolygonCase{"TriangleClockwiseOrAnticlockwise",
                                  {{0, 4}, {4, 0}, {0, 0}},
                                  {"####..", "###...", "##....", "#.....", "......", "......"}},
                      PolygonCase{"ConcaveNotch",
                                  {{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}},
                                  {"####..", "####..", "####..", "#..#..", "......", "......"}},
                      PolygonCase{"BowTie",
                                  {{0, 0}, {4, 4}, {4, 0}, {0, 4}},
                                  {"......", "#..#..", "####..", "#..#..", "......", "......"}},
                      // Wound twice round: every centre is crossed an even number of times.
                      PolygonCase{"WoundTwice",
                                  {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 1}, {5, 1}, {5, 5}, {1, 5}},
                                  {"......", "......", "......", "......", "......", "......"}},
                      PolygonCase{"PartlyOutside",
                                  {{-2, -2}, {8, -2}, {-2, 8}},
                                  {"######", "#####.", "####..", "###...", "##....", "#....."}},
                      PolygonCase{"Collinear",
                                  {{0, 0}, {2, 2}, {5, 5}},
                                  {"......", "......", "......", "......", "......", "......"}},
                      PolygonCase{"OnePointThrice",
                                  {{2, 2}, {2, 2}, {2, 2}},
                                  {"......", "......", "......", "......", "......", "......"}},
                      PolygonCase{"FlatLine",
                                  {{0, 3}, {5, 3}},
                                  {"......", "......", "......", "......", "......", "......"}}),
    [](const ::testing::TestParamInfo<PolygonCase> &i) { return std::string(i.param.name); });

TEST(Polygon, OutlineCoversTheFillsTopAndLeftAndLiesOutsideItsRightAndBottom) {
    TestBitmap b(6, 5, SENTINEL);
    HBRUSH brush = CreateSolidBrush(FILL);
    SelectObject(b.dc, brush);
    POINT pts[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
    EXPECT_TRUE(Polygon(b.dc, pts, 4));
    EXPECT_EQ(b.picture({{FILL, 'r'}, {RGB(0, 0, 0), 'B'}}),
              picture_rows({"......", ".BBBB.", ".BrrB.", ".BBBB.", "......"}));
    SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

TEST(Polygon, NullBrushDrawsTheOutlineOnly) {
    TestBitmap b(5, 5, SENTINEL);
    SelectObject(b.dc, GetStockObject(NULL_BRUSH));
    POINT pts[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    EXPECT_TRUE(Polygon(b.dc, pts, 4));
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}),
              picture_rows({"####.", "#..#.", "#..#.", "####.", "....."}));
}

TEST(Polygon, TwoPointsDrawTheSegmentBothWays) {
    TestBitmap b(5, 2, SENTINEL);
    POINT pts[] = {{0, 0}, {4, 0}};
    EXPECT_TRUE(Polygon(b.dc, pts, 2));
    EXPECT_EQ(b.picture({{RGB(0, 0, 0), '#'}}), picture_rows({"#####", "....."}));
}

TEST(Polygon, RefusesFewerThanTwoPoints) {
    TestBitmap b(3, 3, SENTINEL);
    POINT pts[] = {{1, 1}};
    EXPECT_FALSE(Polygon(b.dc, pts, 1));
    EXPECT_FALSE(Polygon(b.dc, nullptr, 3));
    EXPECT_EQ(b.picture({}), picture_rows({"...", "...", "..."}));
}

} // namespace
