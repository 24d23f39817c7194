// The marker: graph record 0 as graph_refresh fills it for the spectrum, the readout wired to the
// header's frequencies, the marker keys' enabling, and the marker moved by keys and touches.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "spectrogram/marker.h"
#include "support/main_dialog_stand_in.h"

namespace {

std::u16string text(const WCHAR *s) {
    return std::u16string(s);
}

void set_text(WCHAR *field, const char16_t *s) {
    StringCchCopyW(field, VIEW_UNIT_CHARS, s);
}

class Marker : public MainDialogStandIn {
protected:
    // 300 points from 0.5 kHz in steps of 100 Hz, stored levels rising by 0.01 dB a point.
    void SetUp() override {
        MainDialogStandIn::SetUp();
        wfal.header.start_frequency = 1000;
        wfal.header.frequency_step = 200;
        ViewState &v = wfal.view;
        v.mode = VIEW_STILL;
        v.points = 300;
        v.frequency_divisor = 2000;
        v.level_offset = -778;
        for (int i = 0; i < VIEW_MAX_POINTS; ++i)
            v.spectrum[i] = INT16(-6000 + i);
        set_text(v.frequency_unit, u"kHz");
        set_text(v.level_unit, u"dBm");
    }
    std::pair<bool, bool> marker_keys() {
        return {enabled(ID_MARKER_LEFT), enabled(ID_MARKER_RIGHT)};
    }
};

TEST_F(Marker, GraphRecordOfTheSpectrum) {
    wfal.view.marker_point = 7;
    graph_refresh();
    const GraphRecord &r = wfal.graph[0];
    EXPECT_EQ(r.enabled, 1);
    EXPECT_EQ(r.trace_count, 1);
    EXPECT_EQ(r.point_count, 300);
    EXPECT_EQ(r.trace_style[0], 1);
    EXPECT_EQ(r.trace_colour[0], RGB(0, 0, 0));
    EXPECT_EQ(r.first_index[0], 0);
    EXPECT_EQ(r.last_index[0], 299);
    EXPECT_EQ(r.levels[0][0], -6000 + 778);
    EXPECT_EQ(r.levels[0][299], -5701 + 778);
    EXPECT_EQ(r.levels[0][300], 0) << "nothing beyond the spectrum";
    EXPECT_EQ((std::vector<int>{r.margin_left, r.margin_top, r.margin_right, r.margin_bottom}),
              (std::vector<int>{40, 18, 118, 16}));
    EXPECT_EQ((std::vector<int>{r.corner_text_x, r.x_label_y, r.left_text_x, r.top_text_y}),
              (std::vector<int>{50, 2, 5, 0}));
    EXPECT_EQ(r.x_label_count, 3);
    EXPECT_EQ((std::vector<int>{r.x_label_index[0], r.x_label_index[1], r.x_label_index[2]}),
              (std::vector<int>{0, 150, 299}));
    EXPECT_EQ(text(r.x_label_text[0]), u" 0.500");
    EXPECT_EQ(text(r.x_label_text[1]), u"kHz");
    EXPECT_EQ(text(r.x_label_text[2]), u"30.400");
    EXPECT_EQ(text(r.unit_text), u"dBm");
    EXPECT_EQ(r.grid_colour, RGB(192, 192, 192));
    EXPECT_EQ(r.cursor1_on, 1);
    EXPECT_EQ(r.cursor1_index, 7);
    EXPECT_EQ(r.cursor1_colour, RGB(192, 128, 128));
    EXPECT_EQ(r.cursor2_on, 0);
    EXPECT_EQ(r.legend_x[0], 0);
    EXPECT_EQ(r.x_axis_trace, 0);
    EXPECT_EQ(text(r.corner_text), u"");
    EXPECT_EQ(r.on_click, &marker_set);
}

// An odd count puts the middle label at n / 2, rounded down.
TEST_F(Marker, MiddleLabelOfAnOddCount) {
    wfal.view.points = 301;
    graph_refresh();
    EXPECT_EQ(wfal.graph[0].x_label_index[1], 150);
    EXPECT_EQ(wfal.graph[0].x_label_index[2], 300);
    EXPECT_EQ(text(wfal.graph[0].x_label_text[2]), u"30.500");
}

TEST_F(Marker, LevelAxisByUnitAndInput) {
    struct Case {
        const char *name;
        int unit, input;
        int level_min, level_max, labels;
        const char16_t *first, *last;
    } cases[] = {
        {"dBm", LEVEL_UNIT_DBM, 0, -12000, 1000, 14, u"-120", u"  10"},
        {"dBm unterminated", LEVEL_UNIT_DBM, 1, -12000, 1000, 14, u"-120", u"  10"},
        {"dBm/Hz", LEVEL_UNIT_DBM_HZ, 0, -14000, -1000, 14, u"-140", u" -10"},
        {"dBm, probe", LEVEL_UNIT_DBM, 2, -11000, 2000, 14, u"-110", u"  20"},
        {"dBm/Hz, probe", LEVEL_UNIT_DBM_HZ, 2, -12000, 1000, 14, u"-120", u"  10"},
    };
    for (const Case &c : cases) {
        wfal.display.level_unit = c.unit;
        wfal.header.input = c.input;
        graph_refresh();
        const GraphRecord &r = wfal.graph[0];
        EXPECT_EQ(r.level_min, c.level_min) << c.name;
        EXPECT_EQ(r.level_max, c.level_max) << c.name;
        ASSERT_EQ(r.y_label_count, c.labels) << c.name;
        EXPECT_EQ(r.y_label_level[1], c.level_min + 1000) << c.name;
        EXPECT_EQ(text(r.y_label_text[0]), c.first) << c.name;
        EXPECT_EQ(text(r.y_label_text[c.labels - 1]), c.last) << c.name;
    }
}

// The readout takes the header's start and step: the marker at point 100 of a 0-based spectrum
// of 100 Hz steps is at 10 kHz; equal levels make point 0 the strongest.
TEST_F(Marker, ReadoutOfMarkerAndMax) {
    wfal.header.start_frequency = 0;
    wfal.view.level_offset = 0;
    for (int i = 0; i < VIEW_MAX_POINTS; ++i)
        wfal.view.spectrum[i] = -5000;
    wfal.view.spectrum[100] = -4222;
    wfal.view.spectrum[101] = -4222;
    wfal.view.marker_point = 100;
    graph_refresh();
    EXPECT_EQ(text(wfal.graph[0].side_text),
              u"Spectrum\n\nMarker:\n   10.000 kHz\n    -42.2 dBm\n\n"
              u"Max:\n   10.000 kHz\n    -42.2 dBm");
    wfal.view.spectrum[100] = wfal.view.spectrum[101] = -5000;
    graph_refresh();
    EXPECT_EQ(text(wfal.graph[0].side_text),
              u"Spectrum\n\nMarker:\n   10.000 kHz\n    -50.0 dBm\n\n"
              u"Max:\n    0.000 kHz\n    -50.0 dBm");
}

TEST_F(Marker, RefreshRepaintsTheGraph) {
    graph_refresh();
    EXPECT_EQ(paints("graph"), 1);
    EXPECT_EQ(paints("spectrogram"), 0);
}

TEST_F(Marker, StepHeldToTheSpectrum) {
    struct Case {
        int from, delta, to;
        bool left, right;
    } cases[] = {
        {0, -1, 0, false, true},      {1, -1, 0, false, true},        {5, -10, 0, false, true},
        {150, 1, 151, true, true},    {298, 1, 299, true, false},     {299, 1, 299, true, false},
        {3, INT_MIN, 0, false, true}, {3, INT_MAX, 299, true, false},
    };
    for (const Case &c : cases) {
        wfal.view.marker_point = c.from;
        // The keys start opposite to what the step must leave, so a missed update shows.
        EnableWindow(GetDlgItem(dialog, ID_MARKER_LEFT), !c.left);
        EnableWindow(GetDlgItem(dialog, ID_MARKER_RIGHT), !c.right);
        marker_step(c.delta);
        EXPECT_EQ(wfal.view.marker_point, c.to) << c.from << " " << c.delta;
        EXPECT_EQ(wfal.graph[0].cursor1_index, c.to) << c.from << " " << c.delta;
        EXPECT_EQ(marker_keys(), std::make_pair(c.left, c.right)) << c.from << " " << c.delta;
    }
}

TEST_F(Marker, SetByTouch) {
    struct Case {
        const char *name;
        int mode, point, to;
    } cases[] = {
        {"first point", VIEW_STILL, 0, 0},     {"last point", VIEW_LIVE, 299, 299},
        {"past the last", VIEW_STILL, 300, 9}, {"negative", VIEW_STILL, -1, 9},
        {"empty view", VIEW_EMPTY, 5, 9},
    };
    for (const Case &c : cases) {
        wfal.graph[0] = GraphRecord{};
        wfal.view.mode = c.mode;
        wfal.view.marker_point = 9;
        marker_set(3, c.point); // the graph index is not used
        EXPECT_EQ(wfal.view.marker_point, c.to) << c.name;
        EXPECT_EQ(wfal.graph[0].enabled, c.to != 9) << c.name << ": refreshed only on a move";
    }
}

TEST_F(Marker, StepIgnoredWhileTheViewIsEmpty) {
    wfal.view.mode = VIEW_EMPTY;
    wfal.view.marker_point = 4;
    marker_step(1);
    EXPECT_EQ(wfal.view.marker_point, 4);
    EXPECT_EQ(wfal.graph[0].enabled, 0);
    EXPECT_EQ(paints("graph"), 0);
}

} // namespace
