// Text output through the DC: fonts from LOGFONTW, extents, DrawTextW's lines and clipping,
// opaque and transparent backgrounds, bold.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include "support/test_bitmap.h"

namespace {

// Fonts stay loaded until the drawing state is torn down, as the host does at its end.
struct GdiTearDown : ::testing::Environment {
    void TearDown() override { wl_gdi_shutdown(); }
};
const ::testing::Environment *const tear_down =
    ::testing::AddGlobalTestEnvironment(new GdiTearDown);

const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF INK = RGB(0, 0, 200);
const COLORREF PAPER = RGB(0, 200, 0);

HFONT courier(int weight = 0) {
    return CreateFontW(14, 7, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
}

// A test bitmap with a font selected, deleted with it.
struct TextBitmap : TestBitmap {
    HFONT font;
    HGDIOBJ old_font;
    TextBitmap(int w, int h, HFONT f) : TestBitmap(w, h, SENTINEL), font(f) {
        old_font = SelectObject(dc, font);
        SetTextColor(dc, INK);
        SetBkColor(dc, PAPER);
    }
    ~TextBitmap() {
        SelectObject(dc, old_font);
        DeleteObject(font);
    }
    // Pixels inside [l, r) x [t, b) that are not the sentinel, and those outside that are not.
    void count_changed(const RECT &box, int *inside, int *outside) const {
        *inside = *outside = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (at(x, y) == SENTINEL) continue;
                bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                ++*(in ? inside : outside);
            }
        }
    }
    int count_colour(COLORREF c) const {
        int n = 0;
        for (int i = 0; i < width * height; ++i)
            n += at(i % width, i / width) == c;
        return n;
    }
};

struct ExtentCase {
    const char16_t *text;
    int cx;
};

TEST(GetTextExtentPoint32W, CourierFourteenBySevenIsSevenPixelsPerCharacter) {
    TextBitmap b(1, 1, courier());
    const ExtentCase cases[] = {{u"", 0}, {u"A", 7}, {u"0123456789", 70}, {u"i W.", 28}};
    for (const ExtentCase &c : cases) {
        SIZE s{-1, -1};
        int n = int(std::u16string(c.text).size());
        EXPECT_TRUE(GetTextExtentPoint32W(b.dc, c.text, n, &s));
        EXPECT_EQ(s.cx, c.cx) << n;
        EXPECT_EQ(s.cy, 14) << n;
    }
    TEXTMETRICW tm;
    EXPECT_TRUE(GetTextMetricsW(b.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmAveCharWidth, 7);
}

TEST(GetTextExtentPoint32W, RefusesBadArguments) {
    TextBitmap b(1, 1, courier());
    SIZE s;
    EXPECT_FALSE(GetTextExtentPoint32W(b.dc, u"abc", -1, &s));
    EXPECT_FALSE(GetTextExtentPoint32W(b.dc, nullptr, 3, &s));
    EXPECT_FALSE(GetTextExtentPoint32W(b.dc, u"abc", 3, nullptr));
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(GetTextExtentPoint32W(gone, u"abc", 3, &s));
    TEXTMETRICW tm;
    EXPECT_FALSE(GetTextMetricsW(gone, &tm));
}

struct CalcCase {
    const char *name;
    const char16_t *text;
    UINT format;
    int width;         // of the rectangle
    int lines, widest; // widest -1: not checked
};

class CalcRectTest : public ::testing::TestWithParam<CalcCase> {};

TEST_P(CalcRectTest, MeasuresWithoutDrawing) {
    const CalcCase &c = GetParam();
    TextBitmap b(80, 60, courier());
    RECT r{3, 5, 3 + c.width, 55};
    EXPECT_EQ(DrawTextW(b.dc, c.text, -1, &r, c.format | DT_CALCRECT), 14 * c.lines);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 5);
    if (c.widest >= 0) {
        EXPECT_EQ(r.right, 3 + c.widest);
    }
    EXPECT_EQ(r.bottom, 5 + 14 * c.lines);
    EXPECT_EQ(b.count_colour(SENTINEL), 80 * 60);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CalcRectTest,
    ::testing::Values(CalcCase{"OneLine", u"abc", 0, 50, 1, 21},
                      CalcCase{"LineBreaksStartLines", u"ab\ncdef\r\ng", 0, 50, 3, 28},
                      CalcCase{"NoWordBreakRunsLong", u"aaa bbb ccc", 0, 50, 1, 77},
                      CalcCase{"WordBreakFillsTheWidth", u"aaa bbb ccc", DT_WORDBREAK, 50, 2, 49},
                      CalcCase{"WordBreakNarrow", u"aaa bbb ccc", DT_WORDBREAK, 30, 3, 21},
                      CalcCase{"SingleLineIgnoresBreaks", u"ab\ncd", DT_SINGLELINE, 50, 1, -1}),
    [](const ::testing::TestParamInfo<CalcCase> &i) { return std::string(i.param.name); });

// Rows of the bitmap that hold ink, as a string of '#' and '.'.
std::string inked_rows(const TextBitmap &b) {
    std::string rows;
    for (int y = 0; y < b.height; ++y) {
        bool ink = false;
        for (int x = 0; x < b.width; ++x)
            ink = ink || b.at(x, y) != SENTINEL;
        rows += ink ? '#' : '.';
    }
    return rows;
}

TEST(DrawTextW, EachLineInItsOwnCellRow) {
    TextBitmap b(30, 45, courier());
    SetBkMode(b.dc, TRANSPARENT);
    RECT r{0, 0, 30, 45};
    EXPECT_EQ(DrawTextW(b.dc, u"H\nH", -1, &r, 0), 28);
    std::string rows = inked_rows(b);
    // Both lines have ink within their 14-pixel cells and the third cell row stays empty.
    EXPECT_NE(rows.substr(0, 14).find('#'), std::string::npos) << rows;
    EXPECT_NE(rows.substr(14, 14).find('#'), std::string::npos) << rows;
    EXPECT_EQ(rows.substr(28), std::string(17, '.')) << rows;
    EXPECT_EQ(rows.substr(0, 14), rows.substr(14, 14)); // the same letter, one cell lower
}

TEST(DrawTextW, ClipsToTheRectangleUnlessNoClip) {
    RECT r{2, 3, 20, 11};
    for (UINT format : {0u, UINT(DT_NOCLIP)}) {
        TextBitmap b(70, 20, courier());
        RECT rc = r;
        DrawTextW(b.dc, u"WWWWWWWW", -1, &rc, format);
        int inside, outside;
        b.count_changed(r, &inside, &outside);
        // The opaque cell row covers the whole rectangle.
        EXPECT_EQ(inside, 18 * 8) << format;
        EXPECT_EQ(outside, format == 0 ? 0 : 56 * 14 - 18 * 8) << format;
    }
}

TEST(DrawTextW, RefusesMissingTextOrRectangle) {
    TextBitmap b(4, 4, courier());
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(DrawTextW(b.dc, nullptr, 3, &r, 0), 0);
    EXPECT_EQ(DrawTextW(b.dc, u"abc", 3, nullptr, 0), 0);
    EXPECT_EQ(b.count_colour(SENTINEL), 16);
}

struct ModeCase {
    int mode;
    bool box_filled; // every pixel of the cell box painted
};

// Opaque text paints its whole cell box in the background colour under the ink; transparent
// text changes only ink pixels. Neither writes outside the box.
TEST(ExtTextOutW, OpaqueAndTransparentBackgrounds) {
    for (ModeCase c : {ModeCase{OPAQUE, true}, ModeCase{TRANSPARENT, false}}) {
        TextBitmap b(40, 24, courier());
        EXPECT_EQ(SetBkMode(b.dc, c.mode), OPAQUE); // the default before
        EXPECT_TRUE(ExtTextOutW(b.dc, 5, 4, 0, nullptr, u"ab", 2, nullptr));
        int inside, outside;
        b.count_changed(RECT{5, 4, 19, 18}, &inside, &outside);
        EXPECT_EQ(outside, 0) << c.mode;
        EXPECT_EQ(inside == 14 * 14, c.box_filled) << c.mode;
        EXPECT_GT(inside, 0) << c.mode;
        EXPECT_EQ(b.count_colour(PAPER) > 0, c.box_filled) << c.mode;
        EXPECT_GT(inside, b.count_colour(PAPER)) << c.mode; // some pixels carry ink
    }
}

TEST(ExtTextOutW, OpaqueRectangleAndClipping) {
    TextBitmap b(40, 20, courier());
    SetBkMode(b.dc, TRANSPARENT);
    RECT r{1, 1, 9, 6};
    EXPECT_TRUE(ExtTextOutW(b.dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, u"WWWW", 4, nullptr));
    int inside, outside;
    b.count_changed(r, &inside, &outside);
    EXPECT_EQ(inside, 8 * 5);
    EXPECT_EQ(outside, 0);
    // An opaque rectangle alone, without text.
    RECT lower{0, 15, 40, 20};
    EXPECT_TRUE(ExtTextOutW(b.dc, 0, 0, ETO_OPAQUE, &lower, nullptr, 0, nullptr));
    EXPECT_EQ(b.at(39, 19), PAPER);
}

TEST(ExtTextOutW, AdvancesGivenPerCharacterSpaceTheCells) {
    TextBitmap b(60, 14, courier());
    int dx[] = {20, 20};
    ExtTextOutW(b.dc, 0, 0, 0, nullptr, u"ab", 2, dx);
    int inside, outside;
    b.count_changed(RECT{0, 0, 40, 14}, &inside, &outside); // opaque box of the advances
    EXPECT_EQ(inside, 40 * 14);
    EXPECT_EQ(outside, 0);
}

TEST(Fonts, BoldInksMorePixelsAtTheSameAdvance) {
    int ink[2];
    SIZE size[2];
    for (int bold = 0; bold < 2; ++bold) {
        TextBitmap b(80, 14, courier(bold ? FW_BOLD : FW_NORMAL));
        SetBkMode(b.dc, TRANSPARENT);
        ExtTextOutW(b.dc, 0, 0, 0, nullptr, u"Hello", 5, nullptr);
        GetTextExtentPoint32W(b.dc, u"Hello", 5, &size[bold]);
        // Ink is blue on a sentinel of blue 3: the blue channel adds up the glyphs' coverage.
        ink[bold] = 0;
        for (int i = 0; i < 80 * 14; ++i)
            ink[bold] += GetBValue(b.at(i % 80, i / 80)) - 3;
    }
    EXPECT_GT(ink[1], ink[0] * 5 / 4) << ink[0] << " " << ink[1];
    EXPECT_EQ(size[0].cx, size[1].cx);
}

TEST(DcState, ColoursAndModesAnswerTheirPreviousValues) {
    TextBitmap b(1, 1, courier());
    EXPECT_EQ(SetTextColor(b.dc, RGB(1, 1, 1)), INK);
    EXPECT_EQ(SetTextColor(b.dc, RGB(2, 2, 2)), RGB(1, 1, 1));
    EXPECT_EQ(SetBkColor(b.dc, RGB(3, 3, 3)), PAPER);
    EXPECT_EQ(SetBkMode(b.dc, 7), 0); // no such mode
    EXPECT_EQ(SetBkMode(b.dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    HDC fresh = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetTextColor(fresh, 0), RGB(0, 0, 0));     // black text
    EXPECT_EQ(SetBkColor(fresh, 0), RGB(255, 255, 255)); // on white
    EXPECT_EQ(SetBkMode(fresh, OPAQUE), OPAQUE);
    DeleteDC(fresh);
}

} // namespace
