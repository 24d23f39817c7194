// Windows and classes: the messages of creation and destruction, window words and text,
// geometry, showing, enabling and moving.
#include <gtest/gtest.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE;
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

TEST(Window, CreationAndDestructionWithChildren) {
    MessageLog log;
    HWND top = log.create("top", POPUP, 10, 20, 200, 100);
    log.create("a", CHILD, 5, 5, 50, 30, top, 1);
    log.create("b", CHILD | WS_BORDER, 60, 5, 50, 30, top, 2);
    EXPECT_EQ(log.take(), (Lines{
                              "top WM_NCCREATE",
                              "top WM_CREATE",
                              "top WM_SIZE 200x100",
                              "top WM_MOVE 10,20",
                              "top WM_SHOWWINDOW 1",
                              "a WM_NCCREATE",
                              "a WM_CREATE",
                              "a WM_SIZE 50x30",
                              "a WM_MOVE 5,5",
                              "a WM_SHOWWINDOW 1",
                              // The border takes a pixel on each side of the client area.
                              "b WM_NCCREATE",
                              "b WM_CREATE",
                              "b WM_SIZE 48x28",
                              "b WM_MOVE 61,6",
                              "b WM_SHOWWINDOW 1",
                          }));
    EXPECT_TRUE(DestroyWindow(top));
    // WM_DESTROY from the parent down (topmost child first), WM_NCDESTROY from the children up.
    EXPECT_EQ(log.take(), (Lines{"top WM_DESTROY", "b WM_DESTROY", "a WM_DESTROY", "b WM_NCDESTROY",
                                 "a WM_NCDESTROY", "top WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_list(nullptr, 0), 0);
    EXPECT_FALSE(DestroyWindow(top));
}

TEST(Window, RefusedCreationLeavesNoWindow) {
    struct Case {
        const char *name;
        UINT refuse;
        LRESULT answer;
        Lines expected;
    };
    const Case cases[] = {
        {"NcCreateFalse", WM_NCCREATE, FALSE, {"w WM_NCCREATE", "w WM_NCDESTROY"}},
        {"CreateMinusOne",
         WM_CREATE,
         -1,
         {"w WM_NCCREATE", "w WM_CREATE", "w WM_DESTROY", "w WM_NCDESTROY"}},
    };
    for (const Case &c : cases) {
        MessageLog log;
        log.handle("w", [&c](HWND, UINT m, WPARAM, LPARAM, LRESULT *r) {
            *r = c.answer;
            return m == c.refuse;
        });
        EXPECT_EQ(log.create("w", POPUP, 0, 0, 10, 10), nullptr) << c.name;
        EXPECT_EQ(log.take(), c.expected) << c.name;
        EXPECT_EQ(wl_window_list(nullptr, 0), 0) << c.name;
    }
}

TEST(Window, CreationFailsAsWindowsFails) {
    MessageLog log;
    HWND top = log.create("top", POPUP, 0, 0, 10, 10);
    HWND stale = log.create("gone", POPUP, 0, 0, 10, 10);
    DestroyWindow(stale);
    HMENU menu = reinterpret_cast<HMENU>(intptr_t(5));
    EXPECT_EQ(CreateWindowExW(0, u"nosuchclass", u"", POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(
        CreateWindowExW(0, RECORD_CLASS, u"", CHILD, 0, 0, 1, 1, nullptr, menu, nullptr, nullptr),
        nullptr); // a child without a parent
    EXPECT_EQ(
        CreateWindowExW(0, RECORD_CLASS, u"", CHILD, 0, 0, 1, 1, stale, menu, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(CreateWindowExW(0, RECORD_CLASS, u"", POPUP, 0, 0, 1, 1, top, menu, nullptr, nullptr),
              nullptr); // no menu bars
}

LRESULT CALLBACK plain_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcW(h, m, w, l);
}

TEST(WindowClass, RegistrationIsPerNameAndInstanceWithoutCase) {
    MessageLog log;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plain_proc;
    wc.lpszClassName = u"Plain";
    ATOM atom = RegisterClassW(&wc);
    EXPECT_NE(atom, 0);
    wc.lpszClassName = u"PLAIN";
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.lpfnWndProc = nullptr;
    wc.lpszClassName = u"Other";
    EXPECT_EQ(RegisterClassW(&wc), 0);

    LPCWSTR by_atom = reinterpret_cast<LPCWSTR>(uintptr_t(atom));
    HWND w =
        CreateWindowExW(0, by_atom, u"", POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(UnregisterClassW(u"plain", nullptr)); // a window of it lives
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassW(u"plain", nullptr));
    EXPECT_FALSE(UnregisterClassW(u"plain", nullptr));
}

TEST(Window, WordsUserDataAndId) {
    MessageLog log; // the recording class has two LONG_PTR words
    HWND w = log.create("w", POPUP, 0, 0, 10, 10);
    HWND c = log.create("c", CHILD, 0, 0, 5, 5, w, 7);
    EXPECT_EQ(GetWindowLongPtrW(w, 0), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, 0, 11), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, sizeof(LONG_PTR), -22), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, 0, 33), 11);
    EXPECT_EQ(GetWindowLongPtrW(w, sizeof(LONG_PTR)), -22);
    // A word reaching past the window's bytes is refused.
    EXPECT_EQ(SetWindowLongPtrW(w, sizeof(LONG_PTR) + 1, 44), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, 2 * sizeof(LONG_PTR)), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, GWLP_USERDATA, 55), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), 55);
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_ID), 7);
    EXPECT_EQ(GetDlgCtrlID(c), 7);
    EXPECT_EQ(GetDlgItem(w, 7), c);
    EXPECT_EQ(GetDlgItem(w, 8), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(c, GWL_STYLE), LONG_PTR(CHILD));
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_HWNDPARENT), LONG_PTR(w));
}

TEST(Window, TextGoesThroughMessages) {
    MessageLog log;
    HWND w = CreateWindowExW(0, RECORD_CLASS, u"First", POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             nullptr, nullptr);
    log.name(w, "w");
    WCHAR buf[8];
    EXPECT_EQ(GetWindowTextW(w, buf, 8), 5);
    EXPECT_EQ(std::u16string(buf), u"First");
    log.clear();
    EXPECT_TRUE(SetWindowTextW(w, u"Longer text"));
    EXPECT_EQ(GetWindowTextW(w, buf, 5), 4); // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(buf), u"Long");
    EXPECT_EQ(log.take(), (Lines{"w WM_SETTEXT", "w WM_GETTEXT"}));
    EXPECT_EQ(GetWindowTextW(w, buf, 0), 0);
}

struct GeometryCase {
    const char *name;
    DWORD style, ex_style;
    RECT client;      // GetClientRect
    POINT client_top; // ClientToScreen of (0, 0)
};

TEST(Window, GeometryOfFramesAndNesting) {
    const GeometryCase cases[] = {
        {"Plain", 0, 0, {0, 0, 40, 30}, {115, 127}},
        {"Border", WS_BORDER, 0, {0, 0, 38, 28}, {116, 128}},
        {"ClientEdge", 0, WS_EX_CLIENTEDGE, {0, 0, 36, 26}, {117, 129}},
        {"BorderAndEdge", WS_BORDER, WS_EX_CLIENTEDGE, {0, 0, 34, 24}, {118, 130}},
        {"ScrollBar", WS_VSCROLL, 0, {0, 0, 40 - 16, 30}, {115, 127}},
    };
    for (const GeometryCase &c : cases) {
        MessageLog log;
        HWND top = log.create("top", POPUP | WS_BORDER, 100, 100, 300, 200);
        HWND mid = log.create("mid", CHILD, 10, 20, 200, 100, top);
        HWND w = log.create("w", CHILD | c.style, 4, 6, 40, 30, mid, 0, c.ex_style);
        RECT r;
        ASSERT_TRUE(GetClientRect(w, &r));
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<LONG>{c.client.left, c.client.top, c.client.right, c.client.bottom}))
            << c.name;
        GetWindowRect(w, &r);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<LONG>{115, 127, 155, 157}))
            << c.name;
        POINT p{0, 0};
        ClientToScreen(w, &p);
        EXPECT_EQ(p.x, c.client_top.x) << c.name;
        EXPECT_EQ(p.y, c.client_top.y) << c.name;
        ScreenToClient(w, &p);
        EXPECT_EQ(p.x, 0) << c.name;
        POINT q{1, 2};
        EXPECT_EQ(MapWindowPoints(w, mid, &q, 1),
                  MAKELONG(c.client_top.x - 111, c.client_top.y - 121))
            << c.name;
        EXPECT_EQ(q.x, 1 + c.client_top.x - 111) << c.name;
    }
}

TEST(Window, MovingSendsWhatChanged) {
    struct Case {
        const char *name;
        int x, y, w, h;
        UINT flags;
        Lines expected;
    };
    const Case cases[] = {
        {"Same", 5, 6, 20, 10, 0, {}},
        {"MoveOnly", 7, 8, 20, 10, 0, {"w WM_MOVE 7,8"}},
        {"SizeOnly", 5, 6, 30, 12, 0, {"w WM_SIZE 30x12"}},
        {"Both", 1, 2, 3, 4, 0, {"w WM_MOVE 1,2", "w WM_SIZE 3x4"}},
        {"NoMoveKeepsPlace", 50, 50, 3, 4, SWP_NOMOVE, {"w WM_SIZE 3x4"}},
        {"NoSizeKeepsSize", 1, 2, 99, 99, SWP_NOSIZE, {"w WM_MOVE 1,2"}},
        {"NegativeSizeIsZero", 5, 6, -5, 10, 0, {"w WM_SIZE 0x10"}},
    };
    for (const Case &c : cases) {
        MessageLog log;
        HWND top = log.create("top", POPUP, 0, 0, 100, 100);
        HWND w = log.create("w", CHILD, 5, 6, 20, 10, top);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        log.clear();
        EXPECT_TRUE(SetWindowPos(w, nullptr, c.x, c.y, c.w, c.h, c.flags | SWP_NOZORDER)) << c.name;
        EXPECT_EQ(log.take(), c.expected) << c.name;
    }
}

TEST(Window, ShowWindowReportsThePreviousStateAndTellsOnlyChanges) {
    MessageLog log;
    HWND top = log.create("top", WS_POPUP, 0, 0, 100, 100);
    HWND c = log.create("c", CHILD, 0, 0, 10, 10, top);
    log.clear();
    EXPECT_FALSE(IsWindowVisible(c)); // its parent is hidden
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(c));
    EXPECT_TRUE(ShowWindow(top, SW_SHOWNORMAL)); // already shown: nothing sent
    EXPECT_TRUE(ShowWindow(c, SW_HIDE));
    EXPECT_FALSE(ShowWindow(c, SW_HIDE));
    EXPECT_EQ(log.take(), (Lines{"top WM_SHOWWINDOW 1", "c WM_SHOWWINDOW 0"}));
}

TEST(Window, EnableWindowReportsThePreviousState) {
    MessageLog log;
    HWND w = log.create("w", POPUP, 0, 0, 10, 10);
    log.clear();
    EXPECT_FALSE(EnableWindow(w, TRUE)); // was enabled: no message
    EXPECT_FALSE(EnableWindow(w, FALSE));
    EXPECT_FALSE(IsWindowEnabled(w));
    EXPECT_TRUE(EnableWindow(w, FALSE));
    EXPECT_TRUE(EnableWindow(w, TRUE));
    EXPECT_EQ(log.take(), (Lines{"w WM_CANCELMODE", "w WM_ENABLE 0", "w WM_ENABLE 1"}));
}

TEST(Window, ParentsOwnersAndTheList) {
    MessageLog log;
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

TEST(Window, SystemCursors) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR sizens = LoadCursorW(nullptr, IDC_SIZENS);
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(sizens, nullptr);
    EXPECT_NE(arrow, sizens);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

} // namespace
