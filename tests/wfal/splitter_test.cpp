// The splitter bar's drag: the positions it reports to its parent, the grab offset kept, and a
// drag ended by the release or by a lost capture.
#include <gtest/gtest.h>

#include <vector>

#include "support/module_ui.h"

namespace {

constexpr int PARENT_H = 300, BAR_H = 4, BAR_W = 200;

class Splitter : public ModuleUiTest {
protected:
    HWND bar = nullptr;
    std::vector<LONG> reported;

    void SetUp() override {
        ModuleUiTest::SetUp();
        // The parent lays the bar out as the main dialog does: clamped into its client area.
        log.handle("parent", [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT *result) {
            if (m != SPLITTER_MOVED) return false;
            LONG y = LONG(l);
            reported.push_back(y);
            y = y < 0 ? 0 : y > PARENT_H - BAR_H ? PARENT_H - BAR_H : y;
            MoveWindow(bar, 0, y, BAR_W, BAR_H, TRUE);
            *result = 1;
            return true;
        });
        bar = CreateWindowExW(0, SPLITTER_CLASS, u"", WS_CHILD | WS_VISIBLE, 0, 100, BAR_W, BAR_H,
                              parent, (HMENU)201, wfal.instance, nullptr);
    }

    LONG bar_top() {
        RECT r;
        GetWindowRect(bar, &r);
        return r.top;
    }
};

struct Touch {
    enum Kind { press, move, release } kind;
    int y; // screen (= parent client) y; x is 50
};

struct DragCase {
    const char *name;
    std::vector<Touch> touches;
    std::vector<LONG> reported;
    LONG final_top;
};

const DragCase DRAG_CASES[] = {
    {"grabbed 2 below the top, moved to 100", {{Touch::press, 102}, {Touch::move, 100}}, {98}, 98},
    {"follows the pointer",
     {{Touch::press, 102}, {Touch::move, 50}, {Touch::move, 52}, {Touch::release, 52}},
     {48, 50},
     50},
    {"above the parent", {{Touch::press, 101}, {Touch::move, -20}}, {-21}, 0},
    {"below the parent", {{Touch::press, 103}, {Touch::move, 400}}, {397}, PARENT_H - BAR_H},
    {"no move without a press",
     {{Touch::move, 20}, {Touch::release, 20}, {Touch::move, 30}},
     {},
     100},
    {"nothing after the release",
     {{Touch::press, 100}, {Touch::release, 100}, {Touch::move, 150}},
     {},
     100},
};

TEST_F(Splitter, DragReportsTheBarTop) {
    for (const DragCase &c : DRAG_CASES) {
        MoveWindow(bar, 0, 100, BAR_W, BAR_H, TRUE);
        reported.clear();
        for (const Touch &t : c.touches) {
            if (t.kind == Touch::press) wl_input_press(50, t.y);
            if (t.kind == Touch::move) wl_input_move(50, t.y);
            if (t.kind == Touch::release) wl_input_release(50, t.y);
            pump_pending();
        }
        EXPECT_EQ(reported, c.reported) << c.name;
        EXPECT_EQ(bar_top(), c.final_top) << c.name;
        wl_input_release(50, 0);
        pump_pending();
    }
}

TEST_F(Splitter, ALostCaptureEndsTheDrag) {
    wl_input_press(50, 101);
    wl_input_move(50, 91);
    pump_pending();
    EXPECT_EQ(reported, std::vector<LONG>{90});
    SetCapture(parent);
    ReleaseCapture();
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 30));
    EXPECT_EQ(reported, std::vector<LONG>{90});
    EXPECT_EQ(bar_top(), 90);
}

} // namespace
