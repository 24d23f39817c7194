// The window scroll bar: SetScrollInfo's clamping and showing, the requests that touches on its
// parts send, the repeat of a held arrow or trough on the virtual clock, and its pixels.
#include <gtest/gtest.h>

#include <limits.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3);
const std::vector<std::pair<COLORREF, char>> LEGEND = {
    {SENTINEL, '.'},           {RGB(0, 0, 0), 'K'},       {RGB(255, 255, 255), 'W'},
    {RGB(192, 192, 192), 'g'}, {RGB(128, 128, 128), 'd'}, {RGB(63, 63, 63), 'i'}};

// A 100 x 200 window at (100, 100) with the bar along its right side: x 184 to 199. The range is
// 0 to 100 without a page, at position 50: a square thumb at y 192 to 207, arrows of 16.
class ScrollBar : public ::testing::Test {
protected:
    void SetUp() override {
        wl_screen_set_background(SENTINEL);
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
    SCROLLINFO get() {
        SCROLLINFO si{sizeof si, SIF_ALL, -1, -1, 99, -1, -1};
        EXPECT_TRUE(GetScrollInfo(w, SB_VERT, &si));
        return si;
    }
    MessageLog log;
    HWND w = nullptr;
};

struct ClampCase {
    const char *name;
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int want_min, want_max;
    UINT want_page;
    int want_pos;
    bool shown;
};

TEST_F(ScrollBar, SetScrollInfoHoldsPageAndPositionInRange) {
    const UINT RP = SIF_RANGE | SIF_POS, ALL = SIF_RANGE | SIF_PAGE | SIF_POS;
    const ClampCase cases[] = {
        {"PositionAboveMax", RP, 0, 100, 0, 150, 0, 100, 0, 100, true},
        {"PageLowersTheTop", ALL, 0, 100, 10, 150, 0, 100, 10, 91, true},
        {"PageOnlyClampsTheOldPosition", SIF_PAGE, 0, 0, 20, 0, 0, 100, 20, 50, true},
        {"BelowMin", RP, 10, 20, 0, 3, 10, 20, 0, 10, true},
        {"NegativeRange", RP, -50, -10, 0, -60, -50, -10, 0, -50, true},
        {"PageWiderThanRange", ALL | SIF_DISABLENOSCROLL, 0, 100, 500, 7, 0, 100, 101, 0, true},
        {"ReversedRangeBecomesZero", RP | SIF_DISABLENOSCROLL, 5, 3, 0, 4, 0, 0, 0, 0, true},
        {"TooWideRangeBecomesZero", RP | SIF_DISABLENOSCROLL, INT_MIN, INT_MAX, 0, 9, 0, 0, 0, 0,
         true},
        {"NothingToScrollHides", RP, 0, 0, 0, 0, 0, 0, 0, 0, false},
    };
    for (const ClampCase &c : cases) {
        SetUp();
        SCROLLINFO si{sizeof si, c.mask, c.min, c.max, c.page, c.pos, 0};
        EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), c.want_pos) << c.name;
        SCROLLINFO got = get();
        EXPECT_EQ(std::vector<int>({got.nMin, got.nMax, int(got.nPage), got.nPos}),
                  std::vector<int>({c.want_min, c.want_max, int(c.want_page), c.want_pos}))
            << c.name;
        RECT client;
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, c.shown ? 84 : 100) << c.name;
    }
}

TEST_F(ScrollBar, AHiddenBarComesBackWhenThereIsSomethingToScroll) {
    set(SIF_RANGE, 0, 0, 0, 0);
    log.take();
    set(SIF_RANGE, 0, 10, 0, 0);
    EXPECT_EQ(log.take(), (Lines{"w WM_SIZE 84x200"}));
    SCROLLINFO bad{sizeof bad, 0x100, 0, 0, 0, 0, 0};
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &bad, TRUE), 0);
    EXPECT_EQ(get().nMax, 10);
}

struct TapCase {
    const char *name;
    std::vector<POINT> path; // press, moves, release
    Lines lines;             // after WM_NCLBUTTONDOWN
};

TEST_F(ScrollBar, TouchesOnItsPartsSendTheirRequests) {
    const Lines end = {"w WM_CAPTURECHANGED ->0", "w WM_VSCROLL SB_ENDSCROLL"};
    auto with_end = [&](Lines l) {
        l.insert(l.end(), end.begin(), end.end());
        return l;
    };
    const TapCase cases[] = {
        {"UpArrow", {{190, 105}, {190, 105}}, with_end({"w WM_VSCROLL SB_LINEUP"})},
        {"DownArrow", {{190, 295}, {190, 295}}, with_end({"w WM_VSCROLL SB_LINEDOWN"})},
        {"TroughAbove", {{190, 150}, {190, 150}}, with_end({"w WM_VSCROLL SB_PAGEUP"})},
        {"TroughBelow", {{190, 250}, {190, 250}}, with_end({"w WM_VSCROLL SB_PAGEDOWN"})},
        {"ArrowLeftBeforeRelease",
         {{190, 105}, {50, 50}, {50, 50}},
         with_end({"w WM_VSCROLL SB_LINEUP"})},
        {"ThumbTapped",
         {{190, 200}, {190, 200}},
         {"w WM_CAPTURECHANGED ->0", "w WM_VSCROLL SB_THUMBPOSITION 50", end[1]}},
        // 38 pixels down: the thumb's top 114 pixels into the 152 it can travel, 75 of 100.
        {"ThumbDragged",
         {{190, 200}, {190, 238}, {190, 238}},
         {"w WM_VSCROLL SB_THUMBTRACK 75", "w WM_CAPTURECHANGED ->0",
          "w WM_VSCROLL SB_THUMBPOSITION 75", end[1]}},
        {"ThumbDraggedPastTheEnd",
         {{190, 200}, {150, 20}, {190, 900}, {190, 900}},
         {"w WM_VSCROLL SB_THUMBTRACK 0", "w WM_VSCROLL SB_THUMBTRACK 100",
          "w WM_CAPTURECHANGED ->0", "w WM_VSCROLL SB_THUMBPOSITION 100", end[1]}},
    };
    for (const TapCase &c : cases) {
        wl_input_press(c.path.front().x, c.path.front().y);
        for (size_t i = 1; i + 1 < c.path.size(); ++i)
            wl_input_move(c.path[i].x, c.path[i].y);
        wl_input_release(c.path.back().x, c.path.back().y);
        pump_pending();
        Lines want = {"w WM_NCLBUTTONDOWN hit7"};
        want.insert(want.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(log.take(), want) << c.name;
        // The bar asks; only the window procedure moves the position.
        EXPECT_EQ(get().nPos, 50) << c.name;
    }
}

TEST_F(ScrollBar, ADisabledBarAndTheClientAreaSendNoRequests) {
    set(SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0);
    log.take();
    for (POINT p : {POINT{190, 105}, POINT{190, 200}, POINT{150, 150}}) {
        wl_input_press(p.x, p.y);
        wl_input_release(p.x, p.y);
    }
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_NCLBUTTONDOWN hit7", "w WM_NCLBUTTONUP hit7",
                                 "w WM_NCLBUTTONDOWN hit7", "w WM_NCLBUTTONUP hit7",
                                 "w WM_LBUTTONDOWN 50,50 down", "w WM_LBUTTONUP 50,50"}));
}

int count(const Lines &lines, const std::string &line) {
    return int(std::count(lines.begin(), lines.end(), line));
}

// Runs a message loop until a step posts WM_QUIT.
INT_PTR loop() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0))
        DispatchMessageW(&m);
    return 0;
}

UiStep quit() {
    return ui::check([] { PostMessageW(nullptr, WM_QUIT, 0, 0); }, "quit");
}

// A held arrow repeats after 200 ms, then every 50 ms, while the touch stays on it; it is drawn
// pushed (a flat shadow frame, the triangle a pixel lower) only then.
TEST_F(ScrollBar, AHeldArrowRepeatsOnTheClock) {
    const std::string down = "w WM_VSCROLL SB_LINEDOWN";
    auto expect = [&](int n, const char *corner) {
        return ui::check([=] {
            EXPECT_EQ(count(log.take(), down), n);
            EXPECT_EQ(ui_picture(RECT{184, 285, 186, 286}, LEGEND), corner);
        });
    };
    UiDriver ui;
    ui.run(loop,
           {ui::press(190, 295), expect(1, "dg"), ui::advance(199), expect(0, "dg"), ui::advance(1),
            expect(1, "dg"), ui::advance(50), expect(1, "dg"), ui::advance(100), expect(2, "dg"),
            ui::move(150, 295), ui::advance(200), expect(0, "gW"), ui::move(190, 290),
            ui::advance(50), expect(1, "dg"), ui::release(190, 290), expect(0, "gW"), quit()});
}

// The trough pages until the thumb, moved by the window procedure, comes under the touch.
TEST_F(ScrollBar, AHeldTroughStopsWhenTheThumbReachesTheTouch) {
    log.handle("w", [this](HWND, UINT m, WPARAM wp, LPARAM, LRESULT *) {
        if (m == WM_VSCROLL && LOWORD(wp) == SB_PAGEDOWN) set(SIF_POS, 0, 0, 0, get().nPos + 10);
        return false;
    });
    UiDriver ui;
    // Positions 60, 70, 80: the thumb's top goes to 207, 222, 238; at 80 it covers y 250.
    ui.run(loop, {ui::press(190, 250), ui::advance(1000), ui::check([&] {
                      EXPECT_EQ(count(log.take(), "w WM_VSCROLL SB_PAGEDOWN"), 3);
                      EXPECT_EQ(get().nPos, 80);
                  }),
                  ui::release(190, 250), quit()});
}

// Every pixel of a 16 x 48 bar on the sentinel: the raised arrows with their triangles, the
// trough's checkerboard, and an 8-pixel thumb (page 2 of 4) at position 1 of 0 to 2.
TEST_F(ScrollBar, PixelsOfTheBar) {
    HWND bar = log.create("bar", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 10, 10, 16, 48);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 3, 2, 1, 0};
    SetScrollInfo(bar, SB_VERT, &si, TRUE);
    pump_pending();
    const std::string arrow_edge_top = "gggggggggggggggK", arrow_white = "gWWWWWWWWWWWWWdK",
                      face = "gWggggggggggggdK", shadow = "gddddddddddddddK",
                      black = "KKKKKKKKKKKKKKKK", even = "WgWgWgWgWgWgWgWg",
                      odd = "gWgWgWgWgWgWgWgW";
    std::vector<std::string> rows = {arrow_edge_top,
                                     arrow_white,
                                     face,
                                     face,
                                     face,
                                     face,
                                     "gWgggggKggggggdK",
                                     "gWggggKKKgggggdK",
                                     "gWgggKKKKKggggdK",
                                     "gWggKKKKKKKgggdK",
                                     face,
                                     face,
                                     face,
                                     face,
                                     shadow,
                                     black,
                                     even,
                                     odd,
                                     even,
                                     odd, // trough above the thumb
                                     arrow_edge_top,
                                     arrow_white,
                                     face,
                                     face,
                                     face,
                                     face,
                                     shadow,
                                     black,
                                     even,
                                     odd,
                                     even,
                                     odd, // trough below
                                     arrow_edge_top,
                                     arrow_white,
                                     face,
                                     face,
                                     face,
                                     face,
                                     "gWggKKKKKKKgggdK",
                                     "gWgggKKKKKggggdK",
                                     "gWggggKKKgggggdK",
                                     "gWgggggKggggggdK",
                                     face,
                                     face,
                                     face,
                                     face,
                                     shadow,
                                     black};
    for (std::string &r : rows)
        r = "." + r + ".";
    std::string frame(18, '.');
    rows.insert(rows.begin(), frame);
    rows.push_back(frame);
    EXPECT_EQ(ui_picture(RECT{9, 9, 27, 59}, LEGEND), picture_rows(rows));
}

// Nothing to scroll with SIF_DISABLENOSCROLL: no thumb, the triangles embossed in shadow over
// white.
TEST_F(ScrollBar, PixelsOfADisabledBar) {
    HWND bar = log.create("bar", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 10, 10, 16, 40);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    SetScrollInfo(bar, SB_VERT, &si, TRUE);
    pump_pending();
    EXPECT_EQ(ui_picture(RECT{10, 16, 26, 28}, LEGEND),
              picture_rows({"gWgggggdggggggdK", "gWggggdddgggggdK", "gWgggdddddggggdK",
                            "gWggdddddddgggdK", "gWgggWWWWWWWggdK", "gWggggggggggggdK",
                            "gWggggggggggggdK", "gWggggggggggggdK", "gddddddddddddddK",
                            "KKKKKKKKKKKKKKKK", "WgWgWgWgWgWgWgWg", "gWgWgWgWgWgWgWgW"}));
}

} // namespace
