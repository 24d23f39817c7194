// Painting: invalidation coalesced into one WM_PAINT, parents before children, the clip of
// BeginPaint, hidden windows; the composed screen: pictures kept across moves and restacking,
// drawing in place clipped by the parents and by the windows above, frames presented when
// changed. (The frames and the class brush: the stored window_parts screen; window DCs left
// behind: the module's runs that leave nothing behind.)
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"

namespace {

const COLORREF SENTINEL = RGB(1, 2, 3), RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0),
               BLUE = RGB(0, 0, 255);

void fill(HDC dc, COLORREF colour) {
    HBRUSH b = CreateSolidBrush(colour);
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, b);
    DeleteObject(b);
}

void fill_in_place(HWND hwnd, COLORREF colour) {
    HDC dc = GetDC(hwnd);
    fill(dc, colour);
    ReleaseDC(hwnd, dc);
}

// "w" paints with BeginPaint, keeping what it was given, and fills all it can with `colour`.
class Paint : public ::testing::Test {
protected:
    void SetUp() override {
        log.handle("w", [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            painted = {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
            erase = ps.fErase;
            HBRUSH b = CreateSolidBrush(colour);
            RECT all{-1000, -1000, 1000, 1000};
            FillRect(ps.hdc, &all, b);
            DeleteObject(b);
            EndPaint(h, &ps);
            return *r = 0, true;
        });
        w = log.create("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60);
        pump_pending();
        log.clear();
    }
    Lines invalidate(HWND hwnd, std::vector<RECT> rects, BOOL erase_it = FALSE) {
        for (const RECT &r : rects)
            InvalidateRect(hwnd, &r, erase_it);
        pump_pending();
        return log.take();
    }
    MessageLog log;
    HWND w = nullptr;
    std::vector<LONG> painted;
    BOOL erase = FALSE;
    COLORREF colour = BLUE;
};

TEST_F(Paint, InvalidationIsCoalescedIntoOnePaintClippedToIt) {
    EXPECT_EQ(invalidate(w, {{10, 10, 20, 20}, {30, 5, 40, 15}}, TRUE),
              (Lines{"w WM_PAINT", "w WM_ERASEBKGND"}));
    EXPECT_EQ(painted, (std::vector<LONG>{10, 5, 40, 20}));
    EXPECT_TRUE(erase); // the class has no brush: BeginPaint says the background is not erased
    colour = RED;
    EXPECT_EQ(invalidate(w, {{2, 1, 5, 3}}), (Lines{"w WM_PAINT"}));
    EXPECT_FALSE(erase);
    EXPECT_EQ(invalidate(w, {}), Lines{});
    // The fill of everything reached only the rectangle's pixels.
    EXPECT_EQ((std::vector<COLORREF>{ui_pixel(1, 1), ui_pixel(2, 1), ui_pixel(4, 2), ui_pixel(5, 2),
                                     ui_pixel(4, 3)}),
              (std::vector<COLORREF>{BLUE, RED, RED, BLUE, BLUE}));
}

TEST_F(Paint, ParentsPaintBeforeChildrenUnderTheRectangle) {
    log.create("a", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, w);
    log.create("b", WS_CHILD | WS_VISIBLE, 50, 10, 20, 20, w); // later, so above a
    log.ignore({WM_ERASEBKGND});
    pump_pending();
    log.clear();
    EXPECT_EQ(invalidate(w, {{0, 0, 15, 15}}), (Lines{"w WM_PAINT", "a WM_PAINT"}));
    EXPECT_EQ(invalidate(w, {{0, 0, 100, 60}}), (Lines{"w WM_PAINT", "a WM_PAINT", "b WM_PAINT"}));
    // Painting now, before returning.
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "a WM_PAINT", "b WM_PAINT"}));
}

TEST_F(Paint, HiddenWindowsGetNoPaintUntilShown) {
    HWND c = log.create("c", WS_CHILD, 10, 10, 20, 20, w);
    pump_pending();
    log.clear();
    EXPECT_EQ(invalidate(c, {{0, 0, 20, 20}}, TRUE), Lines{});
    ShowWindow(c, SW_SHOW);
    EXPECT_EQ(invalidate(c, {}), (Lines{"c WM_SHOWWINDOW 1", "c WM_PAINT", "c WM_ERASEBKGND"}));
    // Hiding it again has the parent paint what it covered.
    ShowWindow(c, SW_HIDE);
    EXPECT_EQ(invalidate(c, {}), (Lines{"c WM_SHOWWINDOW 0", "w WM_PAINT", "w WM_ERASEBKGND"}));
    EXPECT_EQ(painted, (std::vector<LONG>{10, 10, 30, 30}));
}

// Windows that paint themselves in one colour each, on the sentinel.
class Screen : public ::testing::Test {
protected:
    void SetUp() override { wl_screen_set_background(SENTINEL); }
    HWND painted(const std::string &name, COLORREF colour, int x, int y, int w, int h,
                 HWND parent = nullptr) {
        log.handle(name, [colour](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT *r) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            fill(BeginPaint(hwnd, &ps), colour);
            EndPaint(hwnd, &ps);
            return *r = 0, true;
        });
        return log.create(name, (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, x, y, w, h, parent);
    }
    std::string picture(int w, int h) {
        return ui_picture(RECT{0, 0, w, h},
                          {{SENTINEL, '.'}, {RED, 'r'}, {BLUE, 'b'}, {GREEN, 'g'}, {0, 'k'}});
    }
    MessageLog log;
};

TEST_F(Screen, WindowsKeepTheirPicturesWhenRestackedMovedAndHidden) {
    HWND a = painted("a", RED, 1, 1, 4, 3);
    painted("b", BLUE, 3, 2, 4, 3);
    pump_pending();
    log.clear();
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pump_pending();
    EXPECT_EQ(picture(8, 6), picture_rows({"........", ".rrrr...", ".rrrrbb.", ".rrrrbb.",
                                           "...bbbb.", "........"}));
    MoveWindow(a, 2, 3, 4, 3, TRUE); // moved, not resized
    pump_pending();
    EXPECT_EQ(picture(8, 6), picture_rows({"........", "........", "...bbbb.", "..rrrrb.",
                                           "..rrrrb.", "..rrrr.."}));
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(picture(8, 6), picture_rows({"........", "........", "...bbbb.", "...bbbb.",
                                           "...bbbb.", "........"}));
    // No repaint on the way.
    EXPECT_EQ(log.take(), (Lines{"a WM_MOVE 2,3", "a WM_SHOWWINDOW 0"}));
}

TEST_F(Screen, DrawingInPlaceIsClippedByTheParentAndTheWindowsAbove) {
    HWND parent = painted("p", RED, 2, 1, 5, 4);
    HWND child = painted("c", BLUE, 2, 1, 6, 6, parent);
    log.create("box", WS_POPUP | WS_VISIBLE, 0, 3, 3, 1); // no painting of its own: black
    pump_pending();
    int frames = wl_screen_frames();
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames); // nothing changed, nothing presented
    fill_in_place(child, GREEN);
    EXPECT_EQ(picture(9, 6), picture_rows({".........", "..rrrrr..", "..rrggg..", "kkkrggg..",
                                           "..rrggg..", "........."}));
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames + 1);
}

} // namespace
