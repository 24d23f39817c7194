// The spectrogram's arithmetic where an off-by-one, a wrong rounding or integer instead of
// double arithmetic would change a record count, the scroll range or the picture's place.
#include <gtest/gtest.h>

#include <vector>

#include "spectrogram/view_geometry.h"

namespace {

TEST(ViewGeometry, RecordCountScrollScaleUnitsAndPicture) {
    ViewState v{};
    v.margin_left = VIEW_MARGIN_LEFT, v.margin_top = VIEW_MARGIN_TOP;
    v.margin_right = VIEW_MARGIN_RIGHT, v.margin_bottom = VIEW_MARGIN_BOTTOM;
    v.points = 300, v.record_size = 600, v.data_offset = 1320;
    // records, bytes beyond them, count, scale, units
    const LONGLONG cases[][5] = {{0, 0, 0, 0, 0},
                                 {0, 599, 0, 0, 0},
                                 {1, 0, 1, 1, 1},
                                 {1, 599, 1, 1, 1},
                                 {65000, 0, 65000, 1, 65000},
                                 {65001, 0, 65001, 2, 32501},
                                 {130000, 0, 130000, 2, 65000},
                                 {130001, 0, 130001, 3, 43334},
                                 {2592000, 0, 2592000, 40, 64800}};
    for (const auto &c : cases) {
        const int n = view_record_count(v, v.data_offset + c[0] * v.record_size + c[1]);
        const int scale = view_scroll_scale(n);
        EXPECT_EQ((std::vector<LONGLONG>{n, scale, view_scroll_units(n, scale)}),
                  (std::vector<LONGLONG>{c[2], c[3], c[4]}))
            << c[0];
    }
    EXPECT_EQ(view_record_count(v, 100), 0) << "file shorter than its header";
    const struct {
        RECT client;
        std::vector<int> left_top_width_height_right_bottom;
        bool usable;
    } pictures[] = {{{0, 0, 141, 4}, {40, 1, 2, 2, 42, 3}, true},
                    {{0, 0, 140, 4}, {40, 1, 1, 2, 41, 3}, false},
                    {{0, 0, 141, 3}, {40, 1, 2, 1, 42, 2}, false},
                    {{10, 20, 610, 320}, {50, 21, 461, 298, 511, 319}, true},
                    {{0, 0, 0, 0}, {40, 1, -139, -2, -99, -1}, false}};
    for (const auto &c : pictures) {
        const ViewPicture p = view_picture(v, c.client);
        EXPECT_EQ(std::vector<int>({p.left, p.top, p.width, p.height, p.right, p.bottom}),
                  c.left_top_width_height_right_bottom);
        EXPECT_EQ(view_picture_usable(p), c.usable) << c.client.right;
    }
    v.record_size = 0;
    EXPECT_EQ(view_record_count(v, 5000), 0) << "no record size";
}

} // namespace
