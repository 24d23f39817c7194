// The acquisition run on the simulated engine and the virtual clock: the result file it creates,
// the records it paces and corrects, the limits that stop it, and what a failing open, write or
// flush leaves behind.
#include <gtest/gtest.h>

#include <time.h>

#include <filesystem>
#include <string>
#include <vector>

#include <acqsim.h>
#include <strsafe.h>
#include <winlayer.h>

#include "module/engine.h"
#include "module/state.h"
#include "support/lang_file.h"
#include "support/temp_root.h"
#include "test/acquisition.h"

namespace {

using Lines = std::vector<std::string>;
using Levels = std::vector<INT16>;

Lines host_seen; // every host service call of the run, as a line

INT_PTR CALLBACK recording_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    if (code == HOST_MESSAGE_BOX)
        host_seen.push_back("box " + printable((const WCHAR *)a) + "|" +
                            printable((const WCHAR *)b) + "|" + std::to_string(c));
    else
        host_seen.push_back("code " + std::to_string(code) + " " + std::to_string(c));
    return 0;
}

const std::string RUNNING = "code 7 1", STOPPED = "code 7 0";
const std::string CREATE_ERROR = "box Error|File write error.\\u000A\\u000ATest stopped.|16";
const std::string WRITE_ERROR = "box Error|File write error.\\u000ATest stopped.|16";
const std::string MAX_REACHED = "box Warning|Max test time reached.\\u000ATest stopped.|16";

const time_t BASE_TIME = 1709546400; // 2024-03-04 10:00:00, taken as local time

void set_local_time(time_t t) {
    tm f;
    gmtime_r(&t, &f);
    SYSTEMTIME s = {WORD(f.tm_year + 1900), WORD(f.tm_mon + 1), 0, WORD(f.tm_mday), WORD(f.tm_hour),
                    WORD(f.tm_min),         WORD(f.tm_sec),     0};
    wl_clock_set_local_time(&s);
}

size_t open_descriptors() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return size_t(std::distance(begin(entries), end(entries)));
}

class Acquisition : public ::testing::Test {
protected:
    TempDeviceRoot root;
    time_t local_now = BASE_TIME; // the virtual local time, followed by the test
    size_t descriptors = 0;

    void SetUp() override {
        std::filesystem::create_directories(root.dir() + "/USB");
        SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        acqsim_reset();
        wl_fault_reset();
        host_seen.clear();
        wfal.host = recording_host;
        wfal.main_dialog = nullptr;
        wfal.run_state = 0;
        wfal.record_file = wfal.view_file = nullptr;
        wfal.command_sequence = 8;
        wfal.wideband = FALSE;
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\USB\\line.res");
        set_up(INPUT_TERMINATED);
        descriptors = open_descriptors();
    }
    void TearDown() override {
        test_stop();
        wl_fault_reset();
        wl_fs_set_volume_size(u"\\USB", 0);
        acqsim_reset();
        lang_free();
        wfal.host = nullptr;
        wl_clock_use_real();
    }
    // As the set-up dialog leaves the header and the limit.
    void set_up(INT32 input) {
        wfal.header = ResultHeader{};
        wfal.header.range = 4000;
        wfal.header.impedance = 600;
        wfal.header.input = input;
        wfal.header.gain = -1;
        header_build();
        wfal.max_file_size = LONGLONG(points()) * 5184000 + RESULT_HEADER_SIZE;
    }
    int points() const { return wfal.header.points; }
    size_t record_bytes() const { return 2 * size_t(points()); }
    void advance(int ms) {
        wl_clock_advance_ms(ULONGLONG(ms));
        local_now += ms / 1000;
    }
    void shift_local_time(int seconds) {
        local_now += seconds;
        set_local_time(local_now);
    }
    std::string file() const { return root.read("USB/line.res"); }
    LONGLONG file_records() const {
        return result_record_count(LONGLONG(file().size()), wfal.header);
    }
    // Record i of a file's bytes; empty when the file does not hold it whole.
    Levels record(const std::string &bytes, LONGLONG i) const {
        size_t at = size_t(RESULT_HEADER_SIZE + i * LONGLONG(record_bytes()));
        if (bytes.size() < at + record_bytes()) return {};
        Levels out(record_bytes() / 2);
        memcpy(out.data(), bytes.data() + at, record_bytes());
        return out;
    }
    Levels synthetic(ULONGLONG index) const {
        const ResultHeader &h = wfal.header;
        AcqSimMeasure m = {1, engine_impedance(h.input, h.impedance, FALSE),
                           DWORD(h.start_frequency), DWORD(h.frequency_step), WORD(h.points)};
        Levels out(record_bytes() / 2);
        EXPECT_TRUE(acqsim_spectrum(&m, index, out.data()));
        return out;
    }
    // Distinct levels for every fed spectrum, so that a record written twice or out of order
    // shows.
    Levels fed(int n) const {
        Levels out(record_bytes() / 2);
        for (int k = 0; k < points(); ++k)
            out[size_t(k)] = INT16(-9000 + 100 * n + k);
        return out;
    }
    void feed(int first, int count) {
        for (int n = first; n < first + count; ++n)
            ASSERT_TRUE(acqsim_feed_spectrum(fed(n).data(), UINT(points())));
    }
    void expect_stopped(LONGLONG records) {
        EXPECT_EQ(wfal.run_state, RUN_LOADED);
        EXPECT_EQ(wfal.record_file, nullptr);
        EXPECT_EQ(wfal.view_file, nullptr);
        EXPECT_EQ(wfal.file_size, RESULT_HEADER_SIZE + records * LONGLONG(record_bytes()));
        EXPECT_EQ(file_records(), records);
        EXPECT_EQ(open_descriptors(), descriptors) << "a handle was left open";
        EngineResult r;
        while (acqres(&r)) { // made before the stop
        }
        advance(3000);
        EXPECT_EQ(acqres(&r), 0) << "the engine still measures";
    }
};

TEST_F(Acquisition, StartRecordsAndStop) {
    wfal.run_state = RUN_LOADED;
    test_stop(); // not testing: nothing at all
    freeze_toggle();
    EXPECT_EQ(wfal.run_state, RUN_LOADED);
    EXPECT_TRUE(host_seen.empty());

    test_start();
    EXPECT_EQ(wfal.run_state, RUN_LOADED | RUN_TESTING);
    EXPECT_EQ(wfal.command_sequence, 9);
    EXPECT_EQ(wfal.file_size, RESULT_HEADER_SIZE);
    ASSERT_NE(wfal.view_file, nullptr);
    EXPECT_EQ(file(), std::string((const char *)&wfal.header, sizeof wfal.header));
    EXPECT_EQ(host_seen, Lines{RUNNING});
    EXPECT_FALSE(acquisition_tick()) << "nothing is due yet";

    advance(1000);
    EXPECT_TRUE(acquisition_tick());
    // The view's handle sees the record as soon as the tick has written it.
    Levels seen(record_bytes() / 2);
    ASSERT_EQ(fseek(wfal.view_file, RESULT_HEADER_SIZE, SEEK_SET), 0);
    ASSERT_EQ(fread(seen.data(), record_bytes(), 1, wfal.view_file), 1u);
    EXPECT_EQ(seen, synthetic(0));

    freeze_toggle(); // frozen, the recording goes on
    EXPECT_EQ(wfal.run_state, RUN_LOADED | RUN_TESTING | RUN_FROZEN);
    advance(1000);
    EXPECT_TRUE(acquisition_tick());
    freeze_toggle();
    EXPECT_EQ(wfal.run_state, RUN_LOADED | RUN_TESTING);
    freeze_toggle();
    test_stop(); // stopping a frozen test ends the freeze too
    expect_stopped(2);
    EXPECT_EQ(record(file(), 1), synthetic(1));
    EXPECT_EQ(host_seen, (Lines{RUNNING, STOPPED}));
}

TEST_F(Acquisition, ProbeLevelsAreRaisedBy15dBWithin16Bits) {
    const Levels in = {-5000, 32767, -32768, 0, -1500, 31268};
    const Levels raised = {-3500, -31269, -31268, 1500, 0, -32768};
    for (INT32 input : {INPUT_TERMINATED, INPUT_UNTERMINATED, INPUT_PROBE}) {
        set_up(input);
        ASSERT_TRUE(acqsim_feed_spectrum(in.data(), UINT(in.size())));
        test_start();
        advance(1000);
        EXPECT_TRUE(acquisition_tick());
        test_stop();
        Levels written = record(file(), 0);
        written.resize(in.size());
        EXPECT_EQ(written, input == INPUT_PROBE ? raised : in) << "input " << input;
    }
}

TEST_F(Acquisition, SizeLimitStopsAfterTheRecordThatPassesIt) {
    for (LONGLONG n : {0, 1, 3}) {
        host_seen.clear();
        test_start();
        wfal.max_file_size = RESULT_HEADER_SIZE + n * LONGLONG(record_bytes());
        for (LONGLONG i = 0; i < n; ++i) {
            advance(1000);
            EXPECT_TRUE(acquisition_tick()) << n;
        }
        advance(3000); // three results wait; the first passes the limit
        EXPECT_FALSE(acquisition_tick()) << n;
        SCOPED_TRACE(n);
        expect_stopped(n + 1);
        EXPECT_EQ(host_seen, (Lines{RUNNING, STOPPED, MAX_REACHED}));
    }
}

// Results of an earlier measure command, of another code, or carrying the current sequence
// number in the place of a measure result's are all left out; the sequence number is 16 bits.
TEST_F(Acquisition, OnlyMeasureResultsOfTheCurrentCommandAreWritten) {
    for (WORD current : {WORD(9), WORD(0x8000), WORD(0)}) {
        wfal.command_sequence = WORD(current - 2);
        engine_start_measure(); // the earlier command
        feed(0, 4);
        advance(2000); // its two results wait, and would be due by the clock
        test_start();
        ASSERT_EQ(wfal.command_sequence, current);
        acqsim_set_options(current); // the identification's option word sits where the
        advance(1000);               // sequence number would, the probe status's zero too
        for (WORD code : {CMD_IDENTIFY, CMD_PROBE_STATUS}) {
            EngineCommand command = {};
            command.length = ENGINE_SHORT_COMMAND;
            command.code = code;
            ASSERT_TRUE(acqcmd(&command));
        }
        advance(1000);
        EXPECT_TRUE(acquisition_tick()) << current;
        test_stop();
        std::string bytes = file();
        ASSERT_EQ(result_record_count(LONGLONG(bytes.size()), wfal.header), 2) << current;
        EXPECT_EQ(record(bytes, 0), fed(2)) << current;
        EXPECT_EQ(record(bytes, 1), fed(3)) << current;
        acqsim_reset();
    }
}

struct PacingStep {
    int shift_s;    // the local clock is set this far, the engine's pace unchanged
    int advance_ms; // then both move on, and one tick runs
    BOOL wrote;
};

struct PacingCase {
    const char *name;
    DWORD interval_ms; // of the engine's results
    int late_start_s;  // from the header's start time to the Start key
    std::vector<PacingStep> steps;
    std::vector<ULONGLONG> written; // results of the measurement that became records
};

const PacingCase PACING_CASES[] = {
    {"one per second", 1000, 0, {{0, 1000, TRUE}, {0, 1000, TRUE}, {0, 0, FALSE}}, {0, 1}},
    {"a result while the count is up to date is dropped",
     500,
     0,
     {{0, 1000, TRUE}, {0, 1000, TRUE}},
     {0, 2}},
    {"clock jumps ahead: the waiting results catch up in one tick",
     1000,
     0,
     {{0, 1000, TRUE}, {5, 3000, TRUE}, {0, 1000, TRUE}},
     {0, 1, 2, 3, 4}},
    {"clock set back within the test: dropped until the seconds pass the count",
     1000,
     0,
     {{0, 3000, TRUE}, {-2, 1000, FALSE}, {0, 1000, FALSE}, {0, 1000, TRUE}},
     {0, 1, 2, 5}},
    {"clock set back before the start: every result is written",
     500,
     0,
     {{-3600, 1000, TRUE}, {0, 1000, TRUE}},
     {0, 1, 2, 3}},
    {"start time before the Start key: catches up, then drops",
     500,
     2,
     {{0, 1000, TRUE}, {0, 1000, TRUE}, {0, 1000, TRUE}},
     {0, 1, 2, 3, 4}},
};

TEST_F(Acquisition, OneRecordPerSecondSinceTheStartTime) {
    for (const PacingCase &c : PACING_CASES) {
        SCOPED_TRACE(c.name);
        acqsim_reset();
        ASSERT_TRUE(acqsim_set_interval_ms(c.interval_ms));
        set_up(INPUT_TERMINATED);
        advance(c.late_start_s * 1000);
        test_start();
        for (const PacingStep &s : c.steps) {
            if (s.shift_s) shift_local_time(s.shift_s);
            advance(s.advance_ms);
            EXPECT_EQ(acquisition_tick(), s.wrote);
        }
        test_stop();
        std::string bytes = file();
        ASSERT_EQ(result_record_count(LONGLONG(bytes.size()), wfal.header),
                  LONGLONG(c.written.size()));
        for (size_t i = 0; i < c.written.size(); ++i)
            EXPECT_EQ(record(bytes, LONGLONG(i)), synthetic(c.written[i])) << "record " << i;
    }
}

struct CreateFault {
    const char *name;
    WlFaultOp op;
    int nth;
    size_t short_keep; // a short write instead of a failure, when not 0
};

const CreateFault CREATE_FAULTS[] = {
    {"open for writing", WL_FAULT_OPEN, 1, 0},           {"header write", WL_FAULT_WRITE, 1, 0},
    {"header write cut short", WL_FAULT_WRITE, 1, 1000}, {"header flush", WL_FAULT_FLUSH, 1, 0},
    {"open for reading", WL_FAULT_OPEN, 2, 0},
};

TEST_F(Acquisition, CreationFailureLeavesNothingRunningOrOpen) {
    for (const CreateFault &c : CREATE_FAULTS) {
        SCOPED_TRACE(c.name);
        host_seen.clear();
        wfal.run_state = RUN_LOADED;
        if (c.short_keep)
            wl_fault_short_write(c.nth, c.short_keep);
        else
            wl_fault_fail(c.op, c.nth, FALSE);
        test_start();
        wl_fault_reset();
        EXPECT_EQ(wfal.run_state, 0);
        EXPECT_EQ(wfal.record_file, nullptr);
        EXPECT_EQ(wfal.view_file, nullptr);
        EXPECT_EQ(wfal.command_sequence, 8);
        EXPECT_EQ(host_seen, Lines{CREATE_ERROR});
        EXPECT_EQ(open_descriptors(), descriptors);
        EngineResult r;
        advance(2000);
        EXPECT_EQ(acqres(&r), 0) << "a measurement was started";
    }
}

struct RecordFault {
    const char *name;
    WlFaultOp op;
    int nth; // counted among the record writes or flushes
    BOOL persistent;
    size_t short_keep; // a short write, when not 0
    LONGLONG records;  // left in the file, all whole
};

const RecordFault RECORD_FAULTS[] = {
    {"first write", WL_FAULT_WRITE, 1, FALSE, 0, 0},
    {"third write", WL_FAULT_WRITE, 3, FALSE, 0, 2},
    {"writes from the second on", WL_FAULT_WRITE, 2, TRUE, 0, 1},
    {"first write keeps 391 bytes", WL_FAULT_WRITE, 1, FALSE, 391, 0},
    {"third write keeps 3 bytes", WL_FAULT_WRITE, 3, FALSE, 3, 2},
    {"first flush", WL_FAULT_FLUSH, 1, FALSE, 0, 1},
    {"flushes from the fourth on", WL_FAULT_FLUSH, 4, TRUE, 0, 4},
};

TEST_F(Acquisition, RecordFailureKeepsEveryWholeRecord) {
    for (const RecordFault &c : RECORD_FAULTS) {
        SCOPED_TRACE(c.name);
        host_seen.clear();
        acqsim_reset();
        feed(0, 5);
        test_start();
        if (c.short_keep)
            wl_fault_short_write(c.nth, c.short_keep);
        else
            wl_fault_fail(c.op, c.nth, c.persistent);
        advance(5000);
        EXPECT_FALSE(acquisition_tick());
        wl_fault_reset();
        expect_stopped(c.records);
        std::string bytes = file();
        EXPECT_EQ(bytes.size(),
                  size_t(RESULT_HEADER_SIZE + c.records * LONGLONG(record_bytes())) + c.short_keep);
        for (LONGLONG i = 0; i < c.records; ++i)
            EXPECT_EQ(record(bytes, i), fed(int(i))) << "record " << i;
        EXPECT_EQ(host_seen, (Lines{RUNNING, STOPPED, WRITE_ERROR}));
    }
}

TEST_F(Acquisition, FullVolumeEndsInAWriteErrorWithAnIntactFile) {
    wl_fs_set_volume_size(u"\\USB", RESULT_HEADER_SIZE + 5 * record_bytes() / 2);
    feed(0, 3);
    test_start();
    for (BOOL wrote : {TRUE, TRUE, FALSE}) {
        advance(1000);
        EXPECT_EQ(acquisition_tick(), wrote);
    }
    expect_stopped(2);
    EXPECT_EQ(record(file(), 1), fed(1));
    EXPECT_EQ(host_seen, (Lines{RUNNING, STOPPED, WRITE_ERROR}));
    ULARGE_INTEGER free_bytes;
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\USB", &free_bytes, nullptr, nullptr));
    EXPECT_EQ(free_bytes.QuadPart, 0u);
}

// The creation failure's text is no key of the language text: it stays English, even where a
// language text has a line for it.
TEST_F(Acquisition, CreationFailureTextIsShownAsItIs) {
    root.write("lang.txt", utf16le(u"\uFEFF#Error\r\n<1>E!\r\n"
                                   u"#File write error.\\n\\nTest stopped.\r\n<1>translated\r\n"));
    lang_file_set_path(u"\\lang.txt");
    wfal.language_number = 1;
    lang_load();
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    test_start();
    EXPECT_EQ(host_seen, Lines{"box E!|File write error.\\u000A\\u000ATest stopped.|16"});
}

TEST_F(Acquisition, MessagesInTheChosenLanguage) {
    lang_file_set_path(u"\\none.txt");
    wfal.language_number = 3;
    lang_load();
    wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
    test_start();
    test_start();
    wfal.max_file_size = RESULT_HEADER_SIZE;
    advance(1000);
    acquisition_tick();
    test_start();
    wl_fault_fail(WL_FAULT_WRITE, 1, FALSE);
    advance(1000);
    acquisition_tick();
    EXPECT_EQ(
        host_seen,
        (Lines{"box Fehler|File write error.\\u000A\\u000ATest stopped.|16", RUNNING, STOPPED,
               "box Warnung|Maximale Messdauer erreicht.\\u000AMessung beendet.|16", RUNNING,
               STOPPED, "box Fehler|Fehler beim Schreiben der Datei.\\u000AMessung beendet.|16"}));
}

} // namespace
