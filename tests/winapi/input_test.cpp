// Touch input: which window a touch reaches, the capture, WM_CAPTURECHANGED, disabled windows.
// (Typed characters: the desktop screen's test.)
#include <gtest/gtest.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE, CHILD = WS_CHILD | WS_VISIBLE;

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
        {145, 125, "high WM_LBUTTONDOWN 4,4 down"},
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

} // namespace
