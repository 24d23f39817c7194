// StretchDIBits from 24-bit DIBs: nearest-pixel mapping in both directions, row order of
// bottom-up and top-down DIBs, clipping without disturbing the mapping, and refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <vector>

#include "support/test_bitmap.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);

struct Dib {
    BITMAPINFO info;
    std::vector<uint8_t> bits;
};

// `rows` is the picture top row first; the DIB stores it bottom-up or top-down.
Dib make_dib(const std::vector<std::vector<COLORREF>> &rows, bool bottom_up) {
    Dib d = {};
    int w = int(rows[0].size()), h = int(rows.size());
    size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    d.info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    d.info.bmiHeader.biWidth = w;
    d.info.bmiHeader.biHeight = bottom_up ? h : -h;
    d.info.bmiHeader.biPlanes = 1;
    d.info.bmiHeader.biBitCount = 24;
    d.info.bmiHeader.biCompression = BI_RGB;
    d.bits.assign(stride * size_t(h), 0xEE); // padding bytes must not be read as pixels
    for (int r = 0; r < h; ++r) {
        size_t memory_row = size_t(bottom_up ? h - 1 - r : r);
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &d.bits[memory_row * stride + size_t(x) * 3];
            COLORREF c = rows[size_t(r)][size_t(x)];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    }
    return d;
}

// A row whose point k has a colour that names k.
std::vector<COLORREF> indexed_row(int n) {
    std::vector<COLORREF> row;
    for (int k = 0; k < n; ++k)
        row.push_back(RGB(k & 0xFF, k >> 8, 77));
    return row;
}

int index_of(COLORREF c) {
    return GetRValue(c) | GetGValue(c) << 8;
}

int stretch(TestBitmap &b, int x, int y, int w, int h, const Dib &d, int sx, int sy, int sw,
            int sh) {
    return StretchDIBits(b.dc, x, y, w, h, sx, sy, sw, sh, d.bits.data(), &d.info, DIB_RGB_COLORS,
                         SRCCOPY);
}

TEST(StretchDIBits, ThreeHundredPointsOntoSixHundredFifteenPixels) {
    TestBitmap b(620, 3, SENTINEL);
    Dib d = make_dib({indexed_row(300)}, true);
    EXPECT_EQ(stretch(b, 2, 1, 615, 1, d, 0, 0, 300, 1), 1);
    // Each pixel shows the point under its centre: 2.05 pixels per point, so every twentieth
    // point or so takes three pixels.
    const int known[][2] = {{0, 0},   {1, 0},     {2, 1},     {19, 9},    {20, 10},  {22, 10},
                            {23, 11}, {611, 298}, {612, 298}, {613, 299}, {614, 299}};
    for (const auto &k : known)
        EXPECT_EQ(index_of(b.at(2 + k[0], 1)), k[1]) << k[0];
    int runs_of_three = 0, run = 1;
    for (int i = 1; i < 615; ++i) {
        int step = index_of(b.at(2 + i, 1)) - index_of(b.at(1 + i, 1));
        ASSERT_TRUE(step == 0 || step == 1) << "pixel " << i;
        if (step == 0) ++run;
        if (step == 1 || i == 614) {
            EXPECT_TRUE(run == 2 || run == 3) << "run ending at " << i;
            runs_of_three += run == 3;
            run = 1;
        }
    }
    EXPECT_EQ(runs_of_three, 15);
    for (int x : {0, 1, 617, 618, 619})
        EXPECT_EQ(b.at(x, 1), SENTINEL) << x;
    for (int x = 0; x < 620; ++x)
        EXPECT_EQ(b.at(x, 0), SENTINEL) << x;
    for (int x = 0; x < 620; ++x)
        EXPECT_EQ(b.at(x, 2), SENTINEL) << x;
}

TEST(StretchDIBits, EightHundredPointsOntoTwoHundredPixelsTakeEveryFourthFromTheThird) {
    TestBitmap b(200, 1, SENTINEL);
    Dib d = make_dib({indexed_row(800)}, true);
    EXPECT_EQ(stretch(b, 0, 0, 200, 1, d, 0, 0, 800, 1), 1);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(index_of(b.at(i, 0)), 4 * i + 2) << i;
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
        Dib d = make_dib({indexed_row(c.points)}, true);
        stretch(b, -c.clip_left, 0, c.pixels + c.clip_left, 1, d, 0, 0, c.points, 1);
        int wrong = 0;
        for (int x = 0; x < c.pixels; ++x) {
            long long i = x + c.clip_left, n = c.pixels + c.clip_left;
            wrong += index_of(b.at(x, 0)) != int((2 * i + 1) * c.points / (2 * n));
        }
        EXPECT_EQ(wrong, 0) << c.points << " onto " << c.pixels;
    }
}

const COLORREF A0 = RGB(200, 0, 0), A1 = RGB(200, 50, 0), A2 = RGB(200, 100, 0);
const COLORREF B0 = RGB(0, 0, 200), B1 = RGB(0, 50, 200), B2 = RGB(0, 100, 200);

struct RowCase {
    const char *name;
    bool bottom_up;
    int h, sy, sh;                    // destination height, source y and height
    std::vector<std::string> picture; // 3 wide, 4 high
};

class RowOrderTest : public ::testing::TestWithParam<RowCase> {};

// A two-row picture "abc" over "def", three pixels wide (rows padded to four bytes).
TEST_P(RowOrderTest, ShowsTheTopRowOnTop) {
    const RowCase &c = GetParam();
    TestBitmap b(3, 4, SENTINEL);
    Dib d = make_dib({{A0, A1, A2}, {B0, B1, B2}}, c.bottom_up);
    EXPECT_EQ(stretch(b, 0, 0, 3, c.h, d, 0, c.sy, 3, c.sh), c.sh);
    EXPECT_EQ(b.picture({{A0, 'a'}, {A1, 'b'}, {A2, 'c'}, {B0, 'd'}, {B1, 'e'}, {B2, 'f'}}),
              picture_rows(c.picture));
}

INSTANTIATE_TEST_SUITE_P(
    BottomUpAndTopDown, RowOrderTest,
    ::testing::Values(RowCase{"BottomUp", true, 2, 0, 2, {"abc", "def", "...", "..."}},
                      RowCase{"TopDown", false, 2, 0, 2, {"abc", "def", "...", "..."}},
                      RowCase{"BottomUpDoubled", true, 4, 0, 2, {"abc", "abc", "def", "def"}},
                      RowCase{"TopDownDoubled", false, 4, 0, 2, {"abc", "abc", "def", "def"}},
                      // A bottom-up DIB counts the source y from its bottom row.
                      RowCase{"BottomUpUpperRow", true, 1, 1, 1, {"abc", "...", "...", "..."}},
                      RowCase{"TopDownLowerRow", false, 1, 1, 1, {"def", "...", "...", "..."}},
                      RowCase{"BottomUpRowTripled", true, 3, 0, 1, {"def", "def", "def", "..."}}),
    [](const ::testing::TestParamInfo<RowCase> &i) { return std::string(i.param.name); });

TEST(StretchDIBits, OneRowDibTopDownAndBottomUpAgree) {
    for (bool bottom_up : {true, false}) {
        TestBitmap b(6, 1, SENTINEL);
        Dib d = make_dib({{A0, A1, A2}}, bottom_up);
        EXPECT_EQ(stretch(b, 0, 0, 6, 1, d, 0, 0, 3, 1), 1);
        EXPECT_EQ(b.picture({{A0, 'a'}, {A1, 'b'}, {A2, 'c'}}), "aabbcc") << bottom_up;
    }
}

// Clipping cuts pixels off; it does not restart the mapping at the bitmap's edge.
TEST(StretchDIBits, ClippedDestinationKeepsTheMapping) {
    TestBitmap b(6, 1, SENTINEL);
    Dib d = make_dib({indexed_row(10)}, true);
    EXPECT_EQ(stretch(b, -10, 0, 20, 1, d, 0, 0, 10, 1), 1);
    const int expected[] = {5, 5, 6, 6, 7, 7};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(index_of(b.at(x, 0)), expected[x]) << x;
}

TEST(StretchDIBits, NegativeDestinationWidthMirrors) {
    TestBitmap b(4, 1, SENTINEL);
    Dib d = make_dib({{A0, A1, A2}}, true);
    EXPECT_EQ(stretch(b, 3, 0, -3, 1, d, 0, 0, 3, 1), 1);
    EXPECT_EQ(b.picture({{A0, 'a'}, {A1, 'b'}, {A2, 'c'}}), "cba.");
}

TEST(StretchDIBits, RefusesWhatItDoesNotUnderstand) {
    TestBitmap b(3, 1, SENTINEL);
    Dib d = make_dib({{A0, A1, A2}}, true);
    Dib bits32 = d, rle = d, planes = d;
    bits32.info.bmiHeader.biBitCount = 32;
    rle.info.bmiHeader.biCompression = 1;
    planes.info.bmiHeader.biPlanes = 2;
    for (const Dib *bad : {&bits32, &rle, &planes}) {
        EXPECT_EQ(stretch(b, 0, 0, 3, 1, *bad, 0, 0, 3, 1), 0);
    }
    const void *bits = d.bits.data();
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, &d.info, 1, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, &d.info, 0, 0x00EE0086), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, nullptr, &d.info, 0, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(b.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, nullptr, 0, SRCCOPY), 0);
    EXPECT_EQ(stretch(b, 0, 0, INT_MIN, 1, d, 0, 0, 3, 1), 0);
    EXPECT_EQ(b.picture({}), "...");
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_EQ(StretchDIBits(gone, 0, 0, 3, 1, 0, 0, 3, 1, bits, &d.info, 0, SRCCOPY), 0);
}

} // namespace
