// Find: the pairs it compares and what finds a record, the pumping schedule and "Stop", the
// windows and keys it disables and restores, reads that fail, and its results against a plain
// record-by-record scan of generated files.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <strsafe.h>
#include <winlayer.h>

#include "module/state.h"
#include "spectrogram/find.h"
#include "support/message_log.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

namespace {

constexpr UINT PUMPED = WM_USER + 50; // posted before a search; dispatched by its first pump
constexpr INT16 QUIET = -12000;       // below every threshold used, never changing
const int KEYS[] = {ID_GRAPH, ID_SPECTROGRAM, ID_MARKER_LEFT, ID_MARKER_RIGHT};

size_t open_descriptors() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return size_t(std::distance(begin(entries), end(entries)));
}

// A level function: QUIET everywhere except the listed (record, point, level) spots.
struct Spot {
    long long record;
    int point;
    INT16 level;
};
std::function<INT16(long long, int)> spots(std::vector<Spot> list, INT16 rest = QUIET) {
    return [list, rest](long long r, int p) {
        for (const Spot &s : list)
            if (s.record == r && s.point == p) return s.level;
        return rest;
    };
}

// What the handler of PUMPED saw, at its one dispatch.
struct PumpSeen {
    int dispatches = 0;
    bool finding = false;
    bool any_key_enabled = true;
};

class Find : public ::testing::Test {
protected:
    TempDeviceRoot root;
    MessageLog log;
    HWND dialog = nullptr;
    ResultFileRecipe recipe;
    PumpSeen seen;
    bool stop_on_pump = false;
    std::function<void()> on_pump; // more work for the pump's dispatch

    void SetUp() override {
        wl_fault_reset();
        dialog = log.create("dialog", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        for (int id : KEYS)
            log.create("key", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog, id);
        log.handle("dialog", [this](HWND, UINT m, WPARAM, LPARAM, LRESULT *) {
            if (m != PUMPED) return false;
            seen.dispatches++;
            seen.finding = (wfal.run_state & RUN_FINDING) != 0;
            seen.any_key_enabled = false;
            for (int id : KEYS)
                seen.any_key_enabled |= IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
            if (stop_on_pump) wfal.stop_pressed = TRUE;
            if (on_pump) on_pump();
            return true;
        });
        wfal.main_dialog = dialog;
        wfal.run_state = RUN_LOADED;
        wfal.stop_pressed = FALSE;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\find.res");
        wfal.find = FindParams{-5000, FIND_NO_CHANGE, FIND_ALL_POINTS};
    }
    void TearDown() override {
        wl_fault_reset();
        wfal.main_dialog = nullptr;
        wfal.run_state = 0;
    }

    std::string path() const { return root.dir() + "/find.res"; }
    void make_file() { result_file_write(path(), recipe); }

    // Find from `cursor` with PUMPED waiting in the queue; the found record, or -1.
    long long run(int cursor, int marker = 0) {
        wfal.view = ViewState{};
        wfal.view.points = recipe.points;
        wfal.view.record_size = 2 * recipe.points;
        wfal.view.data_offset = RESULT_HEADER_SIZE;
        wfal.view.cursor_record = cursor;
        wfal.view.marker_point = marker;
        seen = PumpSeen{};
        PostMessageW(dialog, PUMPED, 0, 0);
        size_t descriptors = open_descriptors();
        BOOL found = find_run();
        EXPECT_EQ(open_descriptors(), descriptors) << "the file was left open";
        EXPECT_EQ(wfal.run_state, RUN_LOADED);
        const PumpSeen during = seen;
        pump_pending(); // PUMPED, if no pump took it
        seen = during;
        EXPECT_EQ(found != FALSE, wfal.view.follow_cursor != 0);
        if (!found) {
            EXPECT_EQ(wfal.view.cursor_record, cursor);
        }
        return found ? wfal.view.cursor_record : -1;
    }

    void set_keys(bool on) {
        for (int id : KEYS)
            EnableWindow(GetDlgItem(dialog, id), on);
    }
    bool key_on(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
};

// Two records with level e then l at point 5; the other points stay QUIET.
struct PairCase {
    const char *name;
    int threshold, change;
    INT16 e, l;
    bool found;
};

const PairCase PAIR_CASES[] = {
    {"rises through -50 dB", -5000, FIND_NO_CHANGE, -5100, -4900, true},
    {"starts on the threshold", -5000, FIND_NO_CHANGE, -5000, -4900, false},
    {"falls through it", -5000, FIND_NO_CHANGE, -4900, -5100, true},
    {"falls onto it", -5000, FIND_NO_CHANGE, -4900, -5000, false},
    {"stays above", -5000, FIND_NO_CHANGE, -4000, -3000, false},
    {"change 10 dB: -90 to -79", -8000, 1000, -9000, -7900, true},
    {"change 10 dB: -95 to -84, both below", -8000, 1000, -9500, -8400, false},
    {"change 10 dB: -30 to -25, too small", -8000, 1000, -3000, -2500, false},
    {"change 10 dB: -30 to -20, exactly 10", -8000, 1000, -3000, -2000, true},
    {"change 10 dB: crossing by 2 dB only", -8000, 1000, -8100, -7900, false},
    {"change 10 dB: falls from above", -8000, 1000, -7900, -9000, true},
    {"change 10 dB: from the threshold down", -8000, 1000, -8000, -9000, false},
};

TEST_F(Find, PairsAtThePointAndAtAllPoints) {
    for (const PairCase &c : PAIR_CASES) {
        for (int point : {5, FIND_ALL_POINTS}) {
            recipe.records = 2;
            recipe.points = 12;
            recipe.level = spots({{0, 5, c.e}, {1, 5, c.l}});
            make_file();
            wfal.find = FindParams{c.threshold, c.change, point};
            EXPECT_EQ(run(0, 5), c.found ? 1 : -1) << c.name << ", point " << point;
        }
    }
}

TEST_F(Find, AtTheMarkerOtherPointsAreIgnored) {
    recipe.records = 60;
    recipe.level = [](long long r, int p) {
        if (p == 5) return INT16(r == 40 ? -4000 : -6000);
        return INT16(r % 2 ? 0 : -9000); // every other point crosses in every record
    };
    make_file();
    wfal.find = FindParams{-5000, FIND_NO_CHANGE, 5};
    EXPECT_EQ(run(0, 5), 40);
    wfal.find.point = FIND_ALL_POINTS;
    EXPECT_EQ(run(0, 5), 1);
}

TEST_F(Find, AgainFromAHitComparesItWithTheNextRecord) {
    recipe.records = 30;
    recipe.level = spots({{7, 3, -4000}, {20, 3, -4000}}); // up at 7, down at 8, up at 20
    make_file();
    EXPECT_EQ(run(0), 7);
    EXPECT_EQ(run(7), 8);
    EXPECT_EQ(run(8), 20);
    EXPECT_EQ(run(20), 21);
    EXPECT_EQ(run(21), -1);
}

// With PUMPED set to press "Stop" when the first pump dispatches it. The pump comes when the
// later record's index reaches a multiple of 300, before that record is compared: a hit just
// before it is found, a hit on it is not. The first pair of a search never pumps.
struct PumpCase {
    int cursor;
    long long hit; // the later record of the only hit
    long long found;
    int dispatches;
};

const PumpCase PUMP_CASES[] = {
    {0, 299, 299, 0},   {0, 300, -1, 1},    {299, 300, 300, 0}, {299, 599, 599, 0},
    {299, 600, -1, 1},  {598, 599, 599, 0}, {598, 600, -1, 1},  {599, 600, 600, 0},
    {599, 899, 899, 0}, {599, 900, -1, 1},  {0, 999, -1, 1},
};

TEST_F(Find, PumpsWhenTheLaterRecordReachesAMultipleOf300) {
    recipe.records = 1000;
    stop_on_pump = true;
    for (const PumpCase &c : PUMP_CASES) {
        recipe.level = spots({{c.hit, 0, -4000}});
        make_file();
        EXPECT_EQ(run(c.cursor), c.found) << "from " << c.cursor << ", hit at " << c.hit;
        EXPECT_EQ(seen.dispatches, c.dispatches) << "from " << c.cursor << ", hit at " << c.hit;
    }
}

TEST_F(Find, NoHitIn1000RecordsRunsToTheEndWithTheSearchMarked) {
    recipe.records = 1000;
    make_file();
    set_keys(true);
    EXPECT_EQ(run(0, 7), -1);
    EXPECT_EQ(seen.dispatches, 1);
    EXPECT_TRUE(seen.finding);
    EXPECT_FALSE(seen.any_key_enabled);
    EXPECT_EQ(wfal.view.cursor_record, 0);
    for (int id : KEYS)
        EXPECT_TRUE(key_on(id)) << id;
}

TEST_F(Find, AStopPressedBeforeTheSearchIsForgotten) {
    recipe.records = 1000;
    recipe.level = spots({{450, 0, -4000}});
    make_file();
    wfal.stop_pressed = TRUE;
    EXPECT_EQ(run(0), 450);
    EXPECT_FALSE(wfal.stop_pressed);
}

// A frozen test goes on writing while the search pumps: records that arrive then are searched.
// A frozen test goes on writing while the search pumps: records that arrive then are searched,
// whether the pump came just at the end of the file (300) or before it (450).
TEST_F(Find, RecordsWrittenDuringAPumpAreSearched) {
    for (long long had : {300LL, 450LL}) {
        recipe.records = had;
        recipe.level = spots({{700, 9, -4000}});
        make_file();
        on_pump = [this, had] {
            FILE *f = fopen(path().c_str(), "ab");
            for (long long r = had; r < 1000; ++r)
                fwrite(result_file_record(recipe, r).data(), 2, size_t(recipe.points), f);
            fclose(f);
        };
        EXPECT_EQ(run(0), 700) << had;
        EXPECT_EQ(seen.dispatches, 1) << had;
    }
}

TEST_F(Find, TheMarkerKeysFollowTheMarkerAtTheEnd) {
    const struct {
        int points, marker;
        bool left, right;
    } cases[] = {
        {300, 0, false, true}, {300, 299, true, false}, {300, 7, true, true}, {1, 0, false, false}};
    for (const auto &c : cases) {
        recipe.records = 3;
        recipe.points = c.points;
        make_file();
        set_keys(false);
        EnableWindow(GetDlgItem(dialog, ID_MARKER_LEFT), !c.left);
        EnableWindow(GetDlgItem(dialog, ID_MARKER_RIGHT), !c.right);
        EXPECT_EQ(run(0, c.marker), -1);
        EXPECT_EQ(key_on(ID_MARKER_LEFT), c.left) << c.points << "/" << c.marker;
        EXPECT_EQ(key_on(ID_MARKER_RIGHT), c.right) << c.points << "/" << c.marker;
        EXPECT_TRUE(key_on(ID_GRAPH));
        EXPECT_TRUE(key_on(ID_SPECTROGRAM));
    }
}

// The cursor on the last record: the search starts and ends at once. Beyond it, or with the file
// or its first read failing: no search at all, so the keys stay as they were.
TEST_F(Find, NothingToCompare) {
    recipe.records = 5;
    recipe.level = spots({{4, 0, -4000}});
    make_file();
    const struct {
        const char *name;
        int cursor;
        bool fail_open, fail_read, searched;
    } cases[] = {{"last record", 4, false, false, true},
                 {"past the end", 5, false, false, false},
                 {"open fails", 0, true, false, false},
                 {"first read fails", 0, false, true, false}};
    for (const auto &c : cases) {
        set_keys(false);
        wl_fault_reset();
        if (c.fail_open) wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
        if (c.fail_read) wl_fault_fail(WL_FAULT_READ, 1, FALSE);
        EXPECT_EQ(run(c.cursor, 3), -1) << c.name;
        EXPECT_EQ(key_on(ID_GRAPH), c.searched) << c.name;
        EXPECT_EQ(key_on(ID_MARKER_LEFT), c.searched) << c.name;
    }
}

// Records after the first that the first read of a search from record 0 takes in, at 300 points.
constexpr long long BLOCK = FIND_BLOCK_BYTES / 600;

// Once a read fails the search ends as at the end of the file: here every read after the first.
TEST_F(Find, AFailedReadEndsTheSearch) {
    recipe.records = 3 * BLOCK;
    for (long long hit : {1LL, BLOCK, BLOCK + 1, 3 * BLOCK - 1}) {
        recipe.level = spots({{hit, 0, -4000}});
        make_file();
        wl_fault_reset();
        wl_fault_fail(WL_FAULT_READ, 2, TRUE);
        set_keys(false);
        EXPECT_EQ(run(0, 5), hit <= BLOCK ? hit : -1) << hit;
        EXPECT_TRUE(key_on(ID_MARKER_LEFT)) << hit;
    }
}

// ---- Against a record-by-record scan ---------------------------------------------------------

// The search in its plainest form, one record at a time; the found record or -1.
long long plain_find(const std::string &path, int points, long long cursor, const FindParams &p) {
    FILE *f = fopen(path.c_str(), "rb");
    std::vector<INT16> early(points), late(points);
    long long found = -1;
    fseek(f, long(RESULT_HEADER_SIZE + cursor * 2 * points), SEEK_SET);
    bool more = fread(early.data(), 2 * points, 1, f) == 1;
    const bool change = p.change_threshold != FIND_NO_CHANGE;
    for (long long i = cursor + 1; more && found < 0 && fread(late.data(), 2 * points, 1, f) == 1;
         ++i) {
        for (int j = 0; j < points && found < 0; ++j) {
            int e = early[j], l = late[j], t = p.threshold;
            if (p.point >= 0 && j != p.point) continue;
            if (change && abs(l - e) < p.change_threshold) continue;
            if ((e > t && l < t) || (e < t && l > t) || (change && (l > t || e > t))) found = i;
        }
        early = late;
    }
    fclose(f);
    return found;
}

UINT32 mix(UINT32 seed, long long r, int p) {
    UINT32 x = seed ^ UINT32(r * 2654435761u) ^ UINT32(p * 40503u);
    x ^= x >> 16;
    x *= 0x7feb352d;
    x ^= x >> 15;
    x *= 0x846ca68b;
    return x ^ (x >> 16);
}

struct ScanCase {
    const char *name;
    int points;
    long long records;
    int partial_bytes;
    FindParams params;
    int span; // random levels in [low, low + span), planted spots aside
    int low;
    std::vector<Spot> planted;
    std::vector<int> cursors; // where the sequence of finds starts
};

// Hits around the pumps (300, 600, 900) and the blocks read from record 0 (0..BLOCK,
// BLOCK..2 BLOCK, ...), many among the last levels before them, which the search compares in a
// chunk of their own, and one in the last record.
constexpr long long EDGE_RECORDS = 2 * BLOCK + 60;
// clang-format off
const std::vector<Spot> AROUND_BLOCKS = {
    {1, 0, 0}, {297, 17, 0}, {299, 299, 0}, {301, 150, 0}, {599, 200, 0}, {601, 1, 0},
    {899, 250, 0}, {900, 5, 0}, {BLOCK - 1, 3, 0}, {BLOCK, 299, 0}, {2 * BLOCK, 100, 0},
    {2 * BLOCK + 1, 299, 0}, {EDGE_RECORDS - 1, 299, 0}};

const ScanCase SCAN_CASES[] = {
    {"hits on block edges", 300, EDGE_RECORDS, 0, {-5000, FIND_NO_CHANGE, -1}, 2000, -9000,
     AROUND_BLOCKS, {0, 1, 298, 299, 300, 598, 599, BLOCK - 1, BLOCK, BLOCK + 1, 1000}},
    {"random levels, change 20 dB", 300, 700, 0, {-6000, 2000, -1}, 4000, -8000, {}, {0, 250}},
    {"full range, change 640 dB", 300, 400, 0, {-32768, 64000, -1}, 65536, -32768, {}, {0}},
    {"full range at the marker", 300, 900, 0, {0, FIND_NO_CHANGE, 299}, 65536, -32768, {}, {0}},
    {"marker at point 0", 300, EDGE_RECORDS, 0, {-5000, FIND_NO_CHANGE, 0}, 2000, -9000,
     AROUND_BLOCKS, {0, 299, BLOCK}},
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
        recipe.points = c.points;
        recipe.records = c.records;
        recipe.partial_bytes = c.partial_bytes;
        UINT32 seed = UINT32(c.low * 31 + c.span);
        recipe.level = [&c, seed](long long r, int p) {
            for (const Spot &s : c.planted)
                if (s.record == r && s.point == p) return s.level;
            return INT16(c.span ? c.low + int(mix(seed, r, p) % UINT32(c.span)) : c.low);
        };
        make_file();
        wfal.find = c.params;
        for (int start : c.cursors) {
            std::vector<long long> expected, got;
            for (long long at = start; (at = plain_find(path(), c.points, at, c.params)) >= 0;)
                expected.push_back(at);
            for (long long at = start; (at = run(int(at), c.params.point)) >= 0;)
                got.push_back(at);
            EXPECT_EQ(got, expected) << c.name << ", from " << start;
        }
    }
}

// One hit, so that the search from the cursor has to get there: the last pair of a block, the
// pair made of the record carried over and the first one read after it, and the one after that.
// The levels -50 dB, -51 dB, -49 dB before and at the hit cross the threshold only in that pair.
TEST_F(Find, MatchesARecordByRecordScanAcrossBlocks) {
    recipe.records = EDGE_RECORDS;
    for (long long at : {BLOCK, BLOCK + 1, BLOCK + 2, 2 * BLOCK, 2 * BLOCK + 1, EDGE_RECORDS - 1}) {
        for (int point : {0, 299}) {
            recipe.level =
                spots({{at - 2, point, -5000}, {at - 1, point, -5100}, {at, point, -4900}});
            make_file();
            for (int start : {0, 299}) {
                for (int marker : {FIND_ALL_POINTS, point}) {
                    wfal.find = FindParams{-5000, FIND_NO_CHANGE, marker};
                    long long expected = plain_find(path(), 300, start, wfal.find);
                    EXPECT_EQ(expected, at);
                    EXPECT_EQ(run(start, marker), expected)
                        << at << "/" << point << " from " << start << " at " << marker;
                }
            }
        }
    }
}

} // namespace
