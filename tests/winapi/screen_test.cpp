// The composed screen: top-level windows bottom first over the background, children clipped by
// their parents, pictures kept across moves and restacking, frames presented when changed.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>

#include <windows.h>
#include <wlgdi.h>
#include <wluser.h>

#include "support/golden.h"
#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE;
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF GREEN = RGB(0, 255, 0);

void fill_client(HWND hwnd, COLORREF colour) {
    HDC dc = GetDC(hwnd);
    HBRUSH b = CreateSolidBrush(colour);
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(hwnd, dc);
}

// Windows that paint themselves in one colour each.
class Screen : public ::testing::Test {
protected:
    void SetUp() override { wl_screen_set_background(SENTINEL); }
    HWND painted(const std::string &name, COLORREF colour, DWORD style, int x, int y, int w, int h,
                 HWND parent = nullptr) {
        log.handle(name, [colour](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT *r) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            HBRUSH b = CreateSolidBrush(colour);
            FillRect(ps.hdc, &ps.rcPaint, b);
            DeleteObject(b);
            EndPaint(hwnd, &ps);
            *r = 0;
            return true;
        });
        return log.create(name, style, x, y, w, h, parent);
    }
    const std::vector<std::pair<COLORREF, char>> legend = {
        {SENTINEL, '.'}, {RED, 'r'}, {BLUE, 'b'}, {GREEN, 'g'}};
    MessageLog log;
};

TEST_F(Screen, OverlappingTopLevelWindowsAreComposedBottomFirst) {
    HWND a = painted("a", RED, POPUP, 1, 1, 4, 3);
    painted("b", BLUE, POPUP, 3, 2, 4, 3);
    pump_pending();
    EXPECT_EQ(
        ui_picture(RECT{0, 0, 8, 6}, legend),
        picture_rows({"........", ".rrrr...", ".rrbbbb.", ".rrbbbb.", "...bbbb.", "........"}));
    // Restacking needs no repaint: each window keeps its own picture.
    log.clear();
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pump_pending();
    EXPECT_EQ(log.take(), Lines{});
    EXPECT_EQ(
        ui_picture(RECT{0, 0, 8, 6}, legend),
        picture_rows({"........", ".rrrr...", ".rrrrbb.", ".rrrrbb.", "...bbbb.", "........"}));
}

TEST_F(Screen, AChildIsClippedByItsParent) {
    HWND parent = painted("p", RED, POPUP, 2, 1, 5, 4);
    HWND child = painted("c", BLUE, CHILD, 2, 1, 6, 6, parent);
    pump_pending();
    EXPECT_EQ(ui_picture(RECT{0, 0, 9, 6}, legend),
              picture_rows(
                  {".........", "..rrrrr..", "..rrbbb..", "..rrbbb..", "..rrbbb..", "........."}));
    // Drawing in place on the child's own DC is clipped the same way.
    fill_client(child, GREEN);
    EXPECT_EQ(ui_picture(RECT{0, 0, 9, 6}, legend),
              picture_rows(
                  {".........", "..rrrrr..", "..rrggg..", "..rrggg..", "..rrggg..", "........."}));
}

TEST_F(Screen, MovedAndHiddenWindows) {
    HWND a = painted("a", RED, POPUP, 1, 1, 2, 2);
    pump_pending();
    log.clear();
    MoveWindow(a, 4, 2, 2, 2, TRUE); // moved, not resized: no repaint
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"a WM_MOVE 4,2"}));
    EXPECT_EQ(ui_picture(RECT{0, 0, 7, 5}, legend),
              picture_rows({".......", ".......", "....rr.", "....rr.", "......."}));
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(ui_picture(RECT{0, 0, 7, 5}, legend),
              picture_rows({".......", ".......", ".......", ".......", "......."}));
}

TEST_F(Screen, FramesArePresentedWhenSomethingChanged) {
    HWND a = painted("a", RED, POPUP, 0, 0, 10, 10);
    pump_pending();
    int frames = wl_screen_frames();
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames);
    InvalidateRect(a, nullptr, FALSE);
    pump_pending();
    EXPECT_EQ(wl_screen_frames(), frames + 1);
}

TEST_F(Screen, SnapshotsAreThePixels) {
    painted("a", RED, POPUP, 5, 5, 30, 20);
    pump_pending();
    const char *tmp = getenv("WFAL_TEST_TMP");
    std::string dir = tmp ? tmp : ".";
    mkdir(dir.c_str(), 0755);
    std::string path = dir + "/screen_snapshot.png";
    ASSERT_TRUE(wl_screen_save_png(path.c_str()));
    std::vector<uint32_t> read;
    int w = 0, h = 0;
    ASSERT_TRUE(png_read(path, &read, &w, &h));
    ASSERT_EQ(w, WL_SCREEN_WIDTH);
    ASSERT_EQ(h, WL_SCREEN_HEIGHT);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), wl_screen_pixels()));
    remove(path.c_str());
}

// A dialog-like window whose timer draws in place under a box that lies over it: the box keeps
// its picture, the rest of the window shows each new colour.
TEST_F(Screen, ATimerDrawsUnderAnOverlappingWindow) {
    const COLORREF colours[] = {RED, GREEN, BLUE};
    int tick = 0;
    HWND under = painted("under", RED, POPUP, 0, 0, 6, 3);
    log.handle("under", [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT *) {
        if (m == WM_TIMER) fill_client(h, colours[++tick % 3]);
        return false;
    });
    HWND box = log.create("box", POPUP, 2, 1, 2, 1); // no painting of its own: black
    SetTimer(under, 1, 250, nullptr);
    UiDriver ui;
    const std::vector<std::pair<COLORREF, char>> with_box = {
        {RED, 'r'}, {GREEN, 'g'}, {BLUE, 'b'}, {RGB(0, 0, 0), 'k'}};
    ui.run(
        [] {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0))
                DispatchMessageW(&msg);
            return INT_PTR(msg.wParam);
        },
        {ui::advance(250), ui::check([&] {
             EXPECT_EQ(ui_picture(RECT{0, 0, 6, 3}, with_box),
                       picture_rows({"gggggg", "ggkkgg", "gggggg"}));
         }),
         ui::advance(250), ui::check([&] {
             EXPECT_EQ(ui_picture(RECT{0, 0, 6, 3}, with_box),
                       picture_rows({"bbbbbb", "bbkkbb", "bbbbbb"}));
         }),
         ui::check([] { PostMessageW(nullptr, WM_QUIT, 0, 0); }, "quit")});
    EXPECT_EQ(tick, 2);
    (void)box;
}

} // namespace
