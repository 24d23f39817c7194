// events against the module's own Find pressed again and again from record 0, on files with
// hits beside Find's pump points and the tool's block edges, in every find mode.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include <strsafe.h>

#include "commands.h"
#include "module/state.h"
#include "result_reader.h"
#include "shown_levels.h"
#include "spectrogram/find.h"
#include "spectrogram/level_offset.h"
#include "spectrogram/spectrum_graph.h"
#include "support/result_file.h"
#include "support/temp_root.h"

namespace {

constexpr int POINTS = 300;
constexpr int MARKER = 150;
// The tool reads 1 MiB blocks: 1747 records of 300 points; the second block ends at 3493.
const long long EDGES[] = {1, 299, 300, 301, 599, 600, 1746, 1747, 1748, 3493, 3494, 3999};

struct Spot {
    long long record;
    int point;
    INT16 level;
};

// Quiet records with, around each edge e, one kind of event at record e: a crossing of -50 dB
// at the marker or elsewhere, or a change of 25 dB above -50 dB that crosses nothing.
std::vector<Spot> event_spots() {
    std::vector<Spot> spots;
    int kind = 0;
    for (long long e : EDGES) {
        const int point = kind % 2 ? MARKER : (kind * 37) % POINTS;
        if (kind % 3 == 2) {
            spots.push_back({e - 1, point, -3000}); // -30 dB, then -5 dB: above it, no crossing
            for (long long r = e; r < e + 2; ++r)
                spots.push_back({r, point, -500});
        } else {
            spots.push_back({e, point, -4000});
        }
        ++kind;
    }
    return spots;
}

INT16 level_at(const std::vector<Spot> &spots, long long r, int p) {
    for (const Spot &s : spots)
        if (s.record == r && s.point == p) return s.level;
    return INT16(-9000 + (r * 7 + p * 13) % 700); // never reaches -50 dB, changes < 20 dB
}

// The records at which the module's Find stops, each press starting from the last stop.
std::vector<long long> module_stops(const ResultFileRecipe &recipe, const DisplaySettings &d,
                                    int unit) {
    const ResultHeader h = result_file_header(recipe);
    const int offset =
        level_offset(unit, level_bandwidth_correction(h.frequency_step), h.impedance);
    wfal.find = find_params(d, offset, MARKER);
    wfal.run_state = RUN_LOADED;
    ViewState &v = wfal.view = ViewState{};
    v.points = POINTS, v.record_size = 2 * POINTS, v.data_offset = RESULT_HEADER_SIZE;
    std::vector<long long> stops;
    while (find_run())
        stops.push_back(v.cursor_record);
    return stops;
}

std::vector<long long> tool_stops(const EventsOptions &o) {
    char *text = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&text, &size);
    EXPECT_EQ(res_events(o, out), RES_OK);
    fclose(out);
    std::vector<long long> stops;
    const std::string csv(text, size);
    free(text);
    for (size_t line = csv.find('\n'); line + 1 < csv.size(); line = csv.find('\n', line + 1)) {
        const size_t comma = csv.find(',', line);
        stops.push_back(std::stoll(csv.substr(comma + 1)));
    }
    return stops;
}

TEST(ResEvents, EqualTheModulesRepeatedFind) {
    TempDeviceRoot root;
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\events.res");
    const std::vector<Spot> spots = event_spots();
    ResultFileRecipe recipe;
    recipe.points = POINTS, recipe.records = 4000, recipe.partial_bytes = 7;
    recipe.level = [&](long long r, int p) { return level_at(spots, r, p); };
    const struct {
        const char *name;
        int impedance, unit, threshold;
        bool change_on, at_marker;
        size_t at_least; // stops that the case must see, so that it tests something
    } cases[] = {
        {"all points, crossing", 600, LEVEL_UNIT_DBM, -50, false, false, 8},
        {"all points, change", 600, LEVEL_UNIT_DBM, -50, true, false, 12},
        {"marker, crossing", 600, LEVEL_UNIT_DBM, -50, false, true, 4},
        {"marker, change", 600, LEVEL_UNIT_DBM, -50, true, true, 6},
        {"100 ohm moves the threshold", 100, LEVEL_UNIT_DBM, -42, false, false, 8},
        {"per hertz", 600, LEVEL_UNIT_DBM_HZ, -90, true, false, 12},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        recipe.impedance = c.impedance;
        result_file_write(root.dir() + "/events.res", recipe);
        DisplaySettings d{};
        d.find_threshold = c.threshold, d.change_threshold_on = c.change_on;
        d.change_threshold = 20, d.find_mode = c.at_marker ? FIND_AT_MARKER : 0;
        const std::vector<long long> expected = module_stops(recipe, d, c.unit);
        EventsOptions o;
        o.file = root.dir() + "/events.res";
        o.threshold = c.threshold, o.change_on = c.change_on, o.change = 20;
        o.at_marker = c.at_marker, o.at_hz = MARKER * 10000.0;
        o.unit = c.unit == LEVEL_UNIT_DBM_HZ ? "dBm/Hz" : "dBm";
        EXPECT_EQ(tool_stops(o), expected);
        EXPECT_GE(expected.size(), c.at_least);
    }
}

} // namespace
