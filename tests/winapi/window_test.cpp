// The window manager as message-sequence tables: the messages of creation, destruction,
// moving, showing and enabling; window text; which window a touch reaches, the capture
// and WM_CAPTURECHANGED; sending against posting, the order of retrieval, WM_QUIT and a loop with
// nothing to wait for; the modal dialog loop and its owner. (Frames and nesting on the screen:
// the stored window_parts screen; the idle hook, dialogs from resources and nested dialogs: the
// module's flows and the host.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"

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
    WCHAR text[5];
    SetWindowTextW(w, u"Longer text");
    EXPECT_EQ(GetWindowTextW(w, text, 5), 4); // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(text), u"Long");
}

// A top-level window at (100, 100) with overlapping children: "low" (created first), "high" on
// top of it, "inner" inside "high", a hidden one and a disabled one with a child; a hidden
// top-level window at (40, 40).
class Input : public ::testing::Test {
protected:
    void SetUp() override {
        top = log.create("top", POPUP | WS_BORDER, 100, 100, 200, 100);
        low = log.create("low", CHILD, 10, 10, 60, 40, top, 1);
        high = log.create("high", CHILD, 40, 20, 60, 40, top, 2);
        log.create("inner", CHILD, 5, 5, 10, 10, high, 3);
        log.create("hidden", WS_CHILD, 120, 10, 30, 30, top, 4);
        log.create("ghost", WS_POPUP, 40, 40, 20, 20); // a hidden top-level window
        log.create("offchild", CHILD, 0, 0, 20, 20,
                   log.create("off", CHILD | WS_DISABLED, 150, 50, 40, 40, top, 5), 6);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        pump_pending();
        log.clear();
    }
    // The lines of the touches at the points, each a press and a release (or a move).
    Lines touch(std::vector<std::tuple<void (*)(int, int), int, int>> path) {
        for (const auto &[input, x, y] : path)
            input(x, y);
        pump_pending();
        return log.take();
    }
    MessageLog log;
    HWND top = nullptr, low = nullptr, high = nullptr;
};

TEST_F(Input, PressReachesTheTopmostVisibleEnabledWindowUnderThePoint) {
    const struct {
        int x, y;
        const char *line; // the press's, or "" when it reaches no window
    } cases[] = {
        {115, 115, "low WM_LBUTTONDOWN 4,4 down"},
        {147, 127, "inner WM_LBUTTONDOWN 1,1 down"},
        {225, 115, "top WM_LBUTTONDOWN 124,14 down"}, // the hidden one is passed over
        {285, 185, ""},                               // disabled
        {255, 155, ""},                               // the disabled one's child
        {100, 150, "top WM_NCLBUTTONDOWN hit18"},
        {50, 50, ""}, // under the hidden top-level window
    };
    for (const auto &c : cases)
        EXPECT_EQ(touch({{wl_input_press, c.x, c.y}}), *c.line ? Lines{c.line} : Lines{}) << c.x;
}

TEST_F(Input, TheCaptureHolderGetsEveryTouchUntilReleased) {
    log.handle("inner", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *) {
        if (m == WM_LBUTTONDOWN) SetCapture(h);
        if (m == WM_LBUTTONUP) ReleaseCapture();
        return false;
    });
    // Inner's client area is at (146, 126), 10 x 10: out of it and of its parents, released.
    EXPECT_EQ(touch({{wl_input_press, 150, 130},
                     {wl_input_move, 190, 160},
                     {wl_input_release, 20, 20},
                     {wl_input_move, 150, 130}}),
              (Lines{"inner WM_LBUTTONDOWN 4,4 down", "inner WM_MOUSEMOVE 44,34 down",
                     "inner WM_LBUTTONUP -126,-106", "inner WM_CAPTURECHANGED ->0",
                     "inner WM_MOUSEMOVE 4,4"}));
}

TEST_F(Input, CaptureChangesAreToldToTheLoser) {
    EXPECT_EQ(SetCapture(low), nullptr);
    EXPECT_EQ(SetCapture(high), low);
    EXPECT_EQ(SetCapture(high), high); // taking it again is told too
    EXPECT_TRUE(ReleaseCapture());
    SetCapture(low);
    DestroyWindow(low);
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(high);
    EnableWindow(high, FALSE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(log.take(), (Lines{"low WM_CAPTURECHANGED ->high", "high WM_CAPTURECHANGED ->high",
                                 "high WM_CAPTURECHANGED ->0", "low WM_CAPTURECHANGED ->0",
                                 "low WM_DESTROY", "low WM_NCDESTROY", "high WM_CANCELMODE",
                                 "high WM_CAPTURECHANGED ->0", "high WM_ENABLE 0"}));
    // A disabled window and its children get nothing.
    EXPECT_EQ(touch({{wl_input_press, 150, 130}, {wl_input_release, 150, 130}}), Lines{});
}

class Message : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 1, 1, 1, 0, 0, 0, 0};
        wl_clock_use_virtual(&start);
        w = log.create("w", POPUP, 0, 0, 20, 20);
        c = log.create("c", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, w);
        pump_pending(); // the first paints
        log.clear();
    }
    void TearDown() override { wl_clock_use_real(); }

    MessageLog log;
    HWND w = nullptr, c = nullptr;
};

TEST_F(Message, RetrievalOrderPostedInputPaintTimer) {
    SetTimer(w, 9, 100, nullptr);
    wl_clock_advance_ms(100);
    InvalidateRect(w, nullptr, FALSE);
    wl_input_press(2, 2);
    PostMessageW(w, WM_USER, 0, 0);
    log.ignore({WM_ERASEBKGND, WM_NCPAINT});
    MSG msg;
    for (int i = 0; i < 5; ++i)
        if (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    EXPECT_EQ(log.take(), (Lines{"w WM_USER+0 0,0", "c WM_LBUTTONDOWN 2,2 down", "w WM_PAINT",
                                 "c WM_PAINT", "w WM_TIMER 9"}));
}

// Sending runs the procedure at once and answers its result; posting waits for the loop; a
// destroyed window's posted message goes with it; WM_QUIT ends GetMessageW; a loop with nothing
// to wait for is a fault.
TEST_F(Message, SendPostFailuresAndTheQuitMessage) {
    log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
    log.handle("w", [](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT *r) {
        return *r = LRESULT(wp + lp), m >= WM_USER;
    });
    HWND gone = log.create("gone", POPUP, 0, 0, 5, 5);
    log.clear();
    PostMessageW(gone, WM_USER, 0, 0);
    EXPECT_TRUE(PostMessageW(w, WM_USER + 1, 1, 2));
    EXPECT_EQ(SendMessageW(w, WM_USER + 5, 40, 2), 42);
    DestroyWindow(gone);
    EXPECT_FALSE(PostMessageW(gone, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(gone, WM_USER, 0, 0), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageW(&msg), 3); // the procedure's answer
    SendMessageW(c, WM_CLOSE, 0, 0);      // the default closes by destroying
    EXPECT_FALSE(IsWindow(c));
    pump_pending();
    PostMessageW(nullptr, WM_QUIT, 3, 0);
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(log.take(),
              (Lines{"w WM_USER+5 40,2", "gone WM_DESTROY", "gone WM_NCDESTROY", "w WM_USER+1 1,2",
                     "c WM_CLOSE", "c WM_DESTROY", "c WM_NCDESTROY"}));
    EXPECT_DEATH(GetMessageW(&msg, nullptr, 0, 0), "waits for ever");
}

// A visible pop-up dialog of 100 x 50 units without title, font or controls, owned by a window
// that is disabled while the dialog runs; a handled message answers through DWLP_MSGRESULT.
TEST_F(Message, ADialogDisablesItsOwnerAndTurnsCloseIntoCancel) {
    const WORD plain[] = {0, 0x9000, 0, 0, 0, 0, 0, 100, 50, 0, 0, 0};
    log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CTLCOLORDLG, WM_SETFONT, WM_NULL,
                WM_SHOWWINDOW, WM_GETTEXT});
    log.handle("dlg", [=](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
        if (m == WM_USER) SetWindowLongPtrW(h, DWLP_MSGRESULT, 1234);
        if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(h, 5);
        return *r = TRUE, m == WM_USER || m == WM_COMMAND;
    });
    log.name_next_dialog("dlg");
    UiDriver ui;
    INT_PTR r = ui.run(
        [&] {
            return DialogBoxIndirectParamW(nullptr, (const DLGTEMPLATE *)plain, w,
                                           MessageLog::dialog_proc, 77);
        },
        {ui::check([&] {
             EXPECT_FALSE(IsWindowEnabled(w));
             EXPECT_EQ(SendMessageW(wl_window_top(), WM_USER, 0, 0), 1234);
         }),
         ui::close()});
    EXPECT_EQ(r, 5);
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 77", "w WM_CANCELMODE", "w WM_ENABLE 0",
                                 "dlg WM_USER+0 0,0", "dlg WM_CLOSE", "dlg WM_COMMAND 2,0 0",
                                 "w WM_ENABLE 1", "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_top(), w);
}

} // namespace
