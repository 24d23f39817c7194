// What the tool computes and the files it refuses: the statistics against a plain computation,
// the events against the module's own Find, repair with every length of torn tail, and hostile
// files through every command.
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <strsafe.h>

#include "commands.h"
#include "module/state.h"
#include "result_reader.h"
#include "spectrogram/find.h"
#include "spectrogram/level_offset.h"
#include "spectrogram/spectrum_graph.h"
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
    const std::string s(text, size);
    return free(text), s;
}

constexpr int FIND_POINTS = 300;
constexpr int MARKER = 150;
// Find pumps every 300 records; the tool's blocks hold B records (1747 of 300 points).
constexpr long long B = RES_BLOCK_BYTES / (2 * FIND_POINTS);
const long long EDGES[] = {1, 299, 300, 301, 599, 600, B - 1, B, B + 1, 2 * B - 1, 2 * B, 3999};

using Spots = std::map<std::pair<long long, int>, INT16>; // record and point: level

// Quiet records with, around each edge e, one kind of event at record e: a crossing of -50 dB
// at the marker or elsewhere, or a change of 25 dB above -50 dB that crosses nothing.
Spots event_spots() {
    Spots spots;
    int kind = 0;
    for (long long e : EDGES) {
        const int point = kind % 2 ? MARKER : (kind * 37) % FIND_POINTS;
        if (kind % 3 == 2) {
            spots[{e - 1, point}] = -3000; // -30 dB, then -5 dB: above it, no crossing
            for (long long r = e; r < e + 2; ++r)
                spots[{r, point}] = -500;
        } else {
            spots[{e, point}] = -4000;
        }
        ++kind;
    }
    return spots;
}

INT16 level_at(const Spots &spots, long long r, int p) {
    const auto s = spots.find({r, p});
    if (s != spots.end()) return s->second;
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

constexpr int RECORD = 8; // bytes of a record of 4 points

// A command's status, and the line it failed with.
int run(const std::function<int()> &command, std::string *line = nullptr) {
    try {
        return command();
    } catch (const ResError &e) {
        if (line) *line = e.what();
        return e.status();
    }
}

// Every command on `file`; the last four write `out`.
std::vector<std::function<int()>> every_command(const std::string &file, const std::string &out,
                                                FILE *null, FILE *err) {
    const CsvOptions csv = {file, {}, "dBm", "wide"};
    const StatsOptions stats = {file, {}, -60, "dBm", out};
    const PngOptions png = {file, out, {}, 400, 300, -90, 0, "dBm"};
    const CopyOptions cut = {file, out, {"#0", "#1"}, false, ""},
                      repair = {file, out, {}, false, ""};
    return {[=] { return res_info({file}, true, null, err); },
            [=] { return res_check({file}, null, err); },
            [=] { return res_csv(csv, null); },
            [=] { return res_events({file}, null); },
            [=] { return res_stats(stats, null); },
            [=] { return res_png(png); },
            [=] { return res_cut(cut); },
            [=] { return res_repair(repair); }};
}

class Res : public ::testing::Test {
protected:
    TempDeviceRoot root;
    ResultFileRecipe recipe;
    FILE *null = fopen("/dev/null", "w");
    ~Res() override { fclose(null); }
    std::string path(const std::string &name = "out.res") const { return root.dir() + "/" + name; }
};

// Maximum, mean of the linear powers, minimum and occupancy, worked out plainly.
TEST_F(Res, StatsAgainstPlainComputation) {
    recipe.points = 5, recipe.records = 400, recipe.impedance = 135;
    recipe.level = [](long long r, int p) {
        return INT16(-9000 + (r * 7919 + p * 104729) % 6000 - (p == 4 ? 20000 : 0));
    };
    result_file_write(path(), recipe);
    const struct {
        const char *unit;
        int offset, threshold;
        long long first, last;
    } cases[] = {{"dBm", -647, -60, 0, 399}, {"dBm/Hz", 3353, -100, 17, 250}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.unit);
        StatsOptions o = {path(), {}, c.threshold, c.unit, ""};
        o.section = {"#" + std::to_string(c.first), "#" + std::to_string(c.last)};
        std::istringstream csv(output([&](FILE *out) { return res_stats(o, out); }));
        std::string row;
        std::getline(csv, row); // the column names
        for (int p = 0; p < recipe.points; ++p) {
            double power = 0, max = -1e9, min = 1e9, above = 0;
            for (long long r = c.first; r <= c.last; ++r) {
                const double db = (recipe.level(r, p) - c.offset) / 100.0;
                power += pow(10.0, db / 10.0), max = std::max(max, db), min = std::min(min, db);
                above += db > c.threshold;
            }
            const double n = double(c.last - c.first + 1);
            double f, mx, mean, mn, occupancy;
            std::getline(csv, row);
            ASSERT_EQ(sscanf(row.c_str(), "%lf,%lf,%lf,%lf,%lf", &f, &mx, &mean, &mn, &occupancy),
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
TEST_F(Res, EventsEqualTheModulesRepeatedFind) {
    StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\events.res");
    const Spots spots = event_spots();
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

// Repair keeps the header and the whole records, whatever the length of the torn tail; check
// tells which files need it.
TEST_F(Res, RepairDropsTornTails) {
    recipe.points = RECORD / 2, recipe.records = 10;
    recipe.level = [](long long r, int p) { return INT16(-7000 + 100 * r + p); };
    for (int torn = 0; torn < RECORD; ++torn) {
        SCOPED_TRACE(torn);
        recipe.partial_bytes = torn;
        result_file_write(path("src.res"), recipe);
        const std::string source = root.read("src.res");
        ASSERT_EQ(run([&] {
                      return res_repair({path("src.res"), path("fixed.res"), {}, false, ""});
                  }),
                  RES_OK);
        EXPECT_EQ(root.read("fixed.res"), source.substr(0, RESULT_HEADER_SIZE + 10 * RECORD));
        EXPECT_EQ(root.read("src.res"), source);
        EXPECT_EQ(res_check({path("src.res"), path("fixed.res")}, null, null),
                  torn ? RES_ATTENTION : RES_OK);
    }
}

// Every command refuses each hostile file with one line naming it and what is wrong, status 2,
// and leaves it as it was; no output file is left behind.
TEST_F(Res, HostileFilesThroughEveryCommand) {
    recipe.points = RECORD / 2;
    const ResultHeader header = result_file_header(recipe);
    const std::string good(reinterpret_cast<const char *>(&header), sizeof header);
    const auto patched = [&](size_t at, const std::string &bytes) {
        std::string h = good;
        h.replace(at, bytes.size(), bytes);
        return h + std::string(3 * size_t(RECORD), '\x7f');
    };
    const std::pair<std::string, const char *> files[] = {
        {"", "too short for a result header (0 of 1320 bytes)"},
        {good.substr(0, 1319), "too short for a result header (1319 of 1320"},
        {std::string(4000, '\0'), "not a result file"},
        {"\x89PNG\r\n" + std::string(2000, 'x'), "not a result file"},
        {patched(60, std::string("\x00\x04\x00\x00", 4)), "header size field is 1024, not 1320"},
        {patched(196, std::string(4, '\0')), "points field is 0, outside 1..800"},
        {patched(196, std::string("\x21\x03\x00\x00", 4)), "points field is 801"},
        {patched(196, "\xff\xff\xff\xff"), "points field is -1"},
    };
    const std::string bad = path("bad.res");
    for (const auto &[bytes, why] : files) {
        SCOPED_TRACE(why);
        root.write("bad.res", bytes);
        char *err_text = nullptr;
        size_t err_size = 0;
        FILE *err = open_memstream(&err_text, &err_size);
        for (const auto &command : every_command(bad, path("new.out"), null, err)) {
            std::string line;
            EXPECT_EQ(run(command, &line), RES_BAD_FILE);
            fflush(err);
            if (line.empty()) line = std::string(err_text, err_size), rewind(err);
            EXPECT_EQ(line.rfind(bad + ": ", 0), 0u) << line;
            EXPECT_NE(line.find(why), std::string::npos) << line;
            EXPECT_LE(std::count(line.begin(), line.end(), '\n'), 1) << line;
            EXPECT_EQ(root.read("bad.res"), bytes);
            EXPECT_FALSE(root.exists("new.out"));
        }
        fclose(err), free(err_text);
    }
}

} // namespace
