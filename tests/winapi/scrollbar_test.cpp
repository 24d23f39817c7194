// The window scroll bar: SetScrollInfo's clamping and showing, the requests that touches on its
// parts send; the read-only edit control's line breaks. (Their pixels, a held arrow's included:
// the stored window_parts screen; the edit control scrolled by its bar and keys, and the repeat
// of a held arrow or trough: the module's text viewer and the layer_held_scroll_parts flow.)
#include <gtest/gtest.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"
#include "user/edit.h"

namespace {

// A 100 x 200 window at (100, 100) with the bar along its right side: x 184 to 199. The range is
// 0 to 100 without a page, at position 50: a square thumb at y 192 to 207, arrows of 16.
class ScrollBar : public ::testing::Test {
protected:
    void SetUp() override {
        if (w) DestroyWindow(w);
        w = log.create("w", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 100, 200);
        set(SIF_POS, 0, 0, 0, 50);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        pump_pending();
        log.clear();
    }
    int set(UINT mask, int min, int max, UINT page, int pos) {
        SCROLLINFO si{sizeof si, mask, min, max, page, pos, 0};
        return SetScrollInfo(w, SB_VERT, &si, TRUE);
    }
    std::vector<int> get() {
        SCROLLINFO si{sizeof si, SIF_ALL, -1, -1, 99, -1, -1};
        EXPECT_TRUE(GetScrollInfo(w, SB_VERT, &si));
        return {si.nMin, si.nMax, int(si.nPage), si.nPos};
    }
    // Runs a message loop until a step posts WM_QUIT.
    void loop(std::vector<UiStep> steps) {
        steps.push_back(ui::check([] { PostMessageW(nullptr, WM_QUIT, 0, 0); }, "quit"));
        UiDriver ui;
        ui.run(
            [] {
                MSG m;
                while (GetMessageW(&m, nullptr, 0, 0))
                    DispatchMessageW(&m);
                return INT_PTR(0);
            },
            steps);
    }
    MessageLog log;
    HWND w = nullptr;
};

TEST_F(ScrollBar, SetScrollInfoHoldsPageAndPositionInRange) {
    const UINT RP = SIF_RANGE | SIF_POS, ALL = SIF_RANGE | SIF_PAGE | SIF_POS,
               KEEP = SIF_DISABLENOSCROLL;
    const struct {
        UINT mask;
        int min, max, page, pos;
        std::vector<int> want; // min, max, page, position
        bool shown;
    } cases[] = {
        {ALL, 0, 100, 10, 150, {0, 100, 10, 91}, true}, // the page lowers the top
        {RP, -50, -10, 0, -60, {-50, -10, 0, -50}, true},
        {ALL | KEEP, 0, 100, 500, 7, {0, 100, 101, 0}, true},
        {RP | KEEP, 5, 3, 0, 4, {0, 0, 0, 0}, true}, // a reversed range becomes zero
        {RP, 0, 0, 0, 0, {0, 0, 0, 0}, false},       // nothing to scroll: hidden
    };
    for (const auto &c : cases) {
        SetUp();
        EXPECT_EQ(set(c.mask, c.min, c.max, UINT(c.page), c.pos), c.want[3]) << c.min;
        EXPECT_EQ(get(), c.want) << c.min;
        RECT client;
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, c.shown ? 84 : 100) << c.min;
    }
    log.take();
    set(SIF_RANGE, 0, 10, 0, 0); // a hidden bar comes back
    EXPECT_EQ(log.take(), (Lines{"w WM_SIZE 84x200"}));
}

// An arrow let go off it sends its one request; the thumb dragged past either end asks for the
// range's ends. (Page requests and a drag within the bar: the text_box_scroll_bar flow.)
TEST_F(ScrollBar, TouchesOnItsPartsSendTheirRequests) {
    const std::string end = "w WM_VSCROLL SB_ENDSCROLL", lost = "w WM_CAPTURECHANGED ->0";
    const struct {
        std::vector<POINT> path; // press, moves, release
        Lines lines;             // after WM_NCLBUTTONDOWN
    } cases[] = {
        {{{190, 105}, {50, 50}, {50, 50}}, {"w WM_VSCROLL SB_LINEUP", lost, end}},
        {{{190, 200}, {150, 20}, {190, 900}, {190, 900}},
         {"w WM_VSCROLL SB_THUMBTRACK 0", "w WM_VSCROLL SB_THUMBTRACK 100", lost,
          "w WM_VSCROLL SB_THUMBPOSITION 100", end}},
    };
    for (const auto &c : cases) {
        wl_input_press(c.path.front().x, c.path.front().y);
        for (size_t i = 1; i + 1 < c.path.size(); ++i)
            wl_input_move(c.path[i].x, c.path[i].y);
        wl_input_release(c.path.back().x, c.path.back().y);
        pump_pending();
        Lines want = {"w WM_NCLBUTTONDOWN hit7"};
        want.insert(want.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(log.take(), want);
        EXPECT_EQ(get()[3], 50); // the bar asks; only the window procedure moves the position
    }
    // A disabled bar sends no requests.
    set(SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0);
    wl_input_press(190, 105), wl_input_release(190, 105);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_NCLBUTTONDOWN hit7", "w WM_NCLBUTTONUP hit7"}));
}

// A drag whose touch is taken away ends without setting the thumb's position. 38 pixels down:
// the thumb's top 114 pixels into the 152 it can travel, 75 of 100.
TEST_F(ScrollBar, ADragLosingTheCaptureSetsNoPosition) {
    loop({ui::press(190, 200), ui::move(190, 238), ui::check([this] {
              ReleaseCapture();
              PostMessageW(w, WM_NULL, 0, 0); // the bar's loop looks at the capture again
          })});
    EXPECT_EQ(log.take(),
              (Lines{"w WM_NCLBUTTONDOWN hit7", "w WM_VSCROLL SB_THUMBTRACK 75",
                     "w WM_CAPTURECHANGED ->0", "w WM_NULL", "w WM_VSCROLL SB_ENDSCROLL"}));
}

// Lines break at CR LF and wrap after the spaces that follow a word; a word wider than the line
// is cut, one character a line at least.
TEST(EditWrap, LinesBreakAtCrLfAndWrapAtSpaces) {
    const struct {
        std::u16string text;
        int width; // characters are 10 pixels wide
        std::vector<std::pair<size_t, size_t>> lines;
    } cases[] = {
        {u"", 100, {{0, 0}}},
        {u"aaa bbb ccc", 70, {{0, 8}, {8, 3}}},
        {u"aa   bb", 40, {{0, 5}, {5, 2}}},
        {u"\r\n\r\n", 100, {{0, 0}, {2, 0}, {4, 0}}},
        {u"a\nb", 100, {{0, 3}}}, // a lone line feed does not break
        {u"abcdefghij", 35, {{0, 3}, {3, 3}, {6, 3}, {9, 1}}},
        {u"ab", 5, {{0, 1}, {1, 1}}},
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

} // namespace
