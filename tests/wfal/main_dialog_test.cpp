// The main dialog where a script cannot take it: a Find runs without a script step between its
// polls, and the host stops a test before it closes the dialog. The view flows show opening, the
// keys by state, the split cycle, key repeat and Stop with the host.
#include <gtest/gtest.h>

#include <string>

#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

const int L = RUN_LOADED, T = RUN_TESTING, F = RUN_FROZEN, S = RUN_FINDING;
// Esc, ÷, ˂, ˃, PrtScr, List, Setup, Display, Freeze, Stop, graph, spectrogram; ˄, ˅, Top, PgUp,
// PgDn, Find.
const int KEYS[] = {ID_ESC,     ID_SPLIT,       ID_MARKER_LEFT, ID_MARKER_RIGHT, ID_PRINT_SCREEN,
                    ID_LIST,    ID_SETUP,       ID_DISPLAY,     ID_FREEZE,       ID_STOP,
                    ID_GRAPH,   ID_SPECTROGRAM, ID_LINE_UP,     ID_LINE_DOWN,    ID_TOP,
                    ID_PAGE_UP, ID_PAGE_DOWN,   ID_FIND};

// The module on a missing file (its keys as for no file); the timer goes with the dialog.
class MainDialog : public ReportSession {
protected:
    void run(std::vector<UiStep> steps) {
        EXPECT_EQ(view(std::move(steps)), 0);
        ULONGLONG due;
        EXPECT_FALSE(wl_timer_next_due(&due)) << "the timer outlived the dialog";
    }
};

// Every key is enabled first, so that one the state leaves alone shows.
UiStep set_state(int state) {
    return ui::check([=] {
        for (int id : KEYS)
            EnableWindow(GetDlgItem(wfal.main_dialog, id), TRUE);
        wfal.run_state = state, wfal.view.points = 300, wfal.view.marker_point = 5;
        soft_key_refresh();
    });
}

// While a test records or a find runs, neither Esc nor the window's close ends the dialog; ticks
// ask the host about a stop only while a test records; Stop ends a find without asking.
TEST_F(MainDialog, FindAndTestHoldTheDialog) {
    const struct {
        int state;
        const char *keys;
        int polls;
        const char16_t *freeze;
    } cases[] = {{L | T, "011100001111000000", 4, u"Freeze"},
                 {L | S, "011100000111000000", 0, u"Freeze"},
                 {L | T | F | S, "011100001111000000", 4, u"Continue"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        auto keys = [&] {
            std::string on;
            for (int id : KEYS)
                on += ui_find(id).enabled ? '1' : '0';
            EXPECT_EQ(on, c.keys);
            EXPECT_EQ(ui_find(ID_FREEZE).text, c.freeze);
            fake_host_reset(), wfal.stop_pressed = FALSE;
        };
        auto stop = [&] {
            if (c.state & S) SendMessageW(wfal.main_dialog, WM_COMMAND, ID_STOP, 0);
        };
        auto held = [&] {
            EXPECT_EQ(fake_host.polls, c.polls);
            EXPECT_EQ(fake_host.log, Lines{});
            EXPECT_EQ(wfal.run_state, c.state);
            EXPECT_EQ(bool(wfal.stop_pressed), bool(c.state & S));
        };
        run({set_state(c.state), ui::check(keys), ui::advance(4 * MAIN_TIMER_MS), ui::tap(ID_ESC),
             ui::close(), ui::check(stop), ui::check(held), set_state(L), ui::close()});
    }
}

// A drag of the splitter ends when another window takes the pointer's capture: a later move over
// the bar (grabbed 1 below its top, now 2) leaves it where it was.
TEST_F(MainDialog, SplitterDragEndsWithALostCapture) {
    auto bar_top = [](int want) {
        return ui::check([=] { EXPECT_EQ(ui_find(ID_SPLITTER).rect.top, want); });
    };
    run({ui::press(100, 214), ui::move(100, 250), bar_top(249),
         ui::check([] { SetCapture(wfal.main_dialog), ReleaseCapture(); }), ui::move(100, 251),
         bar_top(249), ui::release(100, 251), ui::tap(ID_ESC)});
}

} // namespace
