// The read-only multi-line edit control: line layout (CR LF, word wrap) and scrolling by
// WM_VSCROLL. (Its pixels and its scroll bar's range and page: the controls' and the text
// viewer's stored screens.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"
#include "user/edit.h"

namespace {

TEST(EditWrap, LinesBreakAtCrLfAndWrapAtSpaces) {
    const struct {
        std::u16string text;
        int width; // characters are 10 pixels wide
        std::vector<std::pair<size_t, size_t>> lines;
    } cases[] = {
        {u"", 100, {{0, 0}}},
        {u"aaa bbb ccc", 70, {{0, 8}, {8, 3}}}, // the space stays at the end
        {u"aa   bb", 40, {{0, 5}, {5, 2}}},
        {u"\r\n\r\n", 100, {{0, 0}, {2, 0}, {4, 0}}},
        {u"a\nb", 100, {{0, 3}}}, // a lone line feed does not break
        {u"abcdefghij", 35, {{0, 3}, {3, 3}, {6, 3}, {9, 1}}},
        {u"ab", 5, {{0, 1}, {1, 1}}}, // one character a line at least
        {u"aa bb\r\ncc", 30, {{0, 3}, {3, 2}, {7, 2}}},
    };
    EditMeasure measure = [](const WCHAR *, int count) { return 10 * count; };
    for (const auto &c : cases) {
        std::vector<std::pair<size_t, size_t>> got;
        for (const EditLine &l : edit_wrap(c.text, c.width, measure))
            got.emplace_back(l.start, l.length);
        EXPECT_EQ(got, c.lines) << c.width;
    }
}

// An edit control as the text viewer makes it: ten lines of the 24-pixel bold "courier new" in
// view, thirty numbered lines and the empty one after the last CR LF.
TEST(Edit, WmVScrollMovesByLinesAndPages) {
    const struct {
        std::vector<std::pair<WORD, WORD>> requests;
        int top;
    } cases[] = {
        {{{SB_LINEUP, 0}}, 0},
        {{{SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}}, 21}, // the last full page
        {{{SB_BOTTOM, 0}, {SB_PAGEUP, 0}}, 11},
        {{{SB_BOTTOM, 0}, {SB_TOP, 0}}, 0},
        {{{SB_THUMBTRACK, 7}}, 7},
        {{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}, 1},
    };
    MessageLog log;
    HWND parent = log.create("parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, u"edit", u"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 10,
                                10, 300, 244, parent, HMENU(201), nullptr, nullptr);
    HFONT font = CreateFontW(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    SendMessageW(edit, WM_SETFONT, WPARAM(font), 0);
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"Line " + std::u16string(1, char16_t(u'A' + i)) + u"\r\n";
    for (const auto &c : cases) {
        SetWindowTextW(edit, text.c_str()); // new text starts at the top
        for (const auto &r : c.requests)
            SendMessageW(edit, WM_VSCROLL, MAKEWPARAM(r.first, r.second), 0);
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, -1, 0};
        EXPECT_TRUE(GetScrollInfo(edit, SB_VERT, &si));
        EXPECT_EQ(si.nPos, c.top) << c.requests.size() << " " << c.requests[0].first;
    }
    DeleteObject(font);
}

} // namespace
