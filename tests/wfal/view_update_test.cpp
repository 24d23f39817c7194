// view_update's rules where the view flows can't show them: the display levels by unit and
// impedance, the find parameters, the repaint rule while recording, the section and the early
// ends. The navigation and marker keys by cursor, scroll and split are the view flows'.
#include <gtest/gtest.h>

#include <strsafe.h>

#include <string>
#include <vector>

#include "module/state.h"
#include "spectrogram/spectrum_graph.h"
#include "spectrogram/view_update.h"
#include "support/message_log.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

namespace {

// Level of point p of record r: unique per record, so a test sees which record was loaded.
INT16 record_level(long long r, int p) {
    return INT16(-9000 + (r % 1000) * 5 + p);
}

ResultFileRecipe records(long long count) {
    ResultFileRecipe recipe;
    recipe.points = 20, recipe.records = count, recipe.level = record_level;
    return recipe;
}

// The main dialog as the view reaches it: a parent with plain children of the keys', graph's and
// spectrogram's ids (so that a test sees what is repainted; the picture is 100 rows high), and
// the module state set as the main dialog sets it for a file in a fresh device root.
class ViewUpdate : public ::testing::Test {
protected:
    TempDeviceRoot root; // declared first: the log's tear-down closes every window before it goes
    MessageLog log;

    void SetUp() override {
        wfal = ModuleState{};
        choice_make_labels(choice_level_unit);
        HWND dialog = log.create("dialog", WS_POPUP | WS_VISIBLE, 0, 37, 800, 443);
        for (int id : {ID_MARKER_LEFT, ID_MARKER_RIGHT, ID_LINE_UP, ID_LINE_DOWN, ID_TOP,
                       ID_PAGE_UP, ID_PAGE_DOWN, ID_FIND})
            log.create("key", WS_CHILD | WS_VISIBLE, 620, (id - 100) * 30, 70, 25, dialog, id);
        log.create("graph", WS_CHILD | WS_VISIBLE, 0, 0, 615, 176, dialog, ID_GRAPH);
        log.create("spectrogram", WS_CHILD | WS_VISIBLE, 0, 180, 615, 102, dialog, ID_SPECTROGRAM);
        log.ignore({WM_NCPAINT, WM_ERASEBKGND, WM_ENABLE});
        wfal.main_dialog = dialog;
        wfal.display.level_unit = LEVEL_UNIT_DBM, wfal.display.black_level = -100;
        wfal.display.white_level = -20, wfal.display.find_threshold = -100;
        settle();
    }
    void TearDown() override {
        if (wfal.view_file) fclose(wfal.view_file);
        wfal.view_file = nullptr;
    }
    // Writes the file and takes it as the main dialog does when it opens one.
    void open(const ResultFileRecipe &recipe) {
        result_file_write(root.dir() + "/line.res", recipe);
        wfal.header = result_file_header(recipe);
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\line.res");
        wfal.file_size =
            RESULT_HEADER_SIZE + recipe.records * 2 * recipe.points + recipe.partial_bytes;
        wfal.run_state = RUN_LOADED;
    }
    // Runs what is waiting and forgets what was logged so far.
    void settle() { pump_pending(), log.clear(); }
    // The window's paints since the last settle, pending ones included.
    int paints(const std::string &window) {
        pump_pending();
        int count = 0;
        for (const std::string &line : log.take())
            count += line == window + " WM_PAINT";
        return count;
    }
    void open_and_show(const ResultFileRecipe &recipe) {
        open(recipe);
        view_update(VIEW_OPENED);
        settle();
    }
    // The cursor record, a point of its spectrum and of the graph, the section's start and the
    // spectrogram's repaints.
    std::vector<int> shown(int point) {
        return {wfal.view.cursor_record, wfal.view.spectrum[point], wfal.graph[0].levels[0][point],
                wfal.section_start, paints("spectrogram")};
    }
};

// The step's logarithm is in whole hertz and truncated; the impedance's is taken toward zero.
// The find threshold takes the offset, the change threshold (a difference of levels) does not;
// ranges from 100000 on are shown in MHz.
TEST_F(ViewUpdate, LevelsFindParametersAndFrequencyUnit) {
    constexpr int NO = FIND_NO_CHANGE;
    const struct {
        int unit, impedance, step, range; // step in half-hertz
        // Bandwidth correction, offset, black, white, frequency divisor; find threshold, change
        // threshold, point.
        std::vector<int> expected;
        const char16_t *unit_label;
    } cases[] = {
        {1, 600, 20000, 99999, {4000, 0, -10000, -2000, 2000, -5000, NO, -1}, u"dBm"},
        {1, 135, 20000, 100000, {4000, -647, -10647, -2647, 2000000, -5647, 1000, 7}, u"dBm"},
        {1, 1000, 20000, 99999, {4000, 221, -9779, -1779, 2000, -4779, NO, -1}, u"dBm"},
        {2, 600, 11, 99999, {698, 698, -9302, -1302, 2000, -4302, NO, -1}, u"dBm/Hz"},
        {2, 100, 20000, 99999, {4000, 3222, -6778, 1222, 2000, -1778, 1000, 7}, u"dBm/Hz"},
        {3, 100, 20000, 99999, {4000, 0, -10000, -2000, 2000, -5000, NO, -1}, u""},
    };
    for (const auto &c : cases) {
        ResultFileRecipe recipe = records(3);
        recipe.impedance = c.impedance, recipe.frequency_step = c.step, recipe.range = c.range;
        open(recipe);
        const bool at_marker = c.expected[7] >= 0;
        DisplaySettings &d = wfal.display;
        d.level_unit = c.unit, d.find_threshold = -50, d.change_threshold = 10;
        d.change_threshold_on = at_marker, d.find_mode = at_marker;
        view_update(VIEW_OPENED);
        wfal.view.marker_point = 7;
        view_update(VIEW_DISPLAY);
        const ViewState &v = wfal.view;
        const FindParams &f = wfal.find;
        EXPECT_EQ(
            std::vector<int>({v.bandwidth_correction, v.level_offset, v.black_level, v.white_level,
                              v.frequency_divisor, f.threshold, f.change_threshold, f.point}),
            c.expected)
            << c.impedance << " " << c.step;
        EXPECT_EQ(std::u16string(v.level_unit), c.unit_label);
        EXPECT_EQ(wfal.graph[0].levels[0][0], record_level(0, 0) - c.expected[1]);
    }
}

// The cursor request keeps the section, a still request makes it the whole file again; a display
// change reloads nothing; a file gone ends the call before the graph.
TEST_F(ViewUpdate, SectionReloadsAndAFileGone) {
    open_and_show(records(40));
    EXPECT_EQ(wfal.section_end, 39);
    wfal.section_start = 5, wfal.view.cursor_record = 17;
    view_update(VIEW_CURSOR);
    EXPECT_EQ(shown(3), std::vector<int>({17, record_level(17, 3), record_level(17, 3), 5, 0}));
    wfal.view.spectrum[3] = 1234, wfal.display.level_unit = LEVEL_UNIT_DBM_HZ;
    view_update(VIEW_DISPLAY);
    EXPECT_EQ(shown(3), std::vector<int>({17, 1234, 1234 - 4000, 5, 1}));
    view_update(VIEW_STILL_MODE);
    EXPECT_EQ(shown(3),
              std::vector<int>({17, record_level(17, 3), record_level(17, 3) - 4000, 0, 1}));
    open(records(5));
    wfal.graph[0] = GraphRecord{}, wfal.display.level_unit = LEVEL_UNIT_DBM;
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\gone.res");
    view_update(VIEW_OPENED);
    EXPECT_EQ(std::vector<int>({wfal.view.mode, wfal.view.black_level, wfal.graph[0].enabled,
                                paints("spectrogram"), wfal.view.time_text[0]}),
              std::vector<int>({VIEW_STILL, -10000, 0, 0, 0}));
}

// A recording test repaints on every third record; cursor moves are the window's own to draw.
TEST_F(ViewUpdate, RepaintRule) {
    const struct {
        int request, record_count, paints;
    } cases[] = {
        {VIEW_OPENED, 10, 1},     {VIEW_STILL_MODE, 10, 1}, {VIEW_CURSOR, 10, 0},
        {VIEW_STARTED, 10, 0},    {VIEW_NEW_RECORD, 9, 1},  {VIEW_NEW_RECORD, 10, 0},
        {VIEW_NEW_RECORD, 11, 0}, {VIEW_DISPLAY, 10, 1},    {VIEW_TOP, 10, 1},
        {VIEW_LINE_DOWN, 10, 0},
    };
    for (const auto &c : cases) {
        open_and_show(records(c.record_count));
        wfal.view_file = _wfopen(wfal.result_path, u"rb");
        wfal.view.cursor_record = 5;
        view_update(c.request);
        EXPECT_EQ(paints("spectrogram"), c.paints) << c.request << " " << c.record_count;
        fclose(wfal.view_file), wfal.view_file = nullptr;
    }
}

// Top at the top, and Find without a hit, reload nothing. Top scrolled away and a Find hit go on
// as a still request that keeps the section and brings the record into view.
TEST_F(ViewUpdate, TopAndFind) {
    ResultFileRecipe recipe = records(10);
    recipe.level = [](long long r, int p) { return INT16(r == 3 && p == 2 ? -3000 : -5000); };
    open_and_show(recipe);
    const struct {
        int request, top, threshold;
        std::vector<int> shown;
    } cases[] = {
        {VIEW_TOP, 0, -100, {0, 1234, 1234, 2, 0}},
        {VIEW_FIND, 0, -100, {0, 1234, 1234, 2, 0}},
        {VIEW_TOP, 4, -100, {0, -5000, -5000, 2, 1}},
        {VIEW_FIND, 0, -40, {3, -3000, -3000, 2, 1}}, // -50 dBm rises through it at record 3
    };
    for (const auto &c : cases) {
        wfal.view.cursor_record = 0, wfal.view.top_record = c.top, wfal.section_start = 2;
        wfal.display.find_threshold = c.threshold;
        wfal.view.spectrum[2] = wfal.graph[0].levels[0][2] = 1234;
        view_update(c.request);
        EXPECT_EQ(shown(2), c.shown) << c.request << " " << c.top;
    }
}

} // namespace
