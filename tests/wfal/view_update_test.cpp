// view_update and the navigation keys: the display levels by unit and impedance, the find
// parameters, the frequency unit, the time text, loading the cursor record (through the open
// stream while a test records), the forwarded keys, the repaint rule, and the keys' enabling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectrogram/view_update.h"
#include "support/main_dialog_stand_in.h"

namespace {

// Level of point p of record r: unique per record, so a test sees which record was loaded.
INT16 record_level(long long r, int p) {
    return INT16(-9000 + (r % 1000) * 5 + p);
}

ResultFileRecipe records(long long count, int points = 20) {
    ResultFileRecipe recipe;
    recipe.points = points;
    recipe.records = count;
    recipe.level = record_level;
    return recipe;
}

std::u16string text(const WCHAR *s) {
    return std::u16string(s);
}

std::u16string marker_time(const std::u16string &date_time) {
    return u"Spectrogram\nMarker:\n" + date_time;
}

class ViewUpdate : public MainDialogStandIn {
protected:
    void open_and_show(const ResultFileRecipe &recipe) {
        open(recipe);
        view_update(VIEW_OPENED);
        settle();
    }
    // Up, down, top, page up, page down, find.
    std::vector<bool> navigation_keys() {
        return {enabled(ID_LINE_UP), enabled(ID_LINE_DOWN), enabled(ID_TOP),
                enabled(ID_PAGE_UP), enabled(ID_PAGE_DOWN), enabled(ID_FIND)};
    }
};

// As the main dialog opens a file: run_state 0 and its key refresh, then RUN_LOADED, then
// request 0. A partial record is no record.
TEST_F(ViewUpdate, AFileWithoutACompleteRecordStaysEmpty) {
    for (int partial : {0, 39}) {
        SCOPED_TRACE(partial);
        ResultFileRecipe recipe = records(0);
        recipe.partial_bytes = partial;
        open(recipe);
        wfal.run_state = 0;
        view_enable_keys();
        wfal.run_state = RUN_LOADED;
        view_enable_keys();
        view_update(VIEW_OPENED);
        for (int request : {VIEW_LINE_DOWN, VIEW_PAGE_DOWN, VIEW_TOP, VIEW_FIND, VIEW_CURSOR})
            view_update(request);
        EXPECT_EQ(wfal.view.mode, VIEW_EMPTY);
        EXPECT_EQ(navigation_keys(), std::vector<bool>(6, false));
        EXPECT_EQ(text(wfal.view.time_text), u"");
        EXPECT_EQ(std::vector<int>({wfal.graph[0].enabled, wfal.section_end}),
                  std::vector<int>({0, 0}));
        EXPECT_EQ(received("spectrogram"), Lines{});
        EXPECT_EQ(wfal.view.points, 20) << "initialised all the same";
    }
}

TEST_F(ViewUpdate, LevelsByUnitAndImpedance) {
    const struct {
        const char *name;
        int unit, impedance, step; // step in half-hertz
        std::vector<int> levels;   // bandwidth correction, offset, black, white
        const char16_t *unit_label;
    } cases[] = {
        {"dBm at 600 ohm", 1, 600, 20000, {4000, 0, -10000, -2000}, u"dBm"},
        {"dBm at 100 ohm", 1, 100, 20000, {4000, -778, -10778, -2778}, u"dBm"},
        {"600 / 135 in full precision", 1, 135, 20000, {4000, -647, -10647, -2647}, u"dBm"},
        {"toward zero above 600 ohm", 1, 1000, 20000, {4000, 221, -9779, -1779}, u"dBm"},
        {"dBm/Hz, 5 Hz step truncated", 2, 600, 10, {698, 698, -9302, -1302}, u"dBm/Hz"},
        {"dBm/Hz, whole hertz of 5.5", 2, 600, 11, {698, 698, -9302, -1302}, u"dBm/Hz"},
        {"dBm/Hz at 100 ohm", 2, 100, 20000, {4000, 3222, -6778, 1222}, u"dBm/Hz"},
        {"unknown unit", 3, 100, 20000, {4000, 0, -10000, -2000}, u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResultFileRecipe recipe = records(3);
        recipe.impedance = c.impedance;
        recipe.frequency_step = c.step;
        open(recipe);
        wfal.display.level_unit = c.unit;
        view_update(VIEW_OPENED);
        const ViewState &v = wfal.view;
        EXPECT_EQ(std::vector<int>(
                      {v.bandwidth_correction, v.level_offset, v.black_level, v.white_level}),
                  c.levels);
        EXPECT_EQ(text(v.level_unit), c.unit_label);
        EXPECT_EQ(wfal.graph[0].levels[0][0], record_level(0, 0) - c.levels[1]);
    }
}

// A stored -50 dBm at 100 ohm is -42.2 dBm: in the graph and in both level lines.
TEST_F(ViewUpdate, StoredLevelShownAtTheLineImpedance) {
    ResultFileRecipe recipe = records(1, 300);
    recipe.impedance = 100;
    recipe.level = nullptr; // -5000 everywhere
    open_and_show(recipe);
    EXPECT_EQ(wfal.graph[0].levels[0][299], -4222);
    const std::u16string side = wfal.graph[0].side_text;
    EXPECT_NE(side.find(u"\n    -42.2 dBm\n\nMax:"), std::u16string::npos) << "marker line";
    EXPECT_EQ(side.substr(side.size() - 14), u"\n    -42.2 dBm") << "max line";
}

// The unit, its divisor, and the x axis's unit and stop label (19 steps of 10 kHz).
TEST_F(ViewUpdate, FrequencyUnitByRange) {
    for (const auto &[range, unit, divisor, stop] :
         {std::make_tuple(99999, u"kHz", 2000, u"190.000"),
          std::make_tuple(100000, u"MHz", 2000000, u" 0.190")}) {
        SCOPED_TRACE(range);
        ResultFileRecipe recipe = records(1);
        recipe.range = range;
        open_and_show(recipe);
        const GraphRecord &g = wfal.graph[0];
        EXPECT_EQ(std::make_tuple(text(wfal.view.frequency_unit), wfal.view.frequency_divisor,
                                  text(g.x_label_text[1]), text(g.x_label_text[2])),
                  std::make_tuple(std::u16string(unit), divisor, std::u16string(unit),
                                  std::u16string(stop)));
    }
}

TEST_F(ViewUpdate, TimeTextOfTheCursorRecord) {
    const struct {
        const char *name;
        WORD year, month, day, hour, minute, second;
        int cursor;
        const char16_t *date_time;
    } cases[] = {
        {"record 0 at the start", 2020, 1, 2, 10, 0, 0, 0, u"01/02/2020\n10:00:00"},
        {"a day later", 2020, 1, 2, 10, 0, 0, 86400, u"01/03/2020\n10:00:00"},
        {"into a leap day", 2020, 2, 28, 23, 59, 59, 1, u"02/29/2020\n00:00:00"},
        {"into a new year", 2021, 12, 31, 23, 59, 58, 3, u"01/01/2022\n00:00:01"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResultFileRecipe recipe = records(c.cursor + 1, 2);
        recipe.year = c.year, recipe.month = c.month, recipe.day = c.day;
        recipe.hour = c.hour, recipe.minute = c.minute, recipe.second = c.second;
        open_and_show(recipe);
        wfal.view.cursor_record = c.cursor;
        view_update(VIEW_CURSOR);
        EXPECT_EQ(text(wfal.view.time_text), marker_time(c.date_time));
        EXPECT_EQ(wfal.view.spectrum[1], record_level(c.cursor, 1));
    }
}

// Request 0 shows record 0; the cursor request loads the record under the cursor and leaves the
// section; request 1 makes the section the whole file again and keeps the cursor.
TEST_F(ViewUpdate, LoadsTheCursorRecordAndSetsTheSection) {
    open_and_show(records(40));
    EXPECT_EQ(wfal.view.mode, VIEW_STILL);
    EXPECT_EQ(std::vector<int>({wfal.view.spectrum[3], wfal.section_start, wfal.section_end}),
              std::vector<int>({record_level(0, 3), 0, 39}));
    wfal.section_start = 5;
    wfal.view.cursor_record = 17;
    view_update(VIEW_CURSOR);
    EXPECT_EQ(
        std::vector<int>({wfal.view.spectrum[3], wfal.graph[0].levels[0][3], wfal.section_start}),
        std::vector<int>({record_level(17, 3), record_level(17, 3), 5}));
    view_update(VIEW_STILL_MODE);
    EXPECT_EQ(std::vector<int>({wfal.section_start, wfal.view.cursor_record}),
              std::vector<int>({0, 17}));
}

// The file gone: the levels and the mode change, the graph and the time text stay as they were.
TEST_F(ViewUpdate, AnUnreadableFileEndsTheCall) {
    open(records(5));
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\gone.res");
    view_update(VIEW_OPENED);
    EXPECT_EQ(std::vector<int>({wfal.view.mode, wfal.view.black_level, wfal.graph[0].enabled,
                                paints("spectrogram")}),
              std::vector<int>({VIEW_STILL, -10000, 0, 0}));
    EXPECT_EQ(text(wfal.view.time_text), u"");
}

// A recording test's newest record comes through view_file, also after the writer appended more,
// and every record disables the keys; freezing leaves the cursor on the newest record loaded and
// enables what the position allows.
TEST_F(ViewUpdate, RecordingThroughTheOpenStreamThenFreezing) {
    ResultFileRecipe recipe = records(4);
    recipe.partial_bytes = 10;
    open(recipe);
    wfal.run_state = RUN_LOADED | RUN_TESTING;
    wfal.view_file = _wfopen(wfal.result_path, u"rb");
    ASSERT_NE(wfal.view_file, nullptr);
    const std::u16string path = wfal.result_path;
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\gone.res"); // only the stream can serve
    view_update(VIEW_STARTED);
    EXPECT_EQ(wfal.view.mode, VIEW_LIVE);
    EXPECT_EQ(wfal.view.spectrum[0], 0) << "request 3 loads nothing";
    enable_all_keys(TRUE);
    view_update(VIEW_NEW_RECORD);
    EXPECT_EQ(navigation_keys(), std::vector<bool>(6, false));
    // The partial record is not the newest.
    EXPECT_EQ(
        std::vector<int>({wfal.view.cursor_record, wfal.view.follow_cursor, wfal.view.spectrum[2]}),
        std::vector<int>({3, 1, record_level(3, 2)}));
    EXPECT_EQ(text(wfal.view.time_text), marker_time(u"01/02/2020\n10:00:03"));
    recipe.records = 6;
    recipe.partial_bytes = 0;
    result_file_write(root.dir() + "/line.res", recipe); // what the writer has added since
    wfal.file_size = RESULT_HEADER_SIZE + 6 * 40;
    view_update(VIEW_NEW_RECORD);
    EXPECT_EQ(std::vector<int>(
                  {wfal.view.cursor_record, wfal.view.spectrum[2], wfal.graph[0].levels[0][2]}),
              std::vector<int>({5, record_level(5, 2), record_level(5, 2)}));
    StringCchCopyW(wfal.result_path, PATH_CHARS, path.c_str());
    wfal.run_state |= RUN_FROZEN;
    view_update(VIEW_STILL_MODE);
    EXPECT_EQ(std::vector<int>({wfal.view.mode, wfal.view.cursor_record}),
              std::vector<int>({VIEW_STILL, 5}));
    EXPECT_EQ(navigation_keys(), (std::vector<bool>{1, 0, 1, 0, 0, 1}));
}

TEST_F(ViewUpdate, RepaintRule) {
    const struct {
        const char *name;
        int request, record_count, paints;
    } cases[] = {
        {"opened", VIEW_OPENED, 10, 1},
        {"still", VIEW_STILL_MODE, 10, 1},
        {"cursor moved", VIEW_CURSOR, 10, 0},
        {"test started", VIEW_STARTED, 10, 0},
        {"new record, 9 records", VIEW_NEW_RECORD, 9, 1},
        {"new record, 10 records", VIEW_NEW_RECORD, 10, 0},
        {"new record, 11 records", VIEW_NEW_RECORD, 11, 0},
        {"display changed", VIEW_DISPLAY, 10, 1},
        {"top from record 5", VIEW_TOP, 10, 1},
        {"line down", VIEW_LINE_DOWN, 10, 0},
    };
    for (const auto &c : cases) {
        open_and_show(records(c.record_count));
        if (wfal.view_file) fclose(wfal.view_file);
        wfal.view_file = _wfopen(wfal.result_path, u"rb");
        wfal.view.cursor_record = 5;
        view_update(c.request);
        EXPECT_EQ(paints("spectrogram"), c.paints) << c.name;
    }
}

// Top at the top, and Find without a hit, change nothing: a changed spectrum shows that nothing
// was reloaded. Top with the cursor at 0 but scrolled away goes back to the top.
TEST_F(ViewUpdate, TopAndFindWithNothingToDo) {
    for (int request : {VIEW_TOP, VIEW_FIND}) {
        open_and_show(records(10));
        EXPECT_FALSE(enabled(ID_TOP));
        wfal.view.spectrum[0] = 1234;
        view_update(request);
        EXPECT_EQ(std::vector<int>(
                      {wfal.view.cursor_record, wfal.view.spectrum[0], paints("spectrogram")}),
                  std::vector<int>({0, 1234, 0}))
            << request;
    }
    wfal.view.top_record = 4;
    wfal.section_start = 2;
    view_update(VIEW_TOP);
    // Top keeps the section.
    EXPECT_EQ(std::vector<int>({wfal.view.top_record, wfal.view.spectrum[0], wfal.section_start,
                                paints("spectrogram")}),
              std::vector<int>({0, record_level(0, 0), 2, 1}));
}

// A hit goes on as a still request that keeps the section: the found record is loaded, its time
// shown, and the spectrogram repainted to bring it into view.
TEST_F(ViewUpdate, FindHitShowsTheFoundRecord) {
    ResultFileRecipe recipe = records(10);
    recipe.level = [](long long r, int p) { return INT16(r == 3 && p == 2 ? -3000 : -5000); };
    open_and_show(recipe);
    wfal.display.find_threshold = -40; // level -5000 rises through it at record 3
    wfal.section_start = 2;
    view_update(VIEW_FIND);
    EXPECT_EQ(
        std::vector<int>({wfal.view.cursor_record, wfal.view.spectrum[2],
                          wfal.graph[0].levels[0][2], wfal.section_start, paints("spectrogram")}),
        std::vector<int>({3, -3000, -3000, 2, 1}));
    EXPECT_EQ(text(wfal.view.time_text), marker_time(u"01/02/2020\n10:00:03"));
}

TEST_F(ViewUpdate, CursorAndScrollKeysGoToTheSpectrogram) {
    const std::pair<int, const char *> cases[] = {
        {VIEW_LINE_UP, "spectrogram WM_USER+1 -1,0"},
        {VIEW_LINE_DOWN, "spectrogram WM_USER+1 1,0"},
        {VIEW_PAGE_UP, "spectrogram WM_VSCROLL SB_PAGEUP"},
        {VIEW_PAGE_DOWN, "spectrogram WM_VSCROLL SB_PAGEDOWN"}};
    open_and_show(records(10));
    for (const auto &[request, line] : cases) {
        wfal.view.spectrum[0] = 1234;
        view_update(request);
        EXPECT_EQ(received("spectrogram"), Lines{line});
        EXPECT_EQ(wfal.view.spectrum[0], 1234) << line;
    }
}

TEST_F(ViewUpdate, FindParameters) {
    const struct {
        const char *name;
        int impedance, threshold, change_on, change, find_mode;
        std::vector<int> expected; // threshold, change threshold, point
    } cases[] = {
        {"all points, no change threshold", 600, -50, 0, 10, 0, {-5000, FIND_NO_CHANGE, -1}},
        {"at the marker", 600, -50, 0, 10, 1, {-5000, FIND_NO_CHANGE, 7}},
        {"offset on the threshold only", 100, -50, 1, 10, 1, {-5778, 1000, 7}},
        {"a zero change threshold in use", 600, 0, 1, 0, 0, {0, 0, -1}},
    };
    for (const auto &c : cases) {
        ResultFileRecipe recipe = records(2);
        recipe.impedance = c.impedance;
        open_and_show(recipe);
        wfal.view.marker_point = 7;
        DisplaySettings &d = wfal.display;
        d.find_threshold = c.threshold, d.change_threshold_on = c.change_on;
        d.change_threshold = c.change, d.find_mode = c.find_mode;
        view_update(VIEW_DISPLAY);
        const FindParams &f = wfal.find;
        EXPECT_EQ(std::vector<int>({f.threshold, f.change_threshold, f.point}), c.expected)
            << c.name;
    }
}

// A new unit changes the level lines and the unit words of the readout, never its frequencies.
TEST_F(ViewUpdate, DisplayChangeKeepsTheRecordAndTheFrequencies) {
    ResultFileRecipe recipe = records(3, 300);
    recipe.frequency_step = 200; // 100 Hz: the per-hertz correction is 2000
    open_and_show(recipe);
    const std::u16string before = wfal.graph[0].side_text;
    wfal.display.level_unit = LEVEL_UNIT_DBM_HZ;
    wfal.view.spectrum[299] = 1234; // still the strongest point
    view_update(VIEW_DISPLAY);
    EXPECT_EQ(wfal.view.spectrum[299], 1234) << "nothing reloaded";
    EXPECT_EQ(
        std::vector<int>({wfal.view.mode, wfal.graph[0].levels[0][0], wfal.graph[0].level_min}),
        std::vector<int>({VIEW_STILL, record_level(0, 0) - 2000, -14000}));
    EXPECT_EQ(text(wfal.graph[0].unit_text), u"dBm/Hz");
    const std::u16string after = wfal.graph[0].side_text;
    auto line = [](const std::u16string &s, int n) {
        size_t at = 0;
        for (int i = 0; i < n; ++i)
            at = s.find(u'\n', at) + 1;
        return s.substr(at, s.find(u'\n', at) - at);
    };
    // Lines 3 and 7 are the frequencies, 4 and 8 the levels.
    EXPECT_EQ(std::vector<std::u16string>({line(after, 3), line(after, 7), line(before, 4),
                                           line(after, 4), line(after, 8)}),
              std::vector<std::u16string>({line(before, 3), line(before, 7), u"    -90.0 dBm",
                                           u"   -110.0 dBm/Hz", u"     -7.7 dBm/Hz"}));
}

// 250 records; every key is enabled before each case, so a case that changes nothing shows it.
TEST_F(ViewUpdate, NavigationKeysByCursorAndScroll) {
    const int L = RUN_LOADED, STILL = VIEW_STILL;
    const struct {
        const char *name;
        int run_state, mode, cursor, top, picture_rows;
        std::vector<bool> keys; // up, down, top, page up, page down, find
    } cases[] = {
        {"no file", 0, STILL, 5, 5, 100, {0, 0, 0, 0, 0, 0}},
        {"recording", L | RUN_TESTING, VIEW_LIVE, 249, 150, 100, {0, 0, 0, 0, 0, 0}},
        {"finding", L | RUN_FINDING, STILL, 5, 5, 100, {0, 0, 0, 0, 0, 0}},
        {"empty view", L, VIEW_EMPTY, 0, 0, 100, {1, 1, 1, 1, 1, 1}},
        {"at the top", L, STILL, 0, 0, 100, {0, 1, 0, 0, 1, 1}},
        {"at the end", L, STILL, 249, 150, 100, {1, 0, 1, 1, 0, 1}},
        {"one row short of the end", L, STILL, 0, 149, 100, {0, 1, 1, 1, 1, 1}},
        {"frozen", L | RUN_TESTING | RUN_FROZEN, STILL, 249, 0, 100, {1, 0, 1, 0, 1, 1}},
        {"one-row picture", L, STILL, 3, 10, 1, {1, 1, 1, 0, 0, 1}},
    };
    open_and_show(records(250));
    for (const auto &c : cases) {
        MoveWindow(spectrogram, 0, 180, 615, c.picture_rows + 2, FALSE);
        enable_all_keys(TRUE);
        wfal.run_state = c.run_state;
        wfal.view.mode = c.mode;
        wfal.view.cursor_record = c.cursor;
        wfal.view.top_record = c.top;
        view_enable_keys();
        EXPECT_EQ(navigation_keys(), c.keys) << c.name;
    }
}

// pump_messages returns with the queue empty, every posted message delivered in order.
TEST_F(ViewUpdate, PumpMessagesEmptiesTheQueue) {
    PostMessageW(dialog, WM_USER + 7, 1, 0);
    PostMessageW(spectrogram, WM_USER + 7, 2, 0);
    pump_messages();
    EXPECT_EQ(log.take(), (Lines{"dialog WM_USER+7 1,0", "spectrogram WM_USER+7 2,0"}));
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
}

} // namespace
