// Painting: invalidation coalesced into one WM_PAINT, parents before children, the clip of
// BeginPaint, hidden windows; drawing in place clipped by the parent and by the windows above,
// frames presented when changed. (The frames and the class brush: the stored window_parts screen;
// pictures kept across moves, restacking and hiding: the module's stored screens of its layouts;
// window DCs left behind: the module's runs that leave nothing behind.)
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

// Drawing in place is clipped by the parent and by the windows above: a child sticking out of
// w's bottom right corner, under a pop-up box that paints nothing (black); a frame is presented
// only when something changed.
TEST_F(Paint, DrawingInPlaceIsClippedByTheParentAndTheWindowsAbove) {
    wl_screen_set_background(SENTINEL);
    HWND child = log.create("c", WS_CHILD | WS_VISIBLE, 90, 50, 20, 20, w);
    log.create("box", WS_POPUP | WS_VISIBLE, 95, 0, 10, 55);
    pump_pending();
    int frames = wl_screen_frames();
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames);
    HDC dc = GetDC(child);
    HBRUSH green = CreateSolidBrush(GREEN);
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, green);
    DeleteObject(green);
    ReleaseDC(child, dc);
    EXPECT_EQ(
        ui_picture(RECT{88, 53, 104, 62}, {{SENTINEL, '.'}, {BLUE, 'b'}, {GREEN, 'g'}, {0, 'k'}}),
        picture_rows({"bbgggggkkkkkkkkk", "bbgggggkkkkkkkkk", "bbgggggggggg....",
                      "bbgggggggggg....", "bbgggggggggg....", "bbgggggggggg....",
                      "bbgggggggggg....", "................", "................"}));
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames + 1);
}

} // namespace
