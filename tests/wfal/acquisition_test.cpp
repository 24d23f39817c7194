// The acquisition run on the simulated engine and the virtual clock, where the host cannot reach
// (its flows are tests/flows/test_*.flow, whose stored files also show the impedance the engine
// is told): the results left out, the pacing of the records, and what a failing file call leaves
// behind.
#include <gtest/gtest.h>

#include <time.h>

#include <array>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include <acqsim.h>
#include <strsafe.h>
#include <winlayer.h>

#include "module/engine.h"
#include "module/state.h"
#include "support/descriptors.h"
#include "support/fake_host.h"
#include "support/fault_loop.h"
#include "support/temp_root.h"
#include "test/acquisition.h"

namespace {

using Levels = std::vector<INT16>;
using Indices = std::vector<int>;

class Acquisition : public ::testing::Test {
protected:
    TempDeviceRoot root;
    time_t local_now = 1709546400; // 2024-03-04 10:00:00 as local time, followed by the test
    const size_t descriptors = open_descriptors();

    void SetUp() override {
        std::filesystem::create_directories(root.dir() + "/USB");
        const SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        wfal.host = fake_host_service, wfal.main_dialog = nullptr, wfal.wideband = FALSE;
        wfal.record_file = wfal.view_file = nullptr;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\USB\\line.res");
        restart(0, 8);
    }
    void TearDown() override {
        test_stop(), wl_fault_reset(), acqsim_reset();
        wfal.host = nullptr, wl_clock_use_real();
    }
    // The engine and host afresh, the header and the limit as the set-up dialog leaves them.
    void restart(int run_state, WORD sequence) {
        acqsim_reset(), wl_fault_reset(), fake_host_reset();
        wfal.run_state = run_state, wfal.command_sequence = sequence, wfal.header = ResultHeader{};
        wfal.header.range = 4000, wfal.header.impedance = 600;
        wfal.header.input = INPUT_TERMINATED, wfal.header.gain = -1;
        header_build();
        wfal.max_file_size = LONGLONG(points()) * 5184000 + RESULT_HEADER_SIZE;
    }
    int points() const { return wfal.header.points; }
    size_t record_bytes() const { return 2 * size_t(points()); }
    void advance(int ms) { wl_clock_advance_ms(ULONGLONG(ms)), local_now += ms / 1000; }
    // Sets the local clock on, the engine's pace unchanged.
    void shift_local_time(int seconds) {
        tm f;
        local_now += seconds, gmtime_r(&local_now, &f);
        const SYSTEMTIME s = {
            WORD(f.tm_year + 1900), WORD(f.tm_mon + 1), 0, WORD(f.tm_mday), WORD(f.tm_hour),
            WORD(f.tm_min),         WORD(f.tm_sec),     0};
        wl_clock_set_local_time(&s);
    }
    std::string file() const { return root.read("USB/line.res"); }
    // Distinct levels for every fed spectrum, so that a record written twice or out of order
    // shows.
    Levels fed(int n) const {
        Levels out(size_t(points()), INT16(-9000 + 100 * n));
        std::iota(out.begin(), out.end(), INT16(-9000 + 100 * n));
        return out;
    }
    void feed(int count) {
        for (int n = 0; n < count; ++n)
            ASSERT_TRUE(acqsim_feed_spectrum(fed(n).data(), UINT(points())));
    }
    // Which fed spectrum each whole record of the file is (its first level tells); -1 for none.
    Indices records() const {
        const std::string bytes = file();
        Indices out;
        for (LONGLONG i = 0; i < result_record_count(LONGLONG(bytes.size()), wfal.header); ++i) {
            Levels r(size_t(points()), 0);
            memcpy(r.data(), bytes.data() + RESULT_HEADER_SIZE + i * record_bytes(),
                   record_bytes());
            out.push_back(r == fed((r[0] + 9000) / 100) ? (r[0] + 9000) / 100 : -1);
        }
        return out;
    }
};

// Results of an earlier measure command, of another code, or carrying the current sequence
// number in the place of a measure result's are all left out; the sequence number is 16 bits.
TEST_F(Acquisition, OnlyMeasureResultsOfTheCurrentCommandAreWritten) {
    for (WORD current : {WORD(9), WORD(0x8000), WORD(0)}) {
        SCOPED_TRACE(current);
        restart(0, WORD(current - 2));
        engine_start_measure(); // the earlier command
        feed(4);
        advance(2000); // its two results wait, and would be due by the clock
        test_start();
        ASSERT_EQ(wfal.command_sequence, current);
        acqsim_set_options(current); // the identification's option word sits where the
        advance(1000);               // sequence number would, the probe status's zero too
        for (WORD code : {CMD_IDENTIFY, CMD_PROBE_STATUS}) {
            EngineCommand command = {};
            command.length = ENGINE_SHORT_COMMAND, command.code = code;
            ASSERT_TRUE(acqcmd(&command));
        }
        advance(1000);
        EXPECT_TRUE(acquisition_tick());
        test_stop();
        EXPECT_EQ(records(), (Indices{2, 3}));
    }
}

// One record a second through a day's change is the recording session's (tests/host); here the
// results that come faster, and the local clock moved. Each step sets the local clock on by some
// seconds (the engine's pace unchanged), then advances both by some milliseconds and runs one
// tick, which must write or not; `written` are the results of the measurement that became records.
TEST_F(Acquisition, OneRecordPerSecondSinceTheStartTime) {
    const struct {
        const char *name;
        DWORD interval_ms;                     // of the engine's results
        int late_start_s;                      // from the header's start time to the Start key
        std::vector<std::array<int, 3>> steps; // seconds, milliseconds, written
        Indices written;
    } cases[] = {
        // clang-format off
        {"a result while the count is up to date is dropped", 500, 0,
         {{0, 1000, TRUE}, {0, 1000, TRUE}}, {0, 2}},
        {"clock jumps ahead: the waiting results catch up in one tick", 1000, 0,
         {{0, 1000, TRUE}, {5, 3000, TRUE}, {0, 1000, TRUE}}, {0, 1, 2, 3, 4}},
        {"clock set back within the test: dropped until the seconds pass the count", 1000, 0,
         {{0, 3000, TRUE}, {-2, 1000, FALSE}, {0, 1000, FALSE}, {0, 1000, TRUE}}, {0, 1, 2, 5}},
        {"clock set back before the start: every result is written", 500, 0,
         {{-3600, 1000, TRUE}, {0, 1000, TRUE}}, {0, 1, 2, 3}},
        {"start time before the Start key: catches up, then drops", 500, 2,
         {{0, 1000, TRUE}, {0, 1000, TRUE}, {0, 1000, TRUE}}, {0, 1, 2, 3, 4}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        restart(0, 8);
        ASSERT_TRUE(acqsim_set_interval_ms(c.interval_ms));
        feed(10);
        advance(c.late_start_s * 1000);
        test_start();
        for (const auto &[shift_s, advance_ms, wrote] : c.steps) {
            if (shift_s) shift_local_time(shift_s);
            advance(advance_ms);
            EXPECT_EQ(acquisition_tick(), wrote);
        }
        test_stop();
        EXPECT_EQ(records(), c.written);
    }
}

// Whatever file call fails from the Start key on, with five results waiting: while the file is
// made (its opening for writing and reading, the header's write and flush), nothing starts;
// later the test stops with every record the file took whole, a short write leaving its partial
// record, and a record whose flush failed kept. No handle stays open, the engine stays idle.
TEST_F(Acquisition, FileFailures) {
    const std::string running = "test-running 1", stopped = "test-running 0",
                      error = "message-box 16 \"Error\" \"File write error.\\n",
                      no_answer = "Test stopped.\" -> 1 (no answer queued)";
    BOOL ticked = FALSE;
    fault_loop(
        [&](const std::function<void()> &arm) {
            restart(RUN_LOADED, 8);
            feed(5);
            arm();
            test_start();
            advance(5000);
            ticked = acquisition_tick();
        },
        [&](const Fault &f) {
            EXPECT_EQ(bool(ticked), f.nth == 0);
            const bool creating = f.nth == 1 || (f.op == WL_FAULT_OPEN && f.nth == 2);
            const int kept = !f.nth ? 5 : creating ? -1 : f.nth - (f.op == WL_FAULT_FLUSH ? 1 : 2);
            if (!f.nth) test_stop();
            EXPECT_EQ(fake_host.log, !f.nth     ? (Lines{running, stopped})
                                     : kept < 0 ? (Lines{error + "\\n" + no_answer})
                                                : (Lines{running, stopped, error + no_answer}));
            EXPECT_EQ(wfal.run_state, kept < 0 ? 0 : RUN_LOADED);
            EXPECT_TRUE(wfal.record_file == nullptr && wfal.view_file == nullptr);
            EXPECT_EQ(open_descriptors(), descriptors) << "a handle was left open";
            EngineResult r;
            while (acqres(&r)) { // made before the stop
            }
            advance(3000);
            EXPECT_EQ(acqres(&r), 0) << "the engine still measures";
            if (kept < 0) {
                EXPECT_EQ(wfal.command_sequence, 8) << "a measurement was started";
                return;
            }
            Indices whole(size_t(kept), 0); // the first `kept` fed spectra
            std::iota(whole.begin(), whole.end(), 0);
            EXPECT_EQ(records(), whole);
            EXPECT_EQ(file().size(), RESULT_HEADER_SIZE + kept * record_bytes() + f.keep);
            EXPECT_EQ(wfal.file_size, LONGLONG(RESULT_HEADER_SIZE + kept * record_bytes()));
        },
        3);
}

} // namespace
