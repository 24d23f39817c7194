// Windows and classes: the messages of creation and destruction, window words and text,
// geometry, showing, enabling, moving and the z-order.
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

TEST_F(Window, CreationAndDestructionWithChildren) {
    HWND top = log.create("top", POPUP, 10, 20, 200, 100);
    log.create("a", CHILD, 5, 5, 50, 30, top, 1);
    log.create("b", CHILD | WS_BORDER, 60, 5, 50, 30, top, 2);
    EXPECT_EQ(log.take(),
              (Lines{"top WM_NCCREATE", "top WM_CREATE", "top WM_SIZE 200x100", "top WM_MOVE 10,20",
                     "top WM_SHOWWINDOW 1", "a WM_NCCREATE", "a WM_CREATE", "a WM_SIZE 50x30",
                     "a WM_MOVE 5,5", "a WM_SHOWWINDOW 1", "b WM_NCCREATE", "b WM_CREATE",
                     "b WM_SIZE 48x28", "b WM_MOVE 61,6", "b WM_SHOWWINDOW 1"}));
    EXPECT_TRUE(DestroyWindow(top));
    // WM_DESTROY from the parent down (topmost child first), WM_NCDESTROY from the children up.
    EXPECT_EQ(log.take(), (Lines{"top WM_DESTROY", "b WM_DESTROY", "a WM_DESTROY", "b WM_NCDESTROY",
                                 "a WM_NCDESTROY", "top WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_list(nullptr, 0), 0);
    EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(Window, RefusedOrImpossibleCreationLeavesNoWindow) {
    for (UINT refused : {WM_NCCREATE, WM_CREATE}) {
        log.handle("w", [=](HWND, UINT m, WPARAM, LPARAM, LRESULT *r) {
            *r = m == WM_CREATE ? -1 : FALSE;
            return m == refused;
        });
        EXPECT_EQ(log.create("w", POPUP, 0, 0, 10, 10), nullptr);
        Lines want = refused == WM_CREATE ? Lines{"w WM_NCCREATE", "w WM_CREATE", "w WM_DESTROY"}
                                          : Lines{"w WM_NCCREATE"};
        want.push_back("w WM_NCDESTROY");
        EXPECT_EQ(log.take(), want);
        EXPECT_EQ(wl_window_list(nullptr, 0), 0);
    }
    HWND top = log.create("top", POPUP, 0, 0, 10, 10), gone = log.create("gone", POPUP, 0, 0, 1, 1);
    DestroyWindow(gone);
    HMENU menu = HMENU(5);
    // No such class, a child without a parent or with a dead one, a menu bar.
    EXPECT_EQ(CreateWindowExW(0, u"none", u"", POPUP, 0, 0, 1, 1, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(CreateWindowExW(0, RECORD_CLASS, u"", CHILD, 0, 0, 1, 1, 0, menu, 0, 0), nullptr);
    EXPECT_EQ(CreateWindowExW(0, RECORD_CLASS, u"", CHILD, 0, 0, 1, 1, gone, menu, 0, 0), nullptr);
    EXPECT_EQ(CreateWindowExW(0, RECORD_CLASS, u"", POPUP, 0, 0, 1, 1, top, menu, 0, 0), nullptr);
}

LRESULT CALLBACK plain_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcW(h, m, w, l);
}

TEST_F(Window, ClassesArePerNameWithoutCaseAndLiveWhileTheirWindowsDo) {
    WNDCLASSW wc = {0, plain_proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"Plain"};
    ATOM atom = RegisterClassW(&wc);
    EXPECT_NE(atom, 0);
    wc.lpszClassName = u"PLAIN";
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.lpfnWndProc = nullptr;
    wc.lpszClassName = u"Other";
    EXPECT_EQ(RegisterClassW(&wc), 0);
    HWND w = CreateWindowExW(0, LPCWSTR(uintptr_t(atom)), u"", POPUP, 0, 0, 5, 5, 0, 0, 0, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(UnregisterClassW(u"plain", nullptr));
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassW(u"plain", nullptr));
    EXPECT_FALSE(UnregisterClassW(u"plain", nullptr));
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), LoadCursorW(nullptr, IDC_SIZENS));
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

TEST_F(Window, WordsIdAndTextThroughMessages) {
    HWND w = CreateWindowExW(0, RECORD_CLASS, u"First", POPUP, 0, 0, 5, 5, 0, 0, 0, 0);
    HWND c = log.create("c", CHILD, 0, 0, 5, 5, w, 7);
    const int P = sizeof(LONG_PTR);
    EXPECT_EQ(SetWindowLongPtrW(w, 0, 11), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, P, -22), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, 0, 33), 11);
    EXPECT_EQ(GetWindowLongPtrW(w, P), -22);
    EXPECT_EQ(SetWindowLongPtrW(w, P + 1, 44), 0); // past the window's bytes
    EXPECT_EQ(GetWindowLongPtrW(w, 2 * P), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, GWLP_USERDATA, 55), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), 55);
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_ID), 7);
    EXPECT_EQ(GetDlgItem(w, 7), c);
    EXPECT_EQ(GetDlgItem(w, 8), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(c, GWL_STYLE), LONG_PTR(CHILD));
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_HWNDPARENT), LONG_PTR(w));
    WCHAR buf[8];
    EXPECT_EQ(GetWindowTextW(w, buf, 8), 5);
    EXPECT_EQ(std::u16string(buf), u"First");
    log.name(w, "w");
    log.clear();
    EXPECT_TRUE(SetWindowTextW(w, u"Longer text"));
    EXPECT_EQ(GetWindowTextW(w, buf, 5), 4); // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(buf), u"Long");
    EXPECT_EQ(GetWindowTextW(w, buf, 0), 0);
    EXPECT_EQ(log.take(), (Lines{"w WM_SETTEXT", "w WM_GETTEXT"}));
}

// A 40 x 30 window at (4, 6) in a child at (10, 20) of a bordered top-level window at (100, 100).
TEST_F(Window, GeometryOfFramesAndNesting) {
    const struct {
        DWORD style, ex_style;
        LONG width, height; // of the client area
        POINT client_top;   // ClientToScreen of (0, 0)
    } cases[] = {{0, 0, 40, 30, {115, 127}},
                 {WS_BORDER, 0, 38, 28, {116, 128}},
                 {0, WS_EX_CLIENTEDGE, 36, 26, {117, 129}},
                 {WS_BORDER, WS_EX_CLIENTEDGE, 34, 24, {118, 130}},
                 {WS_VSCROLL, 0, 24, 30, {115, 127}}};
    HWND top = log.create("top", POPUP | WS_BORDER, 100, 100, 300, 200);
    HWND mid = log.create("mid", CHILD, 10, 20, 200, 100, top);
    for (const auto &c : cases) {
        HWND w = log.create("w", CHILD | c.style, 4, 6, 40, 30, mid, 0, c.ex_style);
        RECT r, s;
        ASSERT_TRUE(GetClientRect(w, &r));
        GetWindowRect(w, &s);
        POINT p{0, 0}, q{1, 2};
        ClientToScreen(w, &p);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom, s.left, s.top, s.right,
                                     s.bottom, p.x, p.y}),
                  (std::vector<LONG>{0, 0, c.width, c.height, 115, 127, 155, 157, c.client_top.x,
                                     c.client_top.y}));
        ScreenToClient(w, &p);
        EXPECT_EQ(p.x, 0);
        EXPECT_EQ(MapWindowPoints(w, mid, &q, 1),
                  MAKELONG(c.client_top.x - 111, c.client_top.y - 121));
        EXPECT_EQ(q.x, 1 + c.client_top.x - 111);
        DestroyWindow(w);
    }
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
    EXPECT_TRUE(move(1, 2, 3, 4, 0) && move(50, 50, 5, 6, SWP_NOMOVE) &&
                move(3, 4, 99, 99, SWP_NOSIZE));
    EXPECT_TRUE(move(3, 4, -5, 10, 0));
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(ShowWindow(top, SW_SHOWNORMAL));
    EXPECT_TRUE(ShowWindow(w, SW_HIDE));
    EXPECT_FALSE(ShowWindow(w, SW_HIDE));
    EXPECT_FALSE(EnableWindow(w, TRUE));
    EXPECT_FALSE(EnableWindow(w, FALSE));
    EXPECT_FALSE(IsWindowEnabled(w));
    EXPECT_TRUE(EnableWindow(w, FALSE));
    EXPECT_TRUE(EnableWindow(w, TRUE));
    EXPECT_EQ(log.take(),
              (Lines{"w WM_MOVE 7,8", "w WM_SIZE 30x12", "w WM_MOVE 1,2", "w WM_SIZE 3x4",
                     "w WM_SIZE 5x6", "w WM_MOVE 3,4", "w WM_SIZE 0x10", "top WM_SHOWWINDOW 1",
                     "w WM_SHOWWINDOW 0", "w WM_CANCELMODE", "w WM_ENABLE 0", "w WM_ENABLE 1"}));
}

TEST_F(Window, ParentsOwnersAndTheZOrder) {
    HWND owner = log.create("owner", POPUP, 0, 0, 50, 50);
    HWND c1 = log.create("c1", CHILD, 0, 0, 5, 5, owner, 1);
    HWND c2 = log.create("c2", CHILD, 0, 0, 5, 5, owner, 2);
    HWND owned = log.create("owned", POPUP, 0, 0, 5, 5, c1); // owned by c1's top-level window
    EXPECT_EQ(GetParent(c1), owner);
    EXPECT_EQ(GetParent(owned), owner);
    EXPECT_EQ(GetParent(owner), nullptr);
    HWND list[8];
    ASSERT_EQ(wl_window_list(list, 8), 4);
    EXPECT_EQ((std::vector<HWND>(list, list + 4)), (std::vector<HWND>{owned, owner, c2, c1}));
    EXPECT_EQ(wl_window_top(), owned);
    // Destroying the owner takes the windows it owns first.
    log.ignore({WM_NCDESTROY});
    log.clear();
    DestroyWindow(owner);
    EXPECT_EQ(log.take(),
              (Lines{"owned WM_DESTROY", "owner WM_DESTROY", "c2 WM_DESTROY", "c1 WM_DESTROY"}));
}

} // namespace
