// The composed screen: pictures kept across moves and restacking, drawing in place clipped by
// the parents and by the windows above, frames presented when changed. (The composition of a
// still scene: the controls' stored screens; snapshots: the host's shots.)
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
