// Windows: the messages of creation, destruction, moving, showing and enabling; window words,
// text and the z-order. (Frames and nesting on the screen: the stored window_parts screen.)
#include <gtest/gtest.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE, CHILD = WS_CHILD | WS_VISIBLE;

class Window : public ::testing::Test {
protected:
    MessageLog log;
};

TEST_F(Window, CreationAndDestructionInTreeOrder) {
    HWND top = log.create("top", POPUP, 10, 20, 200, 100);
    HWND a = log.create("a", CHILD, 5, 5, 50, 30, top, 1);
    HWND b = log.create("b", CHILD | WS_BORDER, 60, 5, 50, 30, top, 2);
    HWND owned = log.create("owned", POPUP, 0, 0, 5, 5, a); // owned by a's top-level window
    EXPECT_EQ(GetParent(owned), top);
    HWND list[4];
    ASSERT_EQ(wl_window_list(list, 4), 4);
    EXPECT_EQ((std::vector<HWND>(list, list + 4)), (std::vector<HWND>{owned, top, b, a}));
    EXPECT_TRUE(DestroyWindow(top));
    // Owned windows first; WM_DESTROY from the parent down, WM_NCDESTROY from the children up.
    EXPECT_EQ(log.take(),
              (Lines{"top WM_NCCREATE",    "top WM_CREATE",         "top WM_SIZE 200x100",
                     "top WM_MOVE 10,20",  "top WM_SHOWWINDOW 1",   "a WM_NCCREATE",
                     "a WM_CREATE",        "a WM_SIZE 50x30",       "a WM_MOVE 5,5",
                     "a WM_SHOWWINDOW 1",  "b WM_NCCREATE",         "b WM_CREATE",
                     "b WM_SIZE 48x28",    "b WM_MOVE 61,6",        "b WM_SHOWWINDOW 1",
                     "owned WM_NCCREATE",  "owned WM_CREATE",       "owned WM_SIZE 5x5",
                     "owned WM_MOVE 0,0",  "owned WM_SHOWWINDOW 1", "owned WM_DESTROY",
                     "owned WM_NCDESTROY", "top WM_DESTROY",        "b WM_DESTROY",
                     "a WM_DESTROY",       "b WM_NCDESTROY",        "a WM_NCDESTROY",
                     "top WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_list(nullptr, 0), 0);
    EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(Window, WordsIdAndText) {
    HWND w = CreateWindowExW(0, RECORD_CLASS, u"First", POPUP, 100, 100, 50, 50, 0, 0, 0, 0);
    HWND c = log.create("c", CHILD | WS_BORDER, 5, 6, 20, 20, w, 7);
    const int P = sizeof(LONG_PTR);
    EXPECT_EQ(SetWindowLongPtrW(w, P, -22), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, P, 33), -22);
    EXPECT_EQ(SetWindowLongPtrW(w, P + 1, 44), 0); // past the window's bytes
    EXPECT_EQ((std::vector<LONG_PTR>{GetWindowLongPtrW(w, P), GetWindowLongPtrW(w, 2 * P),
                                     GetWindowLongPtrW(c, GWLP_ID)}),
              (std::vector<LONG_PTR>{33, 0, 7}));
    WCHAR buf[8];
    EXPECT_EQ(GetWindowTextW(w, buf, 8), 5);
    EXPECT_TRUE(SetWindowTextW(w, u"Longer text"));
    EXPECT_EQ(GetWindowTextW(w, buf, 5), 4); // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(buf), u"Long");
}

TEST_F(Window, MovingShowingAndEnablingTellOnlyChanges) {
    HWND top = log.create("top", WS_POPUP, 0, 0, 100, 100);
    HWND w = log.create("w", CHILD, 5, 6, 20, 10, top);
    auto move = [&](int x, int y, int cx, int cy, UINT flags) {
        return SetWindowPos(w, nullptr, x, y, cx, cy, flags | SWP_NOZORDER);
    };
    log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
    log.clear();
    EXPECT_FALSE(IsWindowVisible(w)); // its parent is hidden
    EXPECT_TRUE(move(5, 6, 20, 10, 0) && move(7, 8, 20, 10, 0) && move(7, 8, 30, 12, 0));
    EXPECT_TRUE(move(50, 50, 5, 6, SWP_NOMOVE) && move(3, 4, 99, 99, SWP_NOSIZE));
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(ShowWindow(w, SW_HIDE));
    EXPECT_FALSE(ShowWindow(w, SW_HIDE));
    EXPECT_FALSE(EnableWindow(w, TRUE));
    EXPECT_FALSE(EnableWindow(w, FALSE));
    EXPECT_FALSE(IsWindowEnabled(w));
    EXPECT_TRUE(EnableWindow(w, FALSE));
    EXPECT_TRUE(EnableWindow(w, TRUE));
    EXPECT_EQ(log.take(), (Lines{"w WM_MOVE 7,8", "w WM_SIZE 30x12", "w WM_SIZE 5x6",
                                 "w WM_MOVE 3,4", "top WM_SHOWWINDOW 1", "w WM_SHOWWINDOW 0",
                                 "w WM_CANCELMODE", "w WM_ENABLE 0", "w WM_ENABLE 1"}));
}

} // namespace
