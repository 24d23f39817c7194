// Find: its results against a plain record-by-record scan over random files, the pump points and
// "Stop", the keys it turns off while it runs and after it, and failing reads.
#include <gtest/gtest.h>

#include <stdio.h>

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
constexpr long long SEGMENT = FIND_PUMP_RECORDS, EDGE_RECORDS = 4 * SEGMENT + 60;
const int KEYS[] = {ID_GRAPH, ID_SPECTROGRAM, ID_MARKER_LEFT, ID_MARKER_RIGHT};

struct Spot {
    long long record;
    int point;
    INT16 level;
};
// The spots' levels, and `rest` (or -120 dB, below every threshold used) everywhere else.
Level spots(std::vector<Spot> list, Level rest = nullptr) {
    return [list, rest](long long r, int p) {
        for (const Spot &s : list)
            if (s.record == r && s.point == p) return s.level;
        return rest ? rest(r, p) : INT16(-12000);
    };
}

class Find : public ::testing::Test {
protected:
    TempDeviceRoot root;
    MessageLog log;
    HWND dialog = nullptr;
    ResultFileRecipe recipe;
    int dispatches = 0;            // of PUMPED while the search runs
    bool key_seen_on = false;      // at that dispatch
    std::function<void()> on_pump; // more work for the pump's dispatch

    void SetUp() override {
        dialog = log.create("dialog", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        for (int id : KEYS)
            log.create("key", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog, id);
        log.handle("dialog", [this](HWND, UINT m, WPARAM, LPARAM, LRESULT *) {
            if (m != PUMPED || !(wfal.run_state & RUN_FINDING)) return m == PUMPED;
            dispatches++, key_seen_on = keys() != "0000";
            if (on_pump) on_pump();
            return true;
        });
        wfal.main_dialog = dialog, wfal.run_state = RUN_LOADED, wfal.stop_pressed = FALSE;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\find.res");
        wfal.find = FindParams{-5000, FIND_NO_CHANGE, FIND_ALL_POINTS};
    }
    void TearDown() override { wl_fault_reset(), wfal.main_dialog = nullptr, wfal.run_state = 0; }

    std::string path() const { return root.dir() + "/find.res"; }
    void make(long long records, Level level, int points = 300) {
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
        const size_t descriptors = open_descriptors();
        const BOOL found = find_run();
        EXPECT_EQ(open_descriptors(), descriptors) << "the file was left open";
        EXPECT_EQ(wfal.run_state, RUN_LOADED);
        pump_pending(); // PUMPED, if no pump took it
        EXPECT_EQ(found != FALSE, wfal.view.follow_cursor != 0);
        EXPECT_TRUE(found || wfal.view.cursor_record == cursor) << "a failed search moved it";
        return found ? wfal.view.cursor_record : -1;
    }
    // The keys' enabling as '1' and '0' in the order of KEYS, after setting it to `set`.
    std::string keys(const char *set = nullptr) {
        std::string on;
        for (size_t k = 0; k < 4; k++) {
            if (set) EnableWindow(GetDlgItem(dialog, KEYS[k]), set[k] == '1');
            on += IsWindowEnabled(GetDlgItem(dialog, KEYS[k])) ? '1' : '0';
        }
        return on;
    }
};

// The pump comes when the later record's index reaches a multiple of 300, before that record is
// compared; the first pair of a search never pumps; every key is off meanwhile. A Stop pressed at
// the pump ends the search, one from before it is forgotten. Records that a frozen test writes at
// the pump (up to 1000) are searched; a file that ends before the first pump is not read on.
TEST_F(Find, PumpsEvery300Records) {
    enum { NO_STOP, STOP_BEFORE, STOP_AT_PUMP };
    const struct {
        int cursor, records, hit, stop, found, dispatches;
    } cases[] = {
        {0, 1000, 299, STOP_AT_PUMP, 299, 0},   {0, 1000, 300, STOP_AT_PUMP, -1, 1},
        {299, 1000, 300, STOP_AT_PUMP, 300, 0}, {299, 1000, 599, STOP_AT_PUMP, 599, 0},
        {299, 1000, 600, STOP_AT_PUMP, -1, 1},  {598, 1000, 599, STOP_AT_PUMP, 599, 0},
        {598, 1000, 600, STOP_AT_PUMP, -1, 1},  {599, 1000, 600, STOP_AT_PUMP, 600, 0},
        {599, 1000, 899, STOP_AT_PUMP, 899, 0}, {599, 1000, 900, STOP_AT_PUMP, -1, 1},
        {0, 1000, 999, STOP_AT_PUMP, -1, 1},    {0, 1000, -1, NO_STOP, -1, 1},
        {0, 1000, 450, STOP_BEFORE, 450, 1},    {0, 300, 700, NO_STOP, 700, 1},
        {0, 450, 700, NO_STOP, 700, 1},         {0, 150, 700, NO_STOP, -1, 0},
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
        wfal.stop_pressed = c.stop == STOP_BEFORE, key_seen_on = false;
        keys("1111");
        EXPECT_EQ(run(c.cursor, 7), c.found);
        EXPECT_EQ(dispatches, c.dispatches);
        EXPECT_EQ(wfal.stop_pressed != FALSE, c.stop == STOP_AT_PUMP && c.dispatches);
        EXPECT_FALSE(key_seen_on) << "a key stayed on during the search";
    }
}

// The keys after a search (GRAPH, SPECTROGRAM, MARKER_LEFT, MARKER_RIGHT): the marker keys follow
// the marker. No search from past the last record, or when the open or the first read fails; a
// read that fails later (from the 2nd for good) ends the search as the end of the file does.
TEST_F(Find, KeysAndFailures) {
    const WlFaultOp READ = WL_FAULT_READ;
    const struct {
        int points, records, hit, cursor, marker;
        WlFaultOp op;
        int nth, found;
        const char *keys;
    } cases[] = {
        // clang-format off
        {300, 3, -1, 0, 0, READ, 0, -1, "1101"},    {300, 3, -1, 0, 299, READ, 0, -1, "1110"},
        {1, 3, -1, 0, 0, READ, 0, -1, "1100"},      {300, 5, 4, 4, 3, READ, 0, -1, "1111"},
        {300, 5, 4, 5, 3, READ, 0, -1, "0011"},     {300, 5, 4, 0, 3, WL_FAULT_OPEN, 1, -1, "0011"},
        {300, 5, 4, 0, 3, READ, 1, -1, "0011"},     {300, 1000, 1, 0, 5, READ, 2, 1, "1111"},
        {300, 1000, 299, 0, 5, READ, 2, 299, "1111"}, {300, 1000, 300, 0, 5, READ, 2, -1, "1111"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(&c - cases));
        make(c.records, spots({{c.hit, 0, -4000}}), c.points);
        keys("0011"); // a search turns each key it must change
        if (c.nth) wl_fault_fail(c.op, c.nth, c.nth > 1);
        EXPECT_EQ(run(c.cursor, c.marker), c.found);
        EXPECT_EQ(keys(), c.keys);
        wl_fault_reset();
    }
}

// The search in its plainest form: each level of the whole records after the cursor's against the
// same point of the record before, in file order; the found record or -1.
long long plain_find(const Level &level, int points, long long records, long long cursor,
                     const FindParams &p) {
    const bool change = p.change_threshold != FIND_NO_CHANGE;
    for (long long r = cursor + 1; r < records; ++r)
        for (int n = 0; n < points; ++n) {
            const int e = level(r - 1, n), l = level(r, n), t = p.threshold;
            if ((p.point >= 0 && n != p.point) || (change && abs(l - e) < p.change_threshold))
                continue;
            if ((e > t && l < t) || (e < t && l > t) || (change && (l > t || e > t))) return r;
        }
    return -1;
}

UINT32 mix(UINT32 seed, long long r, int p) {
    const UINT32 x = (seed ^ UINT32(r * 2654435761u) ^ UINT32(p * 40503u)) * 0x7feb352d;
    return (x ^ (x >> 15)) * 0x846ca68b >> 8;
}

struct ScanCase {
    int points, records, partial_bytes;
    FindParams params;
    int span, low; // random levels in [low, low + span), planted spots aside
    std::vector<Spot> planted;
    std::vector<int> cursors; // where the sequence of finds starts
};

// Hits around the pumps (300, 600, 900, 1200), where the search reads the next segment, many among
// the last levels before them, and in the last record of a file that ends inside a segment.
// clang-format off
const std::vector<Spot> AROUND_SEGMENTS = {{1, 0, 0}, {297, 17, 0}, {299, 299, 0}, {301, 150, 0},
    {599, 200, 0}, {601, 1, 0}, {899, 250, 0}, {900, 5, 0}, {4 * SEGMENT - 1, 3, 0},
    {4 * SEGMENT, 299, 0}, {4 * SEGMENT + 1, 100, 0}, {EDGE_RECORDS - 1, 299, 0}};
const int NO = FIND_NO_CHANGE;
const ScanCase SCAN_CASES[] = {
    {300, EDGE_RECORDS, 0, {-5000, NO, -1}, 2000, -9000, AROUND_SEGMENTS, {0, 1, 298, 299, 300, 598, 599, 899, 900, 901, 1000}},
    {300, EDGE_RECORDS, 0, {-5000, NO, 0}, 2000, -9000, AROUND_SEGMENTS, {0, 299, 900}},
    {300, 700, 0, {-6000, 2000, -1}, 4000, -8000, {}, {0, 250}},       // change 20 dB
    {300, 400, 0, {-32768, 64000, -1}, 65536, -32768, {}, {0}},         // full range, change 640 dB
    {300, 900, 0, {0, NO, 299}, 65536, -32768, {}, {0}},                // full range at the marker
    {1, 700, 0, {32766, NO, -1}, 3, 32765, {{5, 0, 32767}, {6, 0, 32767}, {7, 0, -32768}, {299, 0, 32767}, {650, 0, 32767}}, {0}},
    {800, 5, 0, {32767, 0, -1}, 65536, -32768, {}, {0}},
    {800, 50, 0, {-32767, NO, -1}, 3, -32768, {}, {0}},
    {800, 40, 0, {-32768, NO, -1}, 0, -32768, {{3, 799, -32767}, {30, 0, 32767}}, {0}},
    {800, 40, 0, {-32768, 1, 799}, 0, -32768, {{3, 799, -32767}, {4, 799, -32767}, {30, 799, -32768}}, {0}},
    {3, 60, 0, {-40000, 65535, -1}, 0, -32768, {{10, 1, 32767}, {11, 1, 32767}, {59, 2, 32767}}, {0}},
    {3, 10, 0, {-40000, 0, -1}, 0, -32768, {}, {0}},                    // below the 16-bit range
    {3, 60, 0, {-40000, 65536, -1}, 0, -32768, {{10, 1, 32767}}, {0}},  // change past 16 bits
    {50, 20, 0, {-5000, -100, -1}, 0, -6000, {{12, 49, -4999}}, {0}},   // change below 0
    {50, 20, 0, {40000, NO, -1}, 65536, -32768, {}, {0}},               // above the 16-bit range
    {50, 5, 0, {-5000, NO, -1}, 100, -6000, {{4, 49, -4000}}, {0, 3}},  // hit in the last record
    {50, 5, 99, {-5000, NO, -1}, 100, -6000, {{5, 0, -4000}}, {0, 4}},  // in a partial record
};
// clang-format on

TEST_F(Find, MatchesARecordByRecordScan) {
    for (const ScanCase &c : SCAN_CASES) {
        recipe.partial_bytes = c.partial_bytes;
        const UINT32 seed = UINT32(c.low * 31 + c.span);
        make(c.records,
             spots(c.planted,
                   [&c, seed](long long r, int p) {
                       return INT16(c.span ? c.low + int(mix(seed, r, p) % UINT32(c.span)) : c.low);
                   }),
             c.points);
        wfal.find = c.params;
        for (int start : c.cursors) {
            std::vector<long long> expected, got;
            for (long long at = start;
                 (at = plain_find(recipe.level, c.points, c.records, at, c.params)) >= 0;)
                expected.push_back(at);
            for (long long at = start;
                 got.size() <= expected.size() && (at = run(int(at), c.params.point)) >= 0;)
                got.push_back(at);
            EXPECT_EQ(got, expected) << "case " << &c - SCAN_CASES << ", from " << start;
        }
    }
}

} // namespace
