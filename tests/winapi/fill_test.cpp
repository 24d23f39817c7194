// FillRect: left and top edges in, right and bottom edges out, cut at the bitmap's edges.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF PAINT = RGB(0, 150, 250);

struct FillCase {
    const char *name;
    RECT rect;
    std::vector<std::string> picture; // 5 x 4
};

class FillRectTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRectTest, FillsExactlyTheRectangle) {
    const FillCase &c = GetParam();
    TestBitmap b(5, 4, SENTINEL);
    HBRUSH brush = CreateSolidBrush(PAINT);
    EXPECT_NE(FillRect(b.dc, &c.rect, brush), 0);
    EXPECT_EQ(b.picture({{PAINT, '#'}}), picture_rows(c.picture));
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, FillRectTest,
    ::testing::Values(
        FillCase{"Inside", {1, 1, 3, 3}, {".....", ".##..", ".##..", "....."}},
        FillCase{"OnePixel", {4, 3, 5, 4}, {".....", ".....", ".....", "....#"}},
        FillCase{"CutLeftAndTop", {-3, -2, 2, 1}, {"##...", ".....", ".....", "....."}},
        FillCase{"CutRightAndBottom", {3, 2, 99, 99}, {".....", ".....", "...##", "...##"}},
        FillCase{"WholeAndMore", {-1, -1, 6, 5}, {"#####", "#####", "#####", "#####"}},
        FillCase{"ExtremeCoordinates",
                 {INT_MIN, INT_MIN, INT_MAX, 1},
                 {"#####", ".....", ".....", "....."}},
        FillCase{"EmptyWidth", {2, 0, 2, 4}, {".....", ".....", ".....", "....."}},
        FillCase{"Inverted", {4, 3, 1, 1}, {".....", ".....", ".....", "....."}},
        FillCase{"OutsideRight", {5, 0, 9, 4}, {".....", ".....", ".....", "....."}},
        FillCase{"OutsideAbove", {0, -5, 5, 0}, {".....", ".....", ".....", "....."}}),
    [](const ::testing::TestParamInfo<FillCase> &i) { return std::string(i.param.name); });

TEST(FillRect, NullBrushLeavesThePixels) {
    TestBitmap b(3, 2, SENTINEL);
    RECT r{0, 0, 3, 2};
    EXPECT_NE(FillRect(b.dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
    EXPECT_EQ(b.picture({}), picture_rows({"...", "..."}));
}

TEST(FillRect, StockBrushesHaveTheirColours) {
    TestBitmap b(2, 1, SENTINEL);
    RECT left{0, 0, 1, 1}, right{1, 0, 2, 1};
    FillRect(b.dc, &left, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(b.dc, &right, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(b.at(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(b.at(1, 0), RGB(0, 0, 0));
}

TEST(FillRect, FailsWithoutRectangleOrWithAWrongBrush) {
    TestBitmap b(2, 2, SENTINEL);
    RECT r{0, 0, 2, 2};
    HBRUSH brush = CreateSolidBrush(PAINT);
    EXPECT_EQ(FillRect(b.dc, nullptr, brush), 0);
    // A pen handed over as a brush is refused, not drawn with.
    EXPECT_EQ(FillRect(b.dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_PEN))), 0);
    DeleteObject(brush);
    EXPECT_EQ(FillRect(b.dc, &r, brush), 0); // deleted
    EXPECT_EQ(b.picture({}), picture_rows({"..", ".."}));
}

} // namespace
