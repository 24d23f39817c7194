// Find: its results against a plain record-by-record scan, the pumping schedule and "Stop", the
// keys it disables and restores, and failing reads.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include <strsafe.h>
#include <winlayer.h>

#include "module/state.h"
#include "spectrogram/find.h"
#include "support/descriptors.h"
#include "support/message_log.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

namespace {

using Level = std::function<INT16(long long, int)>;
constexpr UINT PUMPED = WM_USER + 50; // posted before a search; dispatched by its first pump
constexpr INT16 QUIET = -12000;       // below every threshold used
const int KEYS[] = {ID_GRAPH, ID_SPECTROGRAM, ID_MARKER_LEFT, ID_MARKER_RIGHT};
// The first pump point of a search from record 0: the first read takes in the records before it.
constexpr long long SEGMENT = FIND_PUMP_RECORDS;

// The listed (record, point, level) spots, and `rest` (or QUIET) everywhere else.
struct Spot {
    long long record;
    int point;
    INT16 level;
};
Level spots(std::vector<Spot> list, Level rest = nullptr) {
    return [list, rest](long long r, int p) {
        for (const Spot &s : list)
            if (s.record == r && s.point == p) return s.level;
        return rest ? rest(r, p) : QUIET;
    };
}

class Find : public ::testing::Test {
protected:
    TempDeviceRoot root;
    MessageLog log;
    HWND dialog = nullptr;
    ResultFileRecipe recipe;
    int dispatches = 0;            // of PUMPED while the search is marked
    bool key_seen_on = true;       // any key enabled at that dispatch
    std::function<void()> on_pump; // more work for the pump's dispatch

    void SetUp() override {
        wl_fault_reset();
        dialog = log.create("dialog", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        for (int id : KEYS)
            log.create("key", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog, id);
        log.handle("dialog", [this](HWND, UINT m, WPARAM, LPARAM, LRESULT *) {
            if (m != PUMPED || !(wfal.run_state & RUN_FINDING)) return m == PUMPED;
            dispatches++;
            key_seen_on = keys() != "0000";
            if (on_pump) on_pump();
            return true;
        });
        wfal.main_dialog = dialog, wfal.run_state = RUN_LOADED, wfal.stop_pressed = FALSE;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\find.res");
        wfal.find = FindParams{-5000, FIND_NO_CHANGE, FIND_ALL_POINTS};
    }
    void TearDown() override { wl_fault_reset(), wfal.main_dialog = nullptr, wfal.run_state = 0; }

    std::string path() const { return root.dir() + "/find.res"; }
    void make(long long records, Level level = spots({}), int points = 300) {
        recipe.records = records, recipe.points = points, recipe.level = level;
        result_file_write(path(), recipe);
    }

    // Find from `cursor` with PUMPED waiting in the queue; the found record, or -1.
    long long run(int cursor, int marker = 0) {
        ViewState &v = wfal.view = ViewState{};
        v.points = recipe.points, v.record_size = 2 * v.points;
        v.data_offset = RESULT_HEADER_SIZE, v.cursor_record = cursor, v.marker_point = marker;
        dispatches = 0;
        PostMessageW(dialog, PUMPED, 0, 0);
        size_t descriptors = open_descriptors();
        BOOL found = find_run();
        EXPECT_EQ(open_descriptors(), descriptors) << "the file was left open";
        EXPECT_EQ(wfal.run_state, RUN_LOADED);
        pump_pending(); // PUMPED, if no pump took it
        EXPECT_EQ(found != FALSE, wfal.view.follow_cursor != 0);
        EXPECT_TRUE(found || wfal.view.cursor_record == cursor) << "a failed search moved it";
        return found ? wfal.view.cursor_record : -1;
    }

    // The keys' enabling, one character each in the order of KEYS.
    void set_keys(const std::string &on) {
        for (size_t k = 0; k < 4; k++)
            EnableWindow(GetDlgItem(dialog, KEYS[k]), on[k] == '1');
    }
    std::string keys() {
        std::string on;
        for (int id : KEYS)
            on += IsWindowEnabled(GetDlgItem(dialog, id)) ? '1' : '0';
        return on;
    }
};

// The pump comes when the later record's index reaches a multiple of 300, before that record is
// compared; the first pair of a search never pumps, and while it pumps every key is off. A frozen
// test goes on writing meanwhile: records that arrive are searched.
TEST_F(Find, PumpsEvery300Records) {
    enum { NO_STOP, STOP_BEFORE, STOP_AT_PUMP };
    // records: in the file until the pump writes the rest of 1000; hit: the only crossing.
    const struct {
        int cursor, records, hit, stop, found, dispatches;
    } cases[] = {
        {0, 1000, 299, STOP_AT_PUMP, 299, 0},   {0, 1000, 300, STOP_AT_PUMP, -1, 1},
        {299, 1000, 300, STOP_AT_PUMP, 300, 0}, {299, 1000, 599, STOP_AT_PUMP, 599, 0},
        {299, 1000, 600, STOP_AT_PUMP, -1, 1},  {598, 1000, 599, STOP_AT_PUMP, 599, 0},
        {598, 1000, 600, STOP_AT_PUMP, -1, 1},  {599, 1000, 600, STOP_AT_PUMP, 600, 0},
        {599, 1000, 899, STOP_AT_PUMP, 899, 0}, {599, 1000, 900, STOP_AT_PUMP, -1, 1},
        {0, 1000, 999, STOP_AT_PUMP, -1, 1},    {0, 1000, -1, NO_STOP, -1, 1},
        {0, 1000, 450, STOP_BEFORE, 450, 1}, // a Stop from before the search is forgotten
        {0, 300, 700, NO_STOP, 700, 1},         {0, 450, 700, NO_STOP, 700, 1},
        {0, 150, 700, NO_STOP, -1, 0}, // the file ends before the first pump: no pump, no more
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "from " << c.cursor << " hit " << c.hit << " of " << c.records);
        make(c.records, spots({{c.hit, 0, -4000}}));
        on_pump = [this, &c] {
            if (c.stop == STOP_AT_PUMP) wfal.stop_pressed = TRUE;
            FILE *f = fopen(path().c_str(), "ab");
            for (long long r = c.records; r < 1000; ++r)
                fwrite(result_file_record(recipe, r).data(), 2, size_t(recipe.points), f);
            fclose(f);
        };
        wfal.stop_pressed = c.stop == STOP_BEFORE;
        set_keys("1111");
        EXPECT_EQ(run(c.cursor, 7), c.found);
        EXPECT_EQ(dispatches, c.dispatches);
        EXPECT_EQ(wfal.stop_pressed != FALSE, c.stop == STOP_AT_PUMP && c.dispatches);
        EXPECT_FALSE(c.dispatches && key_seen_on) << "a key stayed on during the search";
    }
}

// The keys after a search (GRAPH, SPECTROGRAM, MARKER_LEFT, MARKER_RIGHT): the marker keys follow
// the marker. No search from past the last record, or when the open or the first read fails; a
// read that fails later ends the search as the end of the file does.
TEST_F(Find, KeysAndFailures) {
    const WlFaultOp OPEN = WL_FAULT_OPEN, READ = WL_FAULT_READ;
    // hit: the later record of the only crossing, -1 none; nth: 0 no fault, below 0 failing from
    // the -nth on for good.
    const struct {
        const char *name;
        int points, records, hit, cursor, marker;
        WlFaultOp op;
        int nth, found;
        const char *keys;
    } cases[] = {
        {"marker on point 0", 300, 3, -1, 0, 0, READ, 0, -1, "1101"},
        {"marker on the last point", 300, 3, -1, 0, 299, READ, 0, -1, "1110"},
        {"marker inside", 300, 3, -1, 0, 7, READ, 0, -1, "1111"},
        {"a single point", 1, 3, -1, 0, 0, READ, 0, -1, "1100"},
        {"cursor on the last record", 300, 5, 4, 4, 3, READ, 0, -1, "1111"},
        {"cursor past the end", 300, 5, 4, 5, 3, READ, 0, -1, "0011"},
        {"open fails", 300, 5, 4, 0, 3, OPEN, 1, -1, "0011"},
        {"first read fails", 300, 5, 4, 0, 3, READ, 1, -1, "0011"},
        {"later reads fail, hit at 1", 300, 1000, 1, 0, 5, READ, -2, 1, "1111"},
        {"later reads fail, hit before the pump", 300, 1000, SEGMENT - 1, 0, 5, READ, -2,
         SEGMENT - 1, "1111"},
        {"later reads fail, hit after", 300, 1000, SEGMENT, 0, 5, READ, -2, -1, "1111"},
        {"later reads fail, hit last", 300, 1000, 999, 0, 5, READ, -2, -1, "1111"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        make(c.records, spots({{c.hit, 0, -4000}}), c.points);
        set_keys("0011"); // a search turns each key it must change
        wl_fault_reset();
        if (c.nth) wl_fault_fail(c.op, abs(c.nth), c.nth < 0);
        EXPECT_EQ(run(c.cursor, c.marker), c.found);
        EXPECT_EQ(keys(), c.keys);
    }
}

// The search in its plainest form: each level of the file's whole records after the first against
// the same point of the record before, in file order; the found record or -1.
long long plain_find(const std::vector<INT16> &level, int points, long long cursor,
                     const FindParams &p) {
    const bool change = p.change_threshold != FIND_NO_CHANGE;
    const size_t end = level.size() / points * points;
    for (size_t n = size_t(cursor + 1) * points; n < end; ++n) {
        int e = level[n - points], l = level[n], t = p.threshold;
        if (p.point >= 0 && int(n % points) != p.point) continue;
        if (change && abs(l - e) < p.change_threshold) continue;
        if ((e > t && l < t) || (e < t && l > t) || (change && (l > t || e > t))) return n / points;
    }
    return -1;
}

UINT32 mix(UINT32 seed, long long r, int p) {
    UINT32 x = seed ^ UINT32(r * 2654435761u) ^ UINT32(p * 40503u);
    x = (x ^ (x >> 16)) * 0x7feb352d;
    x = (x ^ (x >> 15)) * 0x846ca68b;
    return x ^ (x >> 16);
}

struct ScanCase {
    const char *name;
    int points, records, partial_bytes;
    FindParams params;
    int span, low; // random levels in [low, low + span), planted spots aside
    std::vector<Spot> planted;
    std::vector<int> cursors; // where the sequence of finds starts
};

// Hits around the pumps (300, 600, 900, 1200), where the search reads the next segment, many
// among the last levels before them, which the search compares in a chunk of their own, and in
// the last record of a file that ends inside a segment.
constexpr long long EDGE_RECORDS = 4 * SEGMENT + 60;
// clang-format off
const std::vector<Spot> AROUND_SEGMENTS = {
    {1, 0, 0}, {297, 17, 0}, {299, 299, 0}, {301, 150, 0}, {599, 200, 0}, {601, 1, 0},
    {899, 250, 0}, {900, 5, 0}, {4 * SEGMENT - 1, 3, 0}, {4 * SEGMENT, 299, 0},
    {4 * SEGMENT + 1, 100, 0}, {EDGE_RECORDS - 1, 299, 0}};

const ScanCase SCAN_CASES[] = {
    {"hits on segment edges", 300, EDGE_RECORDS, 0, {-5000, FIND_NO_CHANGE, -1}, 2000, -9000,
     AROUND_SEGMENTS, {0, 1, 298, 299, 300, 598, 599, 899, 900, 901, 1000}},
    {"random levels, change 20 dB", 300, 700, 0, {-6000, 2000, -1}, 4000, -8000, {}, {0, 250}},
    {"full range, change 640 dB", 300, 400, 0, {-32768, 64000, -1}, 65536, -32768, {}, {0}},
    {"full range at the marker", 300, 900, 0, {0, FIND_NO_CHANGE, 299}, 65536, -32768, {}, {0}},
    {"marker at point 0", 300, EDGE_RECORDS, 0, {-5000, FIND_NO_CHANGE, 0}, 2000, -9000,
     AROUND_SEGMENTS, {0, 299, 900}},
    {"extremes, threshold 32766", 1, 700, 0, {32766, FIND_NO_CHANGE, -1}, 3, 32765,
     {{5, 0, 32767}, {6, 0, 32767}, {7, 0, -32768}, {299, 0, 32767}, {650, 0, 32767}}, {0}},
    {"extremes, threshold 32767", 800, 5, 0, {32767, 0, -1}, 65536, -32768, {}, {0}},
    {"extremes, threshold -32767", 800, 50, 0, {-32767, FIND_NO_CHANGE, -1}, 3, -32768, {}, {0}},
    {"extremes, threshold -32768", 800, 40, 0, {-32768, FIND_NO_CHANGE, -1}, 0, -32768,
     {{3, 799, -32767}, {30, 0, 32767}}, {0}},
    {"extremes, threshold -32768, change 1", 800, 40, 0, {-32768, 1, 799}, 0, -32768,
     {{3, 799, -32767}, {4, 799, -32767}, {30, 799, -32768}}, {0}},
    {"below the 16-bit range, change 655.35 dB", 3, 60, 0, {-40000, 65535, -1}, 0, -32768,
     {{10, 1, 32767}, {11, 1, 32767}, {59, 2, 32767}}, {0}},
    {"below the 16-bit range, change 0", 3, 10, 0, {-40000, 0, -1}, 0, -32768, {}, {0}},
    {"change threshold 655.36 dB", 3, 60, 0, {-40000, 65536, -1}, 0, -32768, {{10, 1, 32767}}, {0}},
    {"change threshold in use below 0", 50, 20, 0, {-5000, -100, -1}, 0, -6000,
     {{12, 49, -4999}}, {0}},
    {"above the 16-bit range", 50, 20, 0, {40000, FIND_NO_CHANGE, -1}, 65536, -32768, {}, {0}},
    {"hit in the last record", 50, 5, 0, {-5000, FIND_NO_CHANGE, -1}, 100, -6000,
     {{4, 49, -4000}}, {0, 3}},
    {"hit in a partial record", 50, 5, 99, {-5000, FIND_NO_CHANGE, -1}, 100, -6000,
     {{5, 0, -4000}}, {0, 4}},
};
// clang-format on

TEST_F(Find, MatchesARecordByRecordScan) {
    for (const ScanCase &c : SCAN_CASES) {
        recipe.partial_bytes = c.partial_bytes;
        UINT32 seed = UINT32(c.low * 31 + c.span);
        make(c.records,
             spots(c.planted,
                   [&c, seed](long long r, int p) {
                       return INT16(c.span ? c.low + int(mix(seed, r, p) % UINT32(c.span)) : c.low);
                   }),
             c.points);
        const std::string file = root.read("find.res");
        std::vector<INT16> levels((file.size() - RESULT_HEADER_SIZE) / 2);
        memcpy(levels.data(), file.data() + RESULT_HEADER_SIZE, 2 * levels.size());
        wfal.find = c.params;
        for (int start : c.cursors) {
            std::vector<long long> expected, got;
            for (long long at = start; (at = plain_find(levels, c.points, at, c.params)) >= 0;)
                expected.push_back(at);
            for (long long at = start;
                 got.size() <= expected.size() && (at = run(int(at), c.params.point)) >= 0;)
                got.push_back(at);
            EXPECT_EQ(got, expected) << c.name << ", from " << start;
        }
    }
}

// One hit, so that the search from the cursor has to get there: the last pair of a segment, the
// pair made of the record kept from it and the first one read after it, and the one after that.
// The levels -50 dB, -51 dB, -49 dB before and at the hit cross the threshold only in that pair.
TEST_F(Find, MatchesARecordByRecordScanAcrossSegments) {
    for (long long at : {2 * SEGMENT - 1, 2 * SEGMENT, 2 * SEGMENT + 1, 3 * SEGMENT - 1,
                         3 * SEGMENT, EDGE_RECORDS - 1}) {
        for (int point : {0, 299}) {
            make(EDGE_RECORDS,
                 spots({{at - 2, point, -5000}, {at - 1, point, -5100}, {at, point, -4900}}));
            for (int start : {0, 299}) {
                for (int marker : {FIND_ALL_POINTS, point}) {
                    wfal.find = FindParams{-5000, FIND_NO_CHANGE, marker};
                    EXPECT_EQ(run(start, marker), at)
                        << at << "/" << point << " from " << start << " at " << marker;
                }
            }
        }
    }
}

} // namespace
