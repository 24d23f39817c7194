// The read-only multi-line edit control: line layout (CR LF, word wrap), scrolling by WM_VSCROLL
// with its scroll bar's range and page, the background and colours from WM_CTLCOLORSTATIC, and
// its frame and bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <wlgdi.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"
#include "gdi/raster/surface.h"
#include "user/edit.h"

namespace {

struct WrapCase {
    const char *name;
    std::u16string text;
    int width; // characters are 10 pixels wide
    std::vector<std::pair<size_t, size_t>> lines;
};

TEST(EditWrap, LinesBreakAtCrLfAndWrapAtSpaces) {
    const WrapCase cases[] = {
        {"Empty", u"", 100, {{0, 0}}},
        {"Fits", u"abc", 100, {{0, 3}}},
        {"SpaceStaysAtTheEnd", u"aaa bbb ccc", 70, {{0, 8}, {8, 3}}},
        {"WordPerLine", u"aaa bbb ccc", 60, {{0, 4}, {4, 4}, {8, 3}}},
        {"ExactFit", u"aaaa bbbb", 40, {{0, 5}, {5, 4}}},
        {"RunOfSpaces", u"aa   bb", 40, {{0, 5}, {5, 2}}},
        {"CrLf", u"a\r\nb", 100, {{0, 1}, {3, 1}}},
        {"TrailingCrLfGivesAnEmptyLine", u"a\r\n", 100, {{0, 1}, {3, 0}}},
        {"EmptyLines", u"\r\n\r\n", 100, {{0, 0}, {2, 0}, {4, 0}}},
        {"LoneLineFeedDoesNotBreak", u"a\nb", 100, {{0, 3}}},
        {"LongWordBreaksWhereItMust", u"abcdefghij", 35, {{0, 3}, {3, 3}, {6, 3}, {9, 1}}},
        {"OneCharacterAtLeast", u"ab", 5, {{0, 1}, {1, 1}}},
        {"WrapThenCrLf", u"aa bb\r\ncc", 30, {{0, 3}, {3, 2}, {7, 2}}},
    };
    EditMeasure measure = [](const WCHAR *, int count) { return 10 * count; };
    for (const WrapCase &c : cases) {
        std::vector<std::pair<size_t, size_t>> got;
        for (const EditLine &l : edit_wrap(c.text, c.width, measure))
            got.emplace_back(l.start, l.length);
        EXPECT_EQ(got, c.lines) << c.name;
    }
}

const COLORREF RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255), YELLOW = RGB(255, 255, 0);
const COLORREF FACE = RGB(192, 192, 192), BLACK = RGB(0, 0, 0);

// An edit control as the text viewer makes it, 300 x 244 at (10, 10) in a parent at (0, 0):
// its client area is 280 x 240, ten lines of the 24-pixel bold "courier new" (13 pixels a
// character). The parent answers WM_CTLCOLORSTATIC with `brush` and `text`/`back` colours.
class Edit : public ::testing::Test {
protected:
    void SetUp() override {
        log.handle("parent", [this](HWND, UINT m, WPARAM wp, LPARAM, LRESULT *r) {
            if (m != WM_CTLCOLORSTATIC || !brush) return false;
            SetTextColor(HDC(wp), text);
            SetBkColor(HDC(wp), back);
            *r = LRESULT(brush);
            return true;
        });
        parent = log.create("parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, u"edit", u"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 10,
                               10, 300, 244, parent, HMENU(201), nullptr, nullptr);
        font = CreateFontW(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
        SendMessageW(edit, WM_SETFONT, WPARAM(font), 0);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
    }
    void TearDown() override {
        if (brush) DeleteObject(brush);
        DestroyWindow(parent);
        DeleteObject(font);
    }
    SCROLLINFO info() {
        SCROLLINFO si{sizeof si, SIF_ALL, -1, -1, 0, -1, 0};
        EXPECT_TRUE(GetScrollInfo(edit, SB_VERT, &si));
        return si;
    }
    void scroll(WORD code, WORD pos = 0) {
        SendMessageW(edit, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    }
    // Thirty numbered lines and the empty one after the last CR LF.
    void numbered_lines() {
        std::u16string t;
        for (int i = 0; i < 30; ++i)
            t += u"Line " + std::u16string(1, char16_t(u'A' + i)) + u"\r\n";
        SetWindowTextW(edit, t.c_str());
    }
    MessageLog log;
    HWND parent = nullptr, edit = nullptr;
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    COLORREF text = BLUE, back = YELLOW;
};

TEST_F(Edit, TheScrollBarCountsLinesAndPages) {
    numbered_lines();
    SCROLLINFO si = info();
    EXPECT_EQ(std::vector<int>({si.nMin, si.nMax, int(si.nPage), si.nPos}),
              std::vector<int>({0, 30, 10, 0}));
    // 276 pixels between the margins take 21 characters; one more wraps.
    SetWindowTextW(edit, std::u16string(21, u'x').c_str());
    EXPECT_EQ(info().nMax, 0);
    SetWindowTextW(edit, std::u16string(22, u'x').c_str());
    EXPECT_EQ(info().nMax, 1);
    // Narrower by four characters: the same text needs another line.
    SetWindowTextW(edit, std::u16string(40, u'x').c_str());
    EXPECT_EQ(info().nMax, 1);
    MoveWindow(edit, 10, 10, 248, 244, TRUE);
    EXPECT_EQ(info().nMax, 2);
}

struct ScrollCase {
    const char *name;
    std::vector<std::pair<WORD, WORD>> requests;
    int top;
};

TEST_F(Edit, WmVScrollMovesByLinesAndPages) {
    const ScrollCase cases[] = {
        {"LineDown", {{SB_LINEDOWN, 0}}, 1},
        {"LineUpAtTheTop", {{SB_LINEUP, 0}}, 0},
        {"PageDown", {{SB_PAGEDOWN, 0}}, 10},
        {"HeldToTheLastFullPage", {{SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}}, 21},
        {"PageUpFromTheBottom", {{SB_BOTTOM, 0}, {SB_PAGEUP, 0}}, 11},
        {"Top", {{SB_BOTTOM, 0}, {SB_TOP, 0}}, 0},
        {"ThumbTrack", {{SB_THUMBTRACK, 7}}, 7},
        {"ThumbPositionPastTheEnd", {{SB_THUMBPOSITION, 30}}, 21},
        {"EndScrollChangesNothing", {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}, 1},
    };
    for (const ScrollCase &c : cases) {
        numbered_lines(); // new text starts at the top
        for (const auto &r : c.requests)
            scroll(r.first, r.second);
        EXPECT_EQ(info().nPos, c.top) << c.name;
    }
}

// The pixels of the edit's client area in the rows of its nth visible line.
std::vector<uint32_t> line_pixels(int n) {
    const uint32_t *p = wl_screen_pixels();
    std::vector<uint32_t> out;
    for (int y = 12 + 24 * n; y < 36 + 24 * n; ++y)
        out.insert(out.end(), p + y * WL_SCREEN_WIDTH + 12, p + y * WL_SCREEN_WIDTH + 292);
    return out;
}

TEST_F(Edit, ScrollingShowsTheNextLineAtTheTop) {
    numbered_lines();
    pump_pending();
    std::vector<uint32_t> first = line_pixels(0), second = line_pixels(1);
    EXPECT_NE(first, second);
    scroll(SB_LINEDOWN);
    pump_pending();
    EXPECT_EQ(line_pixels(0), second);
}

struct ColourCase {
    const char *name;
    COLORREF brush; // CLR_INVALID: the parent gives none
    COLORREF background, text, text_back;
};

// The edit asks its parent with WM_CTLCOLORSTATIC and paints on the brush it gets, in the
// colours the parent set; a parent that answers 0 leaves it to the default: black on the face
// colour.
TEST_F(Edit, BackgroundAndColoursComeFromWmCtlColorStatic) {
    const ColourCase cases[] = {
        {"ParentsBrush", RED, RED, BLUE, YELLOW},
        {"Default", CLR_INVALID, FACE, BLACK, FACE},
    };
    for (const ColourCase &c : cases) {
        if (brush) DeleteObject(brush);
        brush = c.brush == CLR_INVALID ? nullptr : CreateSolidBrush(c.brush);
        SetWindowTextW(edit, u"WWW");
        log.clear();
        pump_pending();
        Lines lines = log.take();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "parent WM_CTLCOLORSTATIC"), lines.end())
            << c.name;
        // Below the line, and right of its three characters: the brush.
        EXPECT_EQ(ui_pixel(20, 200), c.background) << c.name;
        EXPECT_EQ(ui_pixel(200, 20), c.background) << c.name;
        int glyph = 0, cell = 0, other = 0;
        const uint32_t *screen = wl_screen_pixels();
        for (int y = 12; y < 36; ++y) {
            for (int x = 14; x < 53; ++x) {
                COLORREF p = colorref_from_pixel(screen[y * WL_SCREEN_WIDTH + x]);
                (p == c.text ? glyph : p == c.text_back ? cell : other)++;
            }
        }
        EXPECT_GT(glyph, 50) << c.name;
        EXPECT_GT(cell, 400) << c.name;
        EXPECT_LT(other, 250) << c.name;
    }
}

// The top right corner: the sunken client edge (shadow and black inside white and light) around
// the client area's brush and the scroll bar's up arrow. The text's cell starts two pixels into
// the client area.
TEST_F(Edit, FrameAndBarLieInsideTheClientEdge) {
    brush = CreateSolidBrush(RED);
    SetWindowTextW(edit, u"W");
    pump_pending();
    std::vector<std::pair<COLORREF, char>> legend = {{RED, 'r'},
                                                     {BLACK, 'K'},
                                                     {RGB(255, 255, 255), 'W'},
                                                     {FACE, 'g'},
                                                     {RGB(128, 128, 128), 'd'},
                                                     {YELLOW, 'y'}};
    EXPECT_EQ(ui_picture(RECT{12, 12, 16, 13}, legend), "rryy");
    EXPECT_EQ(ui_picture(RECT{290, 10, 310, 14}, legend),
              picture_rows({"dddddddddddddddddddW", "KKKKKKKKKKKKKKKKKKgW", "rrgggggggggggggggKgW",
                            "rrgWWWWWWWWWWWWWdKgW"}));
    EXPECT_EQ(ui_picture(RECT{10, 251, 14, 254}, legend), picture_rows({"dKrr", "dggg", "WWWW"}));
}

} // namespace
