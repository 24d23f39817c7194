// The marker's moves at their edges. The graph and readout it refreshes, and ordinary moves by
// keys and touches, are the view flows' to show.
#include <gtest/gtest.h>

#include <limits.h>

#include "spectrogram/marker.h"
#include "support/main_dialog_stand_in.h"

namespace {

using Marker = MainDialogStandIn;

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
        {true, VIEW_LIVE, 9, 299, 299, true, false},
        {true, VIEW_STILL, 9, 300, 9, true, true},
        {true, VIEW_STILL, 9, -1, 9, true, true},
        {true, VIEW_EMPTY, 9, 5, 9, true, true},
    };
    wfal.view.points = 300;
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
