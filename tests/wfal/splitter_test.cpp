// The splitter bar's drag: the positions it reports to its parent, the grab offset kept, and a
// drag ended by the release or by a lost capture.
#include <gtest/gtest.h>

#include <vector>

#include "support/module_ui.h"

namespace {

constexpr int TOP = 30; // the parent's top on the screen

class Splitter : public ModuleUiTest {
protected:
    HWND bar = nullptr;
    std::vector<LONG> reported;

    void SetUp() override {
        ModuleUiTest::SetUp();
        MoveWindow(parent, 0, TOP, 400, 300, TRUE); // off the screen's origin
        // The parent moves the bar where it is told, as the main dialog does inside its area.
        log.handle("parent", [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT *result) {
            if (m != SPLITTER_MOVED) return false;
            reported.push_back(LONG(l));
            MoveWindow(bar, 0, LONG(l), 200, 4, TRUE);
            *result = 1;
            return true;
        });
        bar = CreateWindowExW(0, SPLITTER_CLASS, u"", WS_CHILD | WS_VISIBLE, 0, 100, 200, 4, parent,
                              (HMENU)201, wfal.instance, nullptr);
    }
};

TEST_F(Splitter, DragReportsTheBarTop) {
    enum Kind { PRESS, MOVE, RELEASE, CAPTURE_LOST };
    const struct {
        const char *name;
        std::vector<std::pair<Kind, int>> touches; // and the parent's client y; x is 50
        std::vector<LONG> reported;
    } cases[] = {
        {"follows the pointer, grabbed 2 below the top",
         {{PRESS, 102}, {MOVE, 50}, {MOVE, 52}, {RELEASE, 52}},
         {48, 50}},
        {"above the parent", {{PRESS, 101}, {MOVE, -20}}, {-21}},
        {"no move without a press", {{MOVE, 20}, {RELEASE, 20}, {MOVE, 30}}, {}},
        {"nothing after the release", {{PRESS, 100}, {RELEASE, 100}, {MOVE, 150}}, {}},
        {"nothing after a lost capture", {{PRESS, 101}, {MOVE, 91}, {CAPTURE_LOST, 30}}, {90}},
    };
    for (const auto &c : cases) {
        MoveWindow(bar, 0, 100, 200, 4, TRUE);
        reported.clear();
        for (const auto &[kind, y] : c.touches) {
            if (kind == PRESS) wl_input_press(50, TOP + y);
            if (kind == MOVE) wl_input_move(50, TOP + y);
            if (kind == RELEASE) wl_input_release(50, TOP + y);
            if (kind == CAPTURE_LOST) {
                SetCapture(parent), ReleaseCapture();
                SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, y));
            }
            pump_pending();
        }
        EXPECT_EQ(reported, c.reported) << c.name;
        wl_input_release(50, 0), pump_pending();
    }
}

} // namespace
