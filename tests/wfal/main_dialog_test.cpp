// The main spectrogram dialog run headless from "DLG1", beside its stored screens: opening a file,
// the keys and views through a resize, the split cycle, the key repeat and the recording tick of
// its timer, the keys' enabling by run_state, and what the keys ask of the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <acqsim.h>

#include "lang/lang.h"
#include "support/fake_host.h"
#include "support/module_ui.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

namespace {

std::vector<int> commands; // WM_COMMAND ids the dialog received

INT_PTR CALLBACK counting_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND) commands.push_back(LOWORD(wparam));
    return main_dialog_proc(dialog, message, wparam, lparam);
}

// A child's client rectangle as x, y, width, height.
std::array<LONG, 4> placed(int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(wfal.main_dialog, id), &r);
    POINT p = {r.left, r.top};
    ScreenToClient(wfal.main_dialog, &p);
    return {p.x, p.y, r.right - r.left, r.bottom - r.top};
}

// The graph, splitter and spectrogram as placed for a splitter top and a dialog size.
void expect_views(int split, int width = 800, int height = 443) {
    using Box = std::array<LONG, 4>;
    EXPECT_EQ(placed(ID_GRAPH), (Box{0, 0, width - 185, split}));
    EXPECT_EQ(placed(ID_SPLITTER), (Box{0, split, width - 185, 4}));
    EXPECT_EQ(placed(ID_SPECTROGRAM), (Box{0, split + 4, width - 185, height - split - 4}));
}

// The soft keys, then the view's navigation keys and Find.
const int KEYS[] = {ID_ESC,     ID_SPLIT,       ID_MARKER_LEFT, ID_MARKER_RIGHT, ID_PRINT_SCREEN,
                    ID_LIST,    ID_SETUP,       ID_DISPLAY,     ID_FREEZE,       ID_STOP,
                    ID_GRAPH,   ID_SPECTROGRAM, ID_LINE_UP,     ID_TOP,          ID_LINE_DOWN,
                    ID_PAGE_UP, ID_PAGE_DOWN,   ID_FIND};
// The enabling of KEYS, one character each, where `want` has no '.': 1 on, 0 off.
std::string keys(const std::string &want) {
    std::string on;
    for (size_t k = 0; k < want.size(); k++)
        on += want[k] == '.' ? '.' : ui_find(KEYS[k]).enabled ? '1' : '0';
    return on;
}

const int L = RUN_LOADED, T = RUN_TESTING, F = RUN_FROZEN, S = RUN_FINDING;

class MainDialog : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;

    static UiStep expect_keys(std::string want) {
        return ui::check([=] { EXPECT_EQ(keys(want), want); });
    }
    static UiStep ticks(int n) { return ui::advance(ULONGLONG(n) * MAIN_TIMER_MS); }
    static UiStep set_state(int state) {
        return ui::check([=] { wfal.run_state = state, soft_key_refresh(); }, "set run_state");
    }
    void SetUp() override {
        acqsim_reset(), fake_host_reset(), commands.clear();
        module_ui_register_classes();
        wfal.dialog_brush = CreateSolidBrush(RGB(11, 25, 255));
        wfal.host = fake_host_service;
        wfal.language_path[0] = 0, wfal.language_number = 1, lang_load();
        const std::u16string path = u"\\line.res";
        wfal.result_path[path.copy(wfal.result_path, path.size())] = 0;
        wfal.run_state = 0;
    }
    void TearDown() override {
        lang_free(), DeleteObject(wfal.dialog_brush), classes_unregister();
        ui_release_fonts(), acqsim_reset(), wl_user_shutdown(), wl_gdi_shutdown();
    }
    void write_result(long long n) {
        ResultFileRecipe file;
        file.records = n;
        result_file_write(root.dir() + "/line.res", file);
    }
    INT_PTR run(std::vector<UiStep> steps) {
        return ui.run(
            [&] { return DialogBoxParamW(wfal.instance, u"DLG1", nullptr, counting_proc, 0); },
            std::move(steps));
    }
};

// A missing file is reported with the dialog disabled and leaves only the keys that need no
// file; an accepted one brings its header and size into the module.
TEST_F(MainDialog, OpensOrRefusesTheFile) {
    const Lines refused = {"title \"Spectrogram\"",
                           "message-box 16 \"Error\" \"Unknown file.\" -> 1 (no answer queued)"};
    const struct {
        long long records; // -1: no file
        int run_state;
        Lines log;
        std::string keys;
    } cases[] = {{-1, 0, refused, "110010010000000000"},
                 {3, L, {"title \"Spectrogram\""}, "110111110011......"}};
    for (const auto &c : cases) {
        fake_host_reset();
        if (c.records >= 0) write_result(c.records);
        run({expect_keys(c.keys), ui::check([&] { EXPECT_EQ(wfal.run_state, c.run_state); }),
             ui::tap(ID_ESC)});
        EXPECT_EQ(fake_host.log, c.log);
    }
    EXPECT_EQ(wfal.file_size, LONGLONG(root.read("line.res").size()));
    EXPECT_EQ(wfal.header.points, 300);
}

// The key columns keep to the right edge through a resize (the stored screens show every key at
// the first size); the views keep the splitter's top unless the dialog gets too low for it.
TEST_F(MainDialog, KeysAndViewsFollowTheDialogSize) {
    const struct {
        int w, h, split; // split: the splitter's top after the resize
    } sizes[] = {{640, 300, 176}, {700, 150, 146}, {800, 443, 146}};
    std::vector<UiStep> steps;
    for (const auto &s : sizes) {
        steps.push_back(ui::check([&] {
            SCOPED_TRACE(testing::Message() << s.w << " x " << s.h);
            MoveWindow(wfal.main_dialog, 0, 37, s.w, s.h, TRUE);
            using Box = std::array<LONG, 4>;
            EXPECT_EQ(placed(ID_ESC), (Box{s.w - 105, 5, 100, 50}));
            EXPECT_EQ(placed(ID_PAGE_DOWN), (Box{s.w - 180, 390, 70, 50}));
            EXPECT_EQ(placed(ID_STOP), (Box{s.w - 105, 390, 100, 50}));
            expect_views(s.split, s.w, s.h);
        }));
    }
    steps.push_back(ui::tap(ID_ESC));
    run(steps);
}

// The first split comes from the split key sent once at the start; the cycle then goes by the
// splitter's top. The splitter's reports, and a drag of the bar, are held to the client area.
TEST_F(MainDialog, SplitCycleAndSplitterReports) {
    constexpr int H = 443;
    const struct {
        int from;     // splitter top before
        LPARAM moved; // SPLITTER_MOVED's lParam; 0: the split key
        int to;
    } cases[] = {
        {0, 0, 176},     {19, 0, 176},        {20, 0, H - 4}, {H - 24, 0, H - 4}, {H - 23, 0, 0},
        {176, 0, H - 4}, {176, H - 2, H - 4}, {176, -30, 0},  {0, 250, 250},
    };
    std::vector<UiStep> steps = {ui::check([] {
        EXPECT_EQ(commands, std::vector<int>{ID_SPLIT});
        expect_views(176);
    })};
    for (const auto &c : cases) {
        steps.push_back(ui::check([&] {
            SCOPED_TRACE(testing::Message() << c.from << " " << c.moved);
            SendMessageW(wfal.main_dialog, SPLITTER_MOVED, 0, c.from);
            if (c.moved)
                EXPECT_EQ(SendMessageW(wfal.main_dialog, SPLITTER_MOVED, 0, c.moved), 1);
            else
                SendMessageW(wfal.main_dialog, WM_COMMAND, ID_SPLIT, 0);
            expect_views(c.to);
        }));
    }
    // Grabbed 1 pixel below its top (screen y = client y + 37).
    steps.insert(steps.end(),
                 {ui::check([] { SendMessageW(wfal.main_dialog, SPLITTER_MOVED, 0, 176); }),
                  ui::press(100, 37 + 177), ui::move(100, 37 + 301), ui::release(100, 37 + 301),
                  ui::check([] { EXPECT_EQ(placed(ID_GRAPH)[3], 300); }), ui::tap(ID_ESC)});
    run(steps);
}

// A file of 100 records opens on record 0, where up and Top are off and down and Find on; down
// held moves the cursor by its repeats. Holding a key repeats its command from the fourth tick,
// once per tick; a release resets the count; Top never repeats.
TEST_F(MainDialog, HeldKeysRepeat) {
    write_result(100);
    auto held = [](int id, int want) {
        return ui::check([=] {
            EXPECT_EQ(std::count(commands.begin(), commands.end(), id), want) << "key " << id;
        });
    };
    const UiStep at_2 = ui::check([] { EXPECT_EQ(wfal.view.cursor_record, 2); });
    std::vector<UiStep> steps(1, expect_keys("............001..1"));
    steps.insert(steps.end(), {ui::press_on(ID_LINE_DOWN), ticks(5), at_2, ui::release(0, 0),
                               ticks(1), expect_keys("............1")});
    steps.resize(steps.size() + 20, ui::tap(ID_LINE_DOWN)); // the cursor away from record 0
    // Whether the view would let the cursor move is not what this looks at.
    steps.push_back(ui::check([] {
        EnableWindow(GetDlgItem(wfal.main_dialog, ID_LINE_UP), TRUE);
        EnableWindow(GetDlgItem(wfal.main_dialog, ID_TOP), TRUE);
    }));
    steps.push_back(ui::press_on(ID_LINE_UP));
    for (int want : {0, 0, 0, 1, 2, 3})
        steps.insert(steps.end(), {ticks(1), held(ID_LINE_UP, want)});
    steps.insert(steps.end(),
                 {ui::release_on(ID_LINE_UP), ticks(3), held(ID_LINE_UP, 4),
                  ui::press_on(ID_LINE_UP), ticks(3), held(ID_LINE_UP, 4), ticks(1),
                  held(ID_LINE_UP, 5), ui::release(0, 0), ui::press_on(ID_TOP), ticks(6),
                  held(ID_TOP, 0), ui::release_on(ID_TOP), held(ID_TOP, 1), ui::tap(ID_ESC)});
    run(steps);
}

// soft_key_refresh by run_state (and the marker for its keys), with Stop's look and Freeze's
// caption. The navigation keys and Find are view_enable_keys'.
TEST_F(MainDialog, SoftKeysFollowRunState) {
    const struct {
        int state, marker;
        const char *on; // the soft keys of KEYS
        bool alarm;
        const char16_t *freeze;
    } cases[] = {
        {0, 5, "110010010000", false, u"Freeze"},
        {L, 5, "111111110011", false, u"Freeze"},
        {L, 0, "110111110011", false, u"Freeze"},
        {L, 299, "111011110011", false, u"Freeze"},
        {L | T, 5, "011100001111", true, u"Freeze"},
        {L | T | F, 5, "011111111011", false, u"Continue"},
        {L | S, 5, "011100000111", false, u"Freeze"},
        {L | T | F | S, 5, "011100001111", false, u"Continue"},
    };
    std::vector<UiStep> steps;
    for (const auto &c : cases) {
        steps.push_back(ui::check([&] {
            SCOPED_TRACE(testing::Message() << "run_state " << c.state << " marker " << c.marker);
            wfal.run_state = c.state;
            wfal.view.points = 300, wfal.view.marker_point = c.marker;
            soft_key_refresh();
            EXPECT_EQ(keys(c.on), c.on);
            HWND stop = GetDlgItem(wfal.main_dialog, ID_STOP);
            ControlStyle *look = (ControlStyle *)GetWindowLongPtrW(stop, sizeof(LONG_PTR));
            EXPECT_EQ(look, c.alarm ? &style_alarm : &style_normal);
            EXPECT_EQ(ui_find(ID_FREEZE).text, c.freeze);
        }));
    }
    steps.insert(steps.end(), {set_state(0), ui::tap(ID_ESC)});
    run(steps);
}

// Ticks ask the host about a stop only while a test records; neither Esc nor the window's close
// ends the dialog during a test or a find, and the timer goes with the dialog.
TEST_F(MainDialog, TicksAndClosingByRunState) {
    const struct {
        int state, stop_requests;
        bool closes;
    } cases[] = {
        {0, 0, true}, {L, 0, true}, {L | T, 4, false}, {L | T | F, 4, false}, {L | S, 0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        fake_host_reset();
        std::vector<UiStep> steps = {
            set_state(c.state), ui::advance(MAIN_TIMER_MS - 1),
            ui::check([] { EXPECT_EQ(fake_host.polls, 0); }), ticks(4),
            ui::check([&] { EXPECT_EQ(fake_host.polls, c.stop_requests); })};
        if (!c.closes) steps.insert(steps.end(), {ui::tap(ID_ESC), ui::close(), set_state(L)});
        steps.push_back(ui::close());
        EXPECT_EQ(run(steps), 0);
        ULONGLONG due;
        EXPECT_FALSE(wl_timer_next_due(&due)) << "the timer outlived the dialog";
    }
}

// Stop ends a find; it asks before it stops a live recording, and stops it on yes only. The
// host's stop request stops it on the next tick. PrtScr goes to the host.
TEST_F(MainDialog, StopAndPrintScreenKeys) {
    const struct {
        int state, answer, stop_request;
        bool asked;
        int after;
    } cases[] = {
        {L | T, 7, 0, true, L | T},  {L | T, 6, 0, true, L}, {L | T | F, 6, 0, false, L | T | F},
        {L | S, 6, 0, false, L | S}, {L, 6, 0, false, L},    {L | T, 0, 1, false, L},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        fake_host_reset(), wfal.stop_pressed = FALSE;
        run({set_state(c.state), ui::check([&] {
                 fake_host_reset();
                 fake_host.answer_box(c.answer);
                 fake_host.stop_at_poll = c.stop_request;
             }),
             c.stop_request ? ticks(1) : ui::check([] {
                 SendMessageW(wfal.main_dialog, WM_COMMAND, ID_STOP, 0);
             }),
             ui::check([&] { EXPECT_EQ(wfal.run_state, c.after); }), set_state(L),
             ui::tap(ID_PRINT_SCREEN), ui::tap(ID_ESC)});
        Lines want;
        if (c.asked)
            want.push_back("message-box 52 \"Stop\" \"Stop test?\" -> " + std::to_string(c.answer));
        if (c.stop_request) want.push_back("stop-requested -> 1");
        if (c.after == L && (c.state & T)) want.push_back("test-running 0");
        want.push_back("print-screen");
        EXPECT_EQ(fake_host.log, want);
        EXPECT_EQ(bool(wfal.stop_pressed), !c.stop_request);
    }
}

} // namespace
