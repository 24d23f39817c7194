// DrawTextW's layout: line breaks, word wrapping, alignment and the DT_CALCRECT bounds.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "windows.h"
#include "gdi/font/font_engine.h"
#include "support/logfont.h"

namespace {

// Every character of this font is exactly 7 pixels wide and its cell 14 high.
FontInstance *mono_font() {
    return font_engine_get(test_logfont(u"courier new", 14, 7));
}

class TextLayout : public ::testing::Test {
protected:
    void TearDown() override { font_engine_shutdown(); }
};

struct Line {
    int start, count, x, y, width;
};

TEST_F(TextLayout, BreaksWrapsAndPlacesLines) {
    const int L = 10, T = 20; // every rectangle starts here and is 30 high
    struct Case {
        const WCHAR *text;
        int width;
        UINT format;
        std::vector<Line> lines;
    } const cases[] = {
        {u"abc def ghi", 49, DT_WORDBREAK, {{0, 7, L, T, 49}, {8, 3, L, T + 14, 21}}},
        {u"abc def ghi",
         48,
         DT_WORDBREAK,
         {{0, 3, L, T, 21}, {4, 3, L, T + 14, 21}, {8, 3, L, T + 28, 21}}},
        // A word wider than the rectangle stands alone on its line.
        {u"a verylongword b",
         35,
         DT_WORDBREAK,
         {{0, 1, L, T, 7}, {2, 12, L, T + 14, 84}, {15, 1, L, T + 28, 7}}},
        // The spaces at a break belong to neither line; leading spaces stay.
        {u"ab   cd", 28, DT_WORDBREAK, {{0, 2, L, T, 14}, {5, 2, L, T + 14, 14}}},
        {u"  ab", 100, DT_WORDBREAK, {{0, 4, L, T, 28}}},
        {u"one two\nthree",
         35,
         DT_WORDBREAK,
         {{0, 3, L, T, 21}, {4, 3, L, T + 14, 21}, {8, 5, L, T + 28, 35}}},
        // CR LF, LF and CR each end a line, with or without word breaking.
        {u"a\r\nb\nc\rd",
         100,
         0,
         {{0, 1, L, T, 7}, {3, 1, L, T + 14, 7}, {5, 1, L, T + 28, 7}, {7, 1, L, T + 42, 7}}},
        {u"a\n\nb", 100, 0, {{0, 1, L, T, 7}, {2, 0, L, T + 14, 0}, {3, 1, L, T + 28, 7}}},
        {u"a\n", 100, DT_WORDBREAK, {{0, 1, L, T, 7}, {2, 0, L, T + 14, 0}}},
        // A single line draws its breaks as nothing.
        {u"ab\r\ncd", 7, DT_SINGLELINE | DT_WORDBREAK, {{0, 6, L, T, 28}}},
        {u"abc", 50, DT_CENTER, {{0, 3, L + 14, T, 21}}},
        {u"abc", 51, DT_CENTER, {{0, 3, L + 15, T, 21}}},
        {u"abc", 50, DT_RIGHT, {{0, 3, L + 29, T, 21}}},
        {u"ab cdef",
         35,
         DT_CENTER | DT_WORDBREAK,
         {{0, 2, L + 10, T, 14}, {3, 4, L + 3, T + 14, 28}}},
        {u"ab", 50, DT_SINGLELINE | DT_VCENTER, {{0, 2, L, T + 8, 14}}},
        {u"ab", 50, DT_SINGLELINE | DT_BOTTOM, {{0, 2, L, T + 16, 14}}},
        // Vertical alignment needs DT_SINGLELINE.
        {u"ab", 50, DT_VCENTER, {{0, 2, L, T, 14}}},
        {u"", 50, DT_WORDBREAK, {}},
    };
    FontInstance *font = mono_font();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " format " << c.format);
        const RECT rect = {L, T, L + c.width, T + 30};
        TextLine lines[8] = {};
        RECT bounds = {};
        int n = text_layout(font, c.text, test_length(c.text), rect, c.format, lines, 8, &bounds);
        ASSERT_EQ(n, (int)c.lines.size());
        int widest = 0;
        for (int k = 0; k < n; ++k) {
            const Line &e = c.lines[k];
            const TextLine &got = lines[k];
            EXPECT_EQ(std::tie(got.start, got.count, got.x, got.y, got.width),
                      std::tie(e.start, e.count, e.x, e.y, e.width))
                << "line " << k;
            widest = e.width > widest ? e.width : widest;
        }
        // DT_CALCRECT keeps the corner and bounds the widest line and every line's height.
        EXPECT_EQ(bounds.left, L);
        EXPECT_EQ(bounds.top, T);
        EXPECT_EQ(bounds.right, L + widest);
        EXPECT_EQ(bounds.bottom, T + 14 * n);
    }
}

TEST_F(TextLayout, CountsLinesBeyondCapacityAndReadsToTerminator) {
    const WCHAR *text = u"a\nb\nc\nd";
    TextLine lines[3];
    lines[2] = TextLine{-1, -1, -1, -1, -1};
    RECT bounds = {};
    int n = text_layout(mono_font(), text, -1, RECT{0, 0, 50, 20}, 0, lines, 2, &bounds);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(lines[1].start, 2);
    EXPECT_EQ(lines[1].y, 14);
    EXPECT_EQ(lines[2].start, -1); // past the capacity nothing is written
    EXPECT_EQ(bounds.bottom, 56);
    // Measuring alone, with no line array.
    EXPECT_EQ(text_layout(mono_font(), text, 3, RECT{0, 0, 50, 20}, 0, nullptr, 0, &bounds), 2);
    EXPECT_EQ(bounds.right, 7);
    EXPECT_EQ(bounds.bottom, 28);
}

} // namespace
