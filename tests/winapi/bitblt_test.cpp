// BitBlt with SRCCOPY: overlapping copies within one bitmap, and clipping at both ends.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);

// A distinct colour for every pixel of a small bitmap.
COLORREF tag(int x, int y) {
    return RGB(10 + x, 20 + y, 99);
}

void fill_tags(TestBitmap &b) {
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x)
            b.set(x, y, tag(x, y));
    }
}

struct ShiftCase {
    const char *name;
    int dx, dy;
};

class OverlapTest : public ::testing::TestWithParam<ShiftCase> {};

// Shifting a bitmap onto itself must read every source pixel before it is overwritten.
TEST_P(OverlapTest, ShiftsWithinOneBitmap) {
    const ShiftCase &c = GetParam();
    TestBitmap b(5, 4, SENTINEL);
    fill_tags(b);
    int w = 5 - abs(c.dx), h = 4 - abs(c.dy);
    EXPECT_TRUE(BitBlt(b.dc, c.dx > 0 ? c.dx : 0, c.dy > 0 ? c.dy : 0, w, h, b.dc,
                       c.dx < 0 ? -c.dx : 0, c.dy < 0 ? -c.dy : 0, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            bool moved = x - c.dx >= 0 && x - c.dx < 5 && y - c.dy >= 0 && y - c.dy < 4;
            EXPECT_EQ(b.at(x, y), moved ? tag(x - c.dx, y - c.dy) : tag(x, y)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, OverlapTest,
    ::testing::Values(ShiftCase{"Right", 1, 0}, ShiftCase{"Left", -1, 0}, ShiftCase{"Down", 0, 1},
                      ShiftCase{"Up", 0, -1}, ShiftCase{"DownRight", 2, 1},
                      ShiftCase{"UpLeft", -1, -2}, ShiftCase{"DownLeft", -2, 1},
                      ShiftCase{"UpRight", 1, -1}),
    [](const ::testing::TestParamInfo<ShiftCase> &i) { return std::string(i.param.name); });

struct ClipCase {
    const char *name;
    int x, y, w, h, sx, sy;
    std::vector<std::string> picture; // 4 x 3 destination: letters name source pixels
};

class BlitClipTest : public ::testing::TestWithParam<ClipCase> {};

// Source pixels are named by letter: row 0 "abc", row 1 "def", row 2 "ghi".
TEST_P(BlitClipTest, CopiesOnlyWhereBothEndsExist) {
    const ClipCase &c = GetParam();
    TestBitmap src(3, 3, SENTINEL), dst(4, 3, SENTINEL);
    fill_tags(src);
    EXPECT_TRUE(BitBlt(dst.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, SRCCOPY));
    std::vector<std::pair<COLORREF, char>> legend;
    for (int i = 0; i < 9; ++i)
        legend.push_back({tag(i % 3, i / 3), char('a' + i)});
    EXPECT_EQ(dst.picture(legend), picture_rows(c.picture));
}

INSTANTIATE_TEST_SUITE_P(
    Clipping, BlitClipTest,
    ::testing::Values(
        ClipCase{"Whole", 1, 0, 3, 3, 0, 0, {".abc", ".def", ".ghi"}},
        ClipCase{"Part", 0, 1, 2, 2, 1, 1, {"....", "ef..", "hi.."}},
        ClipCase{"DestinationLeftAndAbove", -1, -1, 3, 3, 0, 0, {"ef..", "hi..", "...."}},
        ClipCase{"DestinationRight", 2, 0, 3, 1, 0, 0, {"..ab", "....", "...."}},
        ClipCase{"SourceBeyondItsBitmap", 0, 0, 3, 3, 2, 2, {"i...", "....", "...."}},
        ClipCase{"SourceBeforeItsBitmap", 1, 1, 3, 2, -1, -1, {"....", "....", "..ab"}},
        ClipCase{"Empty", 0, 0, 0, 3, 0, 0, {"....", "....", "...."}},
        ClipCase{"NegativeWidth", 3, 0, -2, 2, 0, 0, {"....", "....", "...."}}),
    [](const ::testing::TestParamInfo<ClipCase> &i) { return std::string(i.param.name); });

TEST(BitBlt, FailsForOtherOperationsAndDeadSources) {
    TestBitmap dst(2, 2, SENTINEL);
    HDC src = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, src, 0, 0, 0x00EE0086)); // SRCPAINT
    DeleteDC(src);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, src, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.picture({}), picture_rows({"..", ".."}));
}

} // namespace
