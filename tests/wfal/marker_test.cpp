// The marker: graph record 0 as graph_refresh fills it from the view, the header and the display
// settings, the marker keys' enabling, and the marker moved by keys and touches. The graph's
// layout and looks are the viewer's stored screens' to check.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "module/engine.h"
#include "spectrogram/marker.h"
#include "support/main_dialog_stand_in.h"

namespace {

class Marker : public MainDialogStandIn {
protected:
    // 300 points from 0.5 kHz in steps of 100 Hz, stored levels rising by 0.01 dB a point.
    void SetUp() override {
        MainDialogStandIn::SetUp();
        wfal.header.start_frequency = 1000, wfal.header.frequency_step = 200;
        ViewState &v = wfal.view;
        v.mode = VIEW_STILL, v.points = 300, v.frequency_divisor = 2000, v.level_offset = -778;
        for (int i = 0; i < VIEW_MAX_POINTS; ++i)
            v.spectrum[i] = INT16(-6000 + i);
        StringCchCopyW(v.frequency_unit, VIEW_UNIT_CHARS, u"kHz");
    }
};

// The trace takes the offset, the stop label the header's start and step, the level axis the
// unit and the probe input; an odd count puts the middle label at n / 2, rounded down.
TEST_F(Marker, GraphOfTheSpectrum) {
    const struct {
        int points, unit, input;
        std::vector<int> expected; // level 0, last, beyond; middle index; level range
        const char16_t *stop;
    } cases[] = {
        {300, LEVEL_UNIT_DBM, 0, {-5222, -4923, 0, 150, -12000, 1000}, u"30.400"},
        {301, LEVEL_UNIT_DBM_HZ, INPUT_PROBE, {-5222, -4922, 0, 150, -12000, 1000}, u"30.500"},
        {300, LEVEL_UNIT_DBM, INPUT_PROBE, {-5222, -4923, 0, 150, -11000, 2000}, u"30.400"},
    };
    for (const auto &c : cases) {
        wfal.view.points = c.points, wfal.display.level_unit = c.unit, wfal.header.input = c.input;
        graph_refresh();
        const GraphRecord &r = wfal.graph[0];
        const int last = c.points - 1;
        EXPECT_EQ(std::vector<int>({r.levels[0][0], r.levels[0][last], r.levels[0][last + 1],
                                    r.x_label_index[1], r.level_min, r.level_max}),
                  c.expected)
            << c.points << " " << c.unit << " " << c.input;
        EXPECT_EQ(std::u16string(r.x_label_text[2]), c.stop);
        EXPECT_EQ(std::make_pair(r.trace_count, r.on_click), std::make_pair(1, &marker_set));
        EXPECT_EQ(paints("graph"), 1);
    }
}

// The readout takes the header's start and step: point 100 is at 0.5 + 100 x 0.1 kHz.
TEST_F(Marker, ReadoutOfMarkerAndMax) {
    wfal.view.level_offset = 0, wfal.view.spectrum[7] = -4222, wfal.view.marker_point = 100;
    StringCchCopyW(wfal.view.level_unit, VIEW_UNIT_CHARS, u"dBm");
    graph_refresh();
    EXPECT_EQ(std::u16string(wfal.graph[0].side_text),
              u"Spectrum\n\nMarker:\n   10.500 kHz\n    -59.0 dBm\n\n"
              u"Max:\n    1.200 kHz\n    -42.2 dBm");
}

// A step is held to the spectrum (in 64 bits: a held key's delta can't wrap); a touch outside
// it moves nothing. Every move refreshes the graph and the marker keys; an empty view moves
// nothing. The keys start opposite to what a move must leave, so a missed update shows.
TEST_F(Marker, StepAndTouchHeldToTheSpectrum) {
    const struct {
        bool touch;
        int mode, from, by, to;
        bool left, right;
    } cases[] = {
        {false, VIEW_STILL, 1, -1, 0, false, true},
        {false, VIEW_STILL, 0, -1, 0, false, true},
        {false, VIEW_LIVE, 298, 1, 299, true, false},
        {false, VIEW_STILL, 3, INT_MIN, 0, false, true},
        {false, VIEW_STILL, 3, INT_MAX, 299, true, false},
        {false, VIEW_EMPTY, 4, 1, 4, true, true},
        {true, VIEW_STILL, 9, 0, 0, false, true},
        {true, VIEW_LIVE, 9, 299, 299, true, false},
        {true, VIEW_STILL, 9, 300, 9, true, true},
        {true, VIEW_STILL, 9, -1, 9, true, true},
        {true, VIEW_EMPTY, 9, 5, 9, true, true},
    };
    for (const auto &c : cases) {
        wfal.graph[0] = GraphRecord{};
        wfal.view.mode = c.mode, wfal.view.marker_point = c.from;
        const bool refreshed = c.mode != VIEW_EMPTY && (!c.touch || c.to != c.from);
        EnableWindow(GetDlgItem(dialog, ID_MARKER_LEFT), c.left != refreshed);
        EnableWindow(GetDlgItem(dialog, ID_MARKER_RIGHT), c.right != refreshed);
        if (c.touch)
            marker_set(3, c.by); // the graph index is not used
        else
            marker_step(c.by);
        EXPECT_EQ(std::vector<int>({wfal.view.marker_point, wfal.graph[0].enabled,
                                    wfal.graph[0].cursor1_index, enabled(ID_MARKER_LEFT),
                                    enabled(ID_MARKER_RIGHT)}),
                  std::vector<int>({c.to, refreshed, refreshed ? c.to : 0, c.left, c.right}))
            << c.touch << " " << c.from << " " << c.by;
    }
}

} // namespace
