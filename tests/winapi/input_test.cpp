// Touch input: which window a touch reaches, the capture, WM_CAPTURECHANGED, disabled windows,
// typed characters.
#include <gtest/gtest.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE;
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

// A top-level window at (100, 100) with overlapping children: "low" (created first), "high" on
// top of it, "inner" inside "high", a hidden one and a disabled one with a child.
class Input : public ::testing::Test {
protected:
    void SetUp() override {
        top = log.create("top", POPUP | WS_BORDER, 100, 100, 200, 100);
        low = log.create("low", CHILD, 10, 10, 60, 40, top, 1);
        high = log.create("high", CHILD, 40, 20, 60, 40, top, 2);
        log.create("inner", CHILD, 5, 5, 10, 10, high, 3);
        log.create("hidden", WS_CHILD, 120, 10, 30, 30, top, 4);
        HWND off = log.create("off", CHILD | WS_DISABLED, 150, 50, 40, 40, top, 5);
        log.create("offchild", CHILD, 0, 0, 20, 20, off, 6);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        pump_pending();
        log.clear();
    }
    MessageLog log;
    HWND top = nullptr, low = nullptr, high = nullptr;
};

struct RouteCase {
    const char *name;
    int x, y;
    const char *expected; // the line the press gives, or "" when it reaches no window
};

TEST_F(Input, PressReachesTheTopmostVisibleWindowUnderThePoint) {
    const RouteCase cases[] = {
        {"Parent", 105, 105, "top WM_LBUTTONDOWN 4,4 down"},
        {"LowerSibling", 115, 115, "low WM_LBUTTONDOWN 4,4 down"},
        {"LaterSiblingAbove", 145, 125, "high WM_LBUTTONDOWN 4,4 down"},
        {"ChildAboveParent", 147, 127, "inner WM_LBUTTONDOWN 1,1 down"},
        {"HiddenIsPassedOver", 225, 115, "top WM_LBUTTONDOWN 124,14 down"},
        {"Disabled", 285, 185, ""},
        {"ChildOfDisabled", 255, 155, ""},
        {"Border", 100, 150, "top WM_NCLBUTTONDOWN hit18"},
        {"OffTheWindow", 50, 50, ""},
    };
    for (const RouteCase &c : cases) {
        wl_input_press(c.x, c.y);
        pump_pending();
        Lines lines = log.take();
        EXPECT_EQ(lines, *c.expected ? Lines{c.expected} : Lines{}) << c.name;
    }
}

TEST_F(Input, PressSlideOutSlideBackAndReleaseWithCapture) {
    log.handle("inner", button_behaviour());
    // Inner's client area is at (146, 126), 10 x 10.
    wl_input_press(150, 130);
    wl_input_move(190, 160); // outside it, still captured
    wl_input_move(148, 128); // back in
    wl_input_release(149, 129);
    wl_input_move(150, 130); // no capture, no button
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"inner WM_LBUTTONDOWN 4,4 down", "inner WM_MOUSEMOVE 44,34 down",
                                 "inner WM_MOUSEMOVE 2,2 down", "inner WM_LBUTTONUP 3,3",
                                 "inner WM_CAPTURECHANGED ->0", "high WM_COMMAND 3,0 inner",
                                 "inner WM_MOUSEMOVE 4,4"}));
    // Released outside: no command.
    wl_input_press(150, 130);
    wl_input_release(20, 20);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"inner WM_LBUTTONDOWN 4,4 down", "inner WM_LBUTTONUP -126,-106",
                                 "inner WM_CAPTURECHANGED ->0"}));
}

TEST_F(Input, CaptureChangesAreToldToTheLoser) {
    EXPECT_EQ(SetCapture(low), nullptr);
    EXPECT_EQ(SetCapture(high), low);
    EXPECT_EQ(GetCapture(), high);
    EXPECT_EQ(SetCapture(high), high); // taking it again is told too
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(low);
    DestroyWindow(low);
    EXPECT_EQ(GetCapture(), nullptr);
    log.ignore({WM_DESTROY, WM_NCDESTROY, WM_PAINT, WM_ERASEBKGND});
    EXPECT_EQ(log.take(), (Lines{"low WM_CAPTURECHANGED ->high", "high WM_CAPTURECHANGED ->high",
                                 "high WM_CAPTURECHANGED ->0", "low WM_CAPTURECHANGED ->0",
                                 "low WM_DESTROY", "low WM_NCDESTROY"}));
}

TEST_F(Input, DisablingTheCaptureHolderEndsTheCapture) {
    SetCapture(high);
    EnableWindow(high, FALSE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(log.take(),
              (Lines{"high WM_CANCELMODE", "high WM_CAPTURECHANGED ->0", "high WM_ENABLE 0"}));
    // A disabled window and its children get nothing.
    wl_input_press(150, 130);
    wl_input_release(150, 130);
    pump_pending();
    EXPECT_EQ(log.take(), Lines{});
}

TEST_F(Input, TheCaptureTakesInputOverAnyWindow) {
    HWND other = log.create("other", POPUP, 400, 100, 50, 50);
    pump_pending();
    log.clear();
    SetCapture(low);
    wl_input_press(410, 110); // on the other top-level window
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"low WM_LBUTTONDOWN 299,-1 down"}));
    ReleaseCapture();
    log.clear();
    wl_input_release(410, 110);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"other WM_LBUTTONUP 10,10"}));
    (void)other;
}

TEST_F(Input, CharactersGoToTheTopmostEnabledTopLevelWindow) {
    HWND box = log.create("box", POPUP, 0, 0, 50, 50);
    pump_pending();
    log.clear();
    wl_input_char(u'a');
    pump_pending();
    EnableWindow(box, FALSE);
    wl_input_char(u'b');
    pump_pending();
    EXPECT_EQ(log.take(),
              (Lines{"box WM_CHAR a", "box WM_CANCELMODE", "box WM_ENABLE 0", "top WM_CHAR b"}));
}

} // namespace
