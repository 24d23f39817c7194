// The viewer as the user sees it, compared pixel for pixel with stored screens: the main dialog
// with nothing to show, with a file loaded (graph, readout, legend, time cursor), after a Find,
// and with each view alone.
#include <gtest/gtest.h>

#include <vector>

#include <acqsim.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/entry.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

// Levels from -90 dB rising across the points and through the records, all below the default
// find threshold of -60 dB, with a burst of -25 dB at records 120..125 that Find stops at.
INT16 viewer_level(long long record, int point) {
    if (record >= 120 && record <= 125 && point >= 100 && point <= 140) return -2500;
    return INT16(-9000 + (point % 50) * 40 + (record % 40) * 10);
}

TEST(ViewerScreens, MatchTheStoredScreens) {
    const std::vector<UiStep> marker_and_cursor = {
        ui::tap(ID_MARKER_RIGHT), ui::tap(ID_MARKER_RIGHT), ui::tap(ID_MARKER_RIGHT),
        ui::tap(ID_LINE_DOWN),    ui::tap(ID_LINE_DOWN),    ui::tap(ID_LINE_DOWN),
        ui::tap(ID_LINE_DOWN)};
    std::vector<UiStep> found = marker_and_cursor;
    found.push_back(ui::tap(ID_FIND));
    const struct {
        const char *golden;
        long long records;
        std::vector<UiStep> before;
    } screens[] = {
        {"viewer_empty", 0, {}},
        {"viewer_loaded", 200, marker_and_cursor},
        {"viewer_found", 200, found},
        {"viewer_graph_only", 200, {ui::tap(ID_SPLIT)}},
        {"viewer_spectrogram_only", 200, {ui::tap(ID_SPLIT), ui::tap(ID_SPLIT)}},
    };
    for (const auto &s : screens) {
        SCOPED_TRACE(s.golden);
        acqsim_reset();
        TempDeviceRoot root;
        ResultFileRecipe recipe;
        recipe.records = s.records, recipe.level = viewer_level;
        result_file_write(root.dir() + "/view.res", recipe);
        std::vector<UiStep> steps = s.before;
        steps.insert(steps.end(), {ui::expect_golden(s.golden), ui::tap(ID_ESC)});
        UiDriver().run(
            [] {
                return INT_PTR(wfalstart(nullptr, nullptr, 0, u"\\view.res", 0, 1, u"Ann",
                                         u"\\settings.dat", u"\\none.txt", 7));
            },
            steps);
        wl_user_shutdown(), wl_gdi_shutdown();
    }
}

} // namespace
