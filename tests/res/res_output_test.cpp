// What the tool writes from a file's records: csv values, times and frequency columns under the
// unit and level offset rules, the times it takes, the events against the module's Find, the
// statistics against a plain computation, and the spectrogram picture (stored image; a
// one-record burst in a long overview).
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <strsafe.h>

#include "commands.h"
#include "module/state.h"
#include "picture.h"
#include "record_time.h"
#include "spectrogram/find.h"
#include "spectrogram/level_offset.h"
#include "spectrogram/palette.h"
#include "spectrogram/spectrum_graph.h"
#include "support/golden.h"
#include "support/result_file.h"
#include "support/temp_root.h"

namespace {

// What a command wrote to its output.
template <class Run>
std::string output(Run run) {
    char *text = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&text, &size);
    EXPECT_EQ(run(out), RES_OK);
    fclose(out);
    std::string s(text, size);
    free(text);
    return s;
}

std::string line(const std::string &text, int n) {
    size_t at = 0;
    for (int i = 0; i < n; ++i)
        at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
}

constexpr int FIND_POINTS = 300;
constexpr int MARKER = 150;
// Find pumps every 300 records; the tool's blocks hold B records (1747 of 300 points).
constexpr long long B = RES_BLOCK_BYTES / (2 * FIND_POINTS);
const long long EDGES[] = {1, 299, 300, 301, 599, 600, B - 1, B, B + 1, 2 * B - 1, 2 * B, 3999};

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
        const int point = kind % 2 ? MARKER : (kind * 37) % FIND_POINTS;
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
    v.points = FIND_POINTS, v.record_size = 2 * FIND_POINTS, v.data_offset = RESULT_HEADER_SIZE;
    std::vector<long long> stops;
    while (find_run())
        stops.push_back(v.cursor_record);
    return stops;
}

class ResOutput : public ::testing::Test {
protected:
    TempDeviceRoot root;
    ResultFileRecipe recipe;
    std::string path() const { return root.dir() + "/out.res"; }
    void make() { result_file_write(path(), recipe); }
};

// Stored -5000 at the header's impedance: 100 ohm is 7.78 dB below 600 ohm, 135 ohm 6.47 dB;
// per hertz subtracts 10 x log10 of the 10 kHz step, 40 dB.
TEST_F(ResOutput, CsvLevelsAndTimes) {
    const struct {
        int impedance;
        const char *unit, *layout;
        WORD day, hour, minute, second;
        int row;
        const char *expected;
    } cases[] = {
        {600, "dBm", "wide", 2, 10, 0, 0, 1, "2020-01-02T10:00:00,0,-50.00,-49.99,-49.98"},
        {100, "dBm", "wide", 2, 10, 0, 0, 2, "2020-01-02T10:00:01,1,-42.12,-42.11,-42.10"},
        {135, "dBm", "wide", 2, 10, 0, 0, 1, "2020-01-02T10:00:00,0,-43.53,-43.52,-43.51"},
        {600, "dBm/Hz", "wide", 2, 10, 0, 0, 1, "2020-01-02T10:00:00,0,-90.00,-89.99,-89.98"},
        {100, "dBm/Hz", "long", 2, 10, 0, 0, 6, "2020-01-02T10:00:01,1,21000,-82.10"},
        {600, "dBm", "wide", 28, 23, 59, 59, 3, "2020-02-29T00:00:01,2,-49.80,-49.79,-49.78"},
        {600, "dBm", "wide", 31, 23, 59, 59, 2, "2021-01-01T00:00:00,1,-49.90,-49.89,-49.88"},
        {600, "dBm", "sweep", 2, 10, 0, 0, 0,
         "2020-01-02, 10:00:00, 1000, 31000, 10000, 1, -50.00, -49.99, -49.98"},
        {600, "dBm", "wide", 2, 10, 0, 0, 0, "time,record,1000,11000,21000"},
        {600, "dBm/Hz", "long", 2, 10, 0, 0, 0, "time,record,frequency_hz,level_dBm/Hz"},
    };
    recipe.points = 3, recipe.records = 3, recipe.start_frequency = 2000;
    recipe.level = [](long long r, int p) { return INT16(-5000 + 10 * r + p); };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.impedance << " " << c.unit << " row " << c.row);
        recipe.impedance = c.impedance, recipe.day = c.day, recipe.hour = c.hour;
        recipe.minute = c.minute, recipe.second = c.second;
        recipe.month = c.day == 28 ? 2 : c.day == 31 ? 12 : 1;
        make();
        const CsvOptions o = {path(), {}, c.unit, c.layout};
        EXPECT_EQ(line(output([&](FILE *out) { return res_csv(o, out); }), c.row), c.expected);
    }
}

// Every form of time names the record it should; the section is held to the recording.
TEST_F(ResOutput, TimesNameRecords) {
    recipe.records = 100, recipe.points = 2, recipe.hour = 23, recipe.minute = 59;
    make();
    ResultFile file(path());
    const struct {
        const char *from, *to;
        long long first, last; // -1: refused
    } cases[] = {{"#3", "#7", 3, 7},
                 {"+5", "+60", 5, 60},
                 {"23:59:10", "", 10, 99},
                 {"2020-01-02 23:59:30", "2020-01-03T00:00:05", 30, 65},
                 {"23:50:00", "+1000", 0, 99},
                 {"#7", "#3", -1, -1},
                 {"#100", "", -1, -1},
                 {"24:00:00", "", -1, -1},
                 {"2020-02-30 00:00:00", "", -1, -1},
                 {"2021-02-29 00:00:00", "", -1, -1},
                 {"#x", "", -1, -1},
                 {"10 o'clock", "", -1, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " .. " << c.to);
        try {
            const Section s = record_section(file, c.from, c.to);
            EXPECT_EQ(s.first, c.first);
            EXPECT_EQ(s.last, c.last);
        } catch (const ResError &e) {
            EXPECT_EQ(c.first, -1) << e.what();
            EXPECT_EQ(e.status(), RES_USAGE);
        }
    }
}

// Maximum, mean of the linear powers, minimum and occupancy, worked out plainly.
TEST_F(ResOutput, StatsAgainstPlainComputation) {
    recipe.points = 5, recipe.records = 400, recipe.impedance = 135;
    recipe.level = [](long long r, int p) {
        return INT16(-9000 + (r * 7919 + p * 104729) % 6000 - (p == 4 ? 20000 : 0));
    };
    make();
    const struct {
        const char *unit;
        int offset, threshold;
        long long first, last;
    } cases[] = {{"dBm", -647, -60, 0, 399}, {"dBm/Hz", 3353, -100, 17, 250}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.unit);
        StatsOptions o = {path(), {}, c.threshold, c.unit, ""};
        o.section = {"#" + std::to_string(c.first), "#" + std::to_string(c.last)};
        const std::string csv = output([&](FILE *out) { return res_stats(o, out); });
        for (int p = 0; p < recipe.points; ++p) {
            double power = 0, max = -1e9, min = 1e9, above = 0;
            for (long long r = c.first; r <= c.last; ++r) {
                const double db = (recipe.level(r, p) - c.offset) / 100.0;
                power += pow(10.0, db / 10.0), max = std::max(max, db), min = std::min(min, db);
                above += db > c.threshold;
            }
            const double n = double(c.last - c.first + 1);
            double f, mx, mean, mn, occupancy;
            ASSERT_EQ(sscanf(line(csv, p + 1).c_str(), "%lf,%lf,%lf,%lf,%lf", &f, &mx, &mean, &mn,
                             &occupancy),
                      5);
            EXPECT_EQ(f, p * 10000.0);
            EXPECT_NEAR(mx, max, 0.005);
            EXPECT_NEAR(mean, 10.0 * log10(power / n), 0.006);
            EXPECT_NEAR(mn, min, 0.005);
            EXPECT_NEAR(occupancy, above / n, 1e-6);
        }
    }
}

// events against the module's own Find pressed again and again from record 0, on files with
// hits beside Find's pump points and the tool's block edges, in every find mode.
TEST_F(ResOutput, EventsEqualTheModulesRepeatedFind) {
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\events.res");
    const std::vector<Spot> spots = event_spots();
    ResultFileRecipe recipe;
    recipe.points = FIND_POINTS, recipe.records = 4000, recipe.partial_bytes = 7;
    recipe.level = [&](long long r, int p) { return level_at(spots, r, p); };
    const struct {
        int impedance, unit, threshold;
        bool change_on, at_marker;
        size_t at_least; // stops that the case must see, so that it tests something
    } cases[] = {
        {600, LEVEL_UNIT_DBM, -50, false, false, 8}, {600, LEVEL_UNIT_DBM, -50, true, false, 12},
        {600, LEVEL_UNIT_DBM, -50, false, true, 4},  {600, LEVEL_UNIT_DBM, -50, true, true, 6},
        {100, LEVEL_UNIT_DBM, -42, false, false, 8}, {600, LEVEL_UNIT_DBM_HZ, -90, true, false, 12},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.impedance << " ohm, unit " << c.unit << ", change "
                                        << c.change_on << ", marker " << c.at_marker);
        recipe.impedance = c.impedance;
        result_file_write(root.dir() + "/events.res", recipe);
        DisplaySettings d{};
        d.find_threshold = c.threshold, d.change_threshold_on = c.change_on;
        d.change_threshold = 20, d.find_mode = c.at_marker ? FIND_AT_MARKER : 0;
        const std::vector<long long> expected = module_stops(recipe, d, c.unit);
        EventsOptions o = {root.dir() + "/events.res", c.threshold, c.change_on};
        o.at_marker = c.at_marker, o.at_hz = MARKER * 10000.0;
        o.unit = c.unit == LEVEL_UNIT_DBM_HZ ? "dBm/Hz" : "dBm";
        const std::string csv = output([&](FILE *f) { return res_events(o, f); });
        std::vector<long long> stops; // the record column
        for (size_t at = csv.find('\n'); at + 1 < csv.size(); at = csv.find('\n', at + 1))
            stops.push_back(std::stoll(csv.substr(csv.find(',', at) + 1)));
        EXPECT_EQ(stops, expected);
        EXPECT_GE(expected.size(), c.at_least);
    }
}

// A small recording with its axes, legend and title, as stored.
TEST_F(ResOutput, PictureOfASmallRecording) {
    recipe.points = 60, recipe.records = 150, recipe.range = 600000, recipe.frequency_step = 20000;
    recipe.minute = 58;
    recipe.level = [](long long r, int p) {
        return INT16(-9000 + 60 * ((p + r / 10) % 30) + (p == 20 + r / 15 ? 6000 : 0));
    };
    make();
    ASSERT_EQ(res_png({path(), root.dir() + "/small.png", {}, 480, 320}), RES_OK);
    std::vector<uint32_t> pixels;
    Surface s{nullptr, 0, 0, 0};
    ASSERT_TRUE(png_read(root.dir() + "/small.png", &pixels, &s.width, &s.height));
    s.pixels = pixels.data(), s.stride = s.width;
    EXPECT_TRUE(golden_match(s, "res_small_recording"));
}

// A single record's burst in a day of quiet records still shows in a picture of 232 rows.
TEST_F(ResOutput, OverviewKeepsAOneRecordBurst) {
    recipe.points = 10, recipe.records = 86400;
    for (long long burst : {-1LL, 0LL, 40001LL, 86399LL}) {
        SCOPED_TRACE(burst);
        recipe.level = [burst](long long r, int p) {
            return INT16(r == burst && p == 6 ? 0 : -9000);
        };
        make();
        ASSERT_EQ(res_png({path(), root.dir() + "/day.png", {}, 400, 300}), RES_OK);
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(png_read(root.dir() + "/day.png", &pixels, &width, &height));
        const uint32_t white = pixel_from_colorref(palette_colour(PALETTE_SIZE - 1));
        std::vector<int> rows; // rows of the picture area that show the white level
        for (int y = 0; y < height; ++y)
            for (int x = 74; x < width - 96; ++x)
                if (pixels[size_t(y * width + x)] == white) rows.push_back(y);
        if (burst < 0) {
            EXPECT_TRUE(rows.empty());
            continue;
        }
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front(), rows.back()) << "the burst spreads over rows";
        const int row = rows.front() - 36;
        const RowSpan span = picture_row_records(recipe.records, 224, row);
        EXPECT_TRUE(span.first <= burst && burst < span.end) << "row " << row;
    }
}

} // namespace
