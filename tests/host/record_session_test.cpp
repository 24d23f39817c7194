// Recordings through wfal-host and the real module, headless on the virtual clock: a whole test
// from set-up to "Stop test?", a recording killed at random moments, and recordings that run out
// of room (a file size limit of the process, and a simulated USB stick). Every file is opened
// with the module's own header check, and every whole record in it must be the simulated
// engine's spectrum of that second.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <acqsim.h>
#include <winlayer.h>

#include "host_runner.h"
#include "resultfile/result_header.h"

namespace {

constexpr int RECORD_BYTES = 2 * 300; // the default range: 300 points
constexpr long long PAGE_BYTES = 4096;

// ---- Running the host as a child that may be killed ---------------------------------------

double seconds_now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void sleep_seconds(double s) {
    timespec t = {time_t(s), long((s - double(time_t(s))) * 1e9)};
    nanosleep(&t, nullptr);
}

// wfal-host headless with `script` in the folder's device root, started through `prefix` (for
// example prlimit) when one is given, with `env` added to the environment. With `ignore_xfsz` the
// child starts with SIGXFSZ ignored, so that a write beyond the file size limit fails instead of
// killing it.
class HostChild {
public:
    HostChild(const HostFolder &folder, const std::string &script,
              const std::vector<std::string> &args, const std::vector<std::string> &prefix = {},
              bool ignore_xfsz = false, const std::vector<std::string> &env = {})
        : out_(folder.dir() + "/stdout.txt") {
        std::string script_file = folder.dir() + "/script.txt";
        std::ofstream(script_file, std::ios::binary | std::ios::trunc) << script;
        std::vector<std::string> argv = prefix;
        argv.insert(argv.end(), {WFAL_HOST_PATH, "--device-root", folder.device(), "--screenshots",
                                 folder.shots(), "--headless", "--script", script_file});
        argv.insert(argv.end(), args.begin(), args.end());
        start(argv, env, folder.dir() + "/stderr.txt", ignore_xfsz);
    }
    ~HostChild() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    HostChild(const HostChild &) = delete;
    HostChild &operator=(const HostChild &) = delete;

    bool started() const { return pid_ > 0; }
    std::string out() const { return host_read_file(out_); }
    bool logged(const std::string &line) const {
        return out().find("\n" + line + "\n") != std::string::npos;
    }
    // Waits up to `limit` seconds for the log line; false if it did not come or the child ended.
    bool wait_for_line(const std::string &line, double limit) const {
        double end = seconds_now() + limit;
        while (seconds_now() < end) {
            if (logged(line)) return true;
            if (waitpid(pid_, nullptr, WNOHANG) != 0) return false;
            sleep_seconds(0.002);
        }
        return false;
    }
    void kill_now() { kill(pid_, SIGKILL); }
    // The wait status, once the child has ended; a child that outlives `limit` seconds is killed.
    int finish(double limit) {
        double end = seconds_now() + limit;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (seconds_now() > end) kill(pid_, SIGKILL);
            sleep_seconds(0.005);
        }
        pid_ = -1;
        return status;
    }

private:
    void start(const std::vector<std::string> &argv_text, const std::vector<std::string> &env,
               const std::string &err, bool ignore_xfsz) {
        std::vector<std::string> env_text = env;
        for (char **e = environ; *e; e++) {
            if (strncmp(*e, "WFAL_MODULE=", 12) != 0) env_text.push_back(*e);
        }
        std::vector<std::string> a = argv_text, e = env_text;
        std::vector<char *> argv, envp;
        for (std::string &t : a)
            argv.push_back(&t[0]);
        for (std::string &t : e)
            envp.push_back(&t[0]);
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        // An ignored signal stays ignored across exec; only the child is meant to ignore it.
        struct sigaction ignore = {}, before = {};
        ignore.sa_handler = SIG_IGN;
        if (ignore_xfsz) sigaction(SIGXFSZ, &ignore, &before);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        if (ignore_xfsz) sigaction(SIGXFSZ, &before, nullptr);
        posix_spawn_file_actions_destroy(&actions);
    }

    std::string out_;
    pid_t pid_ = -1;
};

std::vector<std::string> log_lines(const std::string &out) {
    HostRun r;
    r.out = out;
    return r.lines();
}

// ---- Checking a recorded file ---------------------------------------------------------------

// The packed header is kept aligned, so that its fields can be read in place.
struct Recorded {
    alignas(8) ResultHeader header = {};
    bool accepted = false;
    LONGLONG size = 0;
    std::string bytes;
};

// The file as the viewer would take it: the module's header check on the instrument path.
Recorded read_recorded(const HostFolder &folder, const WCHAR *path, const std::string &native) {
    Recorded r;
    wl_fs_set_root(folder.device().c_str());
    r.accepted = header_check_file(path, &r.header, &r.size) && header_accepted(r.header);
    r.bytes = host_read_file(folder.device() + "/" + native);
    return r;
}

// What the engine delivers for second `index` of a measurement with the header's set-up.
std::string engine_record(const ResultHeader &h, UINT32 seed, long long index) {
    AcqSimMeasure m = {seed, WORD(h.impedance), DWORD(h.start_frequency), DWORD(h.frequency_step),
                       WORD(h.points)};
    std::string levels(size_t(2 * h.points), '\0');
    if (!acqsim_spectrum(&m, ULONGLONG(index), reinterpret_cast<INT16 *>(&levels[0]))) return "";
    return levels;
}

// Every whole record is the engine's spectrum of its second; what follows the last whole record
// is the start of the next one. Gives the number of whole records.
::testing::AssertionResult records_are_engine_output(const Recorded &r, UINT32 seed,
                                                     long long *count) {
    const long long record = 2LL * r.header.points;
    *count = result_record_count(LONGLONG(r.bytes.size()), r.header);
    for (long long i = 0; i <= *count; i++) {
        size_t at = size_t(RESULT_HEADER_SIZE + i * record);
        size_t length = std::min(size_t(record), r.bytes.size() - at);
        std::string expected = engine_record(r.header, seed, i).substr(0, length);
        if (r.bytes.compare(at, length, expected) != 0)
            return ::testing::AssertionFailure()
                   << "record " << i << " of " << *count << " differs (" << length << " bytes)";
    }
    return ::testing::AssertionSuccess();
}

const std::string SET_UP_AND_START = "answer path \"\\\\USB\\\\line1.res\"\n"
                                     "tap \"Name\"\ntap \"Start\"\n";

// ---- A whole test -----------------------------------------------------------------------------

// A text field of the packed header, copied out before it is read as 16-bit characters.
std::u16string field_text(const void *field, size_t bytes) {
    std::u16string text(bytes / 2, u'\0');
    memcpy(&text[0], field, bytes);
    return text.substr(0, text.find(u'\0'));
}

bool is_control(const std::string &line) {
    return line.rfind("control ", 0) == 0;
}

// The dumped line of a key, from the dump that starts at line `from`.
std::string key_line(const std::vector<std::string> &lines, size_t from, int id) {
    const std::string head = "control " + std::to_string(id) + " ";
    for (size_t i = from; i < lines.size() && is_control(lines[i]); i++)
        if (lines[i].rfind(head, 0) == 0) return lines[i];
    return "";
}

// The first line of the first dump at or after line `from`, and the line after that dump.
size_t dump_start(const std::vector<std::string> &lines, size_t from) {
    while (from < lines.size() && !is_control(lines[from]))
        from++;
    return from;
}
size_t dump_end(const std::vector<std::string> &lines, size_t from) {
    while (from < lines.size() && is_control(lines[from]))
        from++;
    return from;
}

// Set up, name "\USB\line1.res", start, ten virtual minutes, freeze, find, continue, stop. The
// clock starts two minutes before midnight at the end of February, so the record pacing runs
// through a change of day and month. No time passes between the last refresh of the set-up
// dialog (the Name key) and Start, so the header's start time is the clock's start, and the
// measurement starts at the same moment. Result n of the engine is due n + 1 seconds after that,
// and record n may be written once n + 1 whole seconds have passed: the tick at each whole second
// writes exactly one record, and the tick at 600 s, the last that the wait fires, writes record
// 599. Freeze, Find, Continue and Stop take no time, so the file holds exactly 600 records.
TEST(HostRecordSession, TenMinutesFromSetUpToStop) {
    HostFolder folder;
    const std::string script = SET_UP_AND_START +
                               "wait 600\ntap \"Freeze\"\ndump\ntap \"PrtScr\"\ntap \"Find\"\n"
                               "tap \"Continue\"\ndump\nanswer yes\ntap \"Stop\"\ntap \"Esc\"\n";
    HostChild child(folder, script,
                    {"--start-time", "2025-02-28 23:58:00", "--seed", "7", "--device-name",
                     "LINE TESTER", "--serial", "A-17", "--operator", "Ann", "test"});
    ASSERT_TRUE(child.started());
    int status = child.finish(50);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << child.out();

    std::vector<std::string> lines = log_lines(child.out()), events;
    for (const std::string &line : lines)
        if (!is_control(line)) events.push_back(line);
    const std::vector<std::string> expected = {
        "title \"Set-up spectrogram test\"",
        "edit-path \"Result name\" \"\\Internal\\result.res\" -> \"\\USB\\line1.res\" 2",
        "title \"Spectrogram\"",
        "test-running 1",
        "print-screen \"" + folder.shots() + "/prtscr-0001.png\"",
        "message-box 52 \"Stop\" \"Stop test?\" -> 6",
        "test-running 0",
        "done 0",
    };
    EXPECT_EQ(events, expected) << child.out();
    // Frozen: the key offers Continue, Stop is off and PrtScr on; continued: Freeze again and Stop
    // on.
    size_t frozen = dump_start(lines, 0), going = dump_start(lines, dump_end(lines, frozen));
    EXPECT_NE(key_line(lines, frozen, 114).find("enabled visible"), std::string::npos);
    EXPECT_NE(key_line(lines, frozen, 114).find("\"Continue\""), std::string::npos);
    EXPECT_NE(key_line(lines, frozen, 115).find(" disabled "), std::string::npos);
    EXPECT_NE(key_line(lines, frozen, 109).find(" enabled "), std::string::npos);
    EXPECT_NE(key_line(lines, going, 114).find("\"Freeze\""), std::string::npos);
    EXPECT_NE(key_line(lines, going, 115).find(" enabled "), std::string::npos);

    Recorded r = read_recorded(folder, u"\\USB\\line1.res", "USB/line1.res");
    ASSERT_TRUE(r.accepted);
    const ResultHeader &h = r.header;
    EXPECT_EQ(r.size, RESULT_HEADER_SIZE + 600LL * RECORD_BYTES);
    EXPECT_EQ(field_text(h.type_prefix, sizeof h.type_prefix), u"wfal_");
    EXPECT_EQ(field_text(h.date_text, sizeof h.date_text), u"02/28/2025-23:58:00");
    unsigned sum = 0;
    for (int i = 0; i < 52; i++)
        sum += BYTE(r.bytes[size_t(i)]);
    EXPECT_EQ(h.checksum, BYTE(sum));
    const WORD start[] = {2025, 2, 28, 23, 58, 0};
    const WORD got[] = {h.start_year, h.start_month,  h.start_day,
                        h.start_hour, h.start_minute, h.start_second};
    EXPECT_TRUE(std::equal(start, start + 6, got));
    EXPECT_EQ(field_text(h.device, sizeof h.device), u"LINE TESTER");
    EXPECT_EQ(field_text(h.serial, sizeof h.serial), u"A-17");
    EXPECT_EQ(field_text(h.software_version, sizeof h.software_version), u"2.00");
    EXPECT_EQ(field_text(h.operator_name, sizeof h.operator_name), u"Ann");
    EXPECT_EQ(field_text(h.notes, sizeof h.notes), u"");
    // The default range, 3 MHz: 300 points from 10 kHz in steps of 10 kHz (half-hertz fields);
    // the first impedance the range allows, terminated input, automatic gain.
    EXPECT_EQ(h.range, 3000000);
    EXPECT_EQ(h.points, 300);
    EXPECT_EQ(h.start_frequency, 20000);
    EXPECT_EQ(h.frequency_step, 20000);
    EXPECT_EQ(h.impedance, 100);
    EXPECT_EQ(h.input, 0);
    EXPECT_EQ(h.gain, -1);
    long long count = 0;
    EXPECT_TRUE(records_are_engine_output(r, 7, &count));
    EXPECT_EQ(count, 600);
}

// ---- Killed while recording ------------------------------------------------------------------

struct KillTrial {
    UINT32 seed;
    bool during_start_up; // killed at any moment from the start, else while recording
    double delay;         // seconds before the kill
};

// The file a killed recording leaves. Once the log says the test runs, the header is on the
// storage and the file must open; before that there may be no file, or an empty one (killed
// between the open and the header's write). Records already visible before the kill must all be
// there. A write cut by the kill stops at a page boundary of the file, so a partial record can
// only end there: a recording that buffered its records would leave records cut anywhere.
void check_killed_file(const HostFolder &folder, const KillTrial &t, bool running,
                       long long seen_before_kill) {
    std::string native = folder.device() + "/USB/line1.res";
    struct stat st;
    if (!running && (stat(native.c_str(), &st) != 0 || st.st_size == 0)) return;
    Recorded r = read_recorded(folder, u"\\USB\\line1.res", "USB/line1.res");
    ASSERT_TRUE(r.accepted) << r.bytes.size() << " bytes";
    EXPECT_EQ(r.header.points, 300);
    EXPECT_EQ(LONGLONG(r.bytes.size()), r.size);
    EXPECT_GE(r.size, seen_before_kill);
    long long count = 0;
    EXPECT_TRUE(records_are_engine_output(r, t.seed, &count));
    long long partial = (r.size - RESULT_HEADER_SIZE) % RECORD_BYTES;
    EXPECT_TRUE(partial == 0 || r.size % PAGE_BYTES == 0) << r.size;
}

// 56 kills: 50 at a random moment of the recording, 6 at any moment from the start of the
// process. Each child has its own seed, so records of another measurement would show. While the
// delay runs, the file's size is watched: a record that another process could see had left the
// recording's buffers, and must be there after the kill.
TEST(HostRecordSession, KilledAtRandomMomentsLeavesAFileThatOpens) {
    std::mt19937 random(20250106);
    std::uniform_real_distribution<double> recording(0.0, 0.2), start_up(0.0, 0.4);
    int recorded = 0, with_records = 0;
    for (UINT32 trial = 0; trial < 56; trial++) {
        KillTrial t = {trial + 1, trial % 8 == 7, 0};
        t.delay = t.during_start_up ? start_up(random) : recording(random);
        SCOPED_TRACE("trial " + std::to_string(trial) + (t.during_start_up ? " start-up" : "") +
                     " delay " + std::to_string(t.delay));
        HostFolder folder;
        HostChild child(folder, SET_UP_AND_START + "wait 1000000\n",
                        {"--seed", std::to_string(t.seed), "test"});
        ASSERT_TRUE(child.started());
        if (!t.during_start_up) {
            ASSERT_TRUE(child.wait_for_line("test-running 1", 30));
        }
        std::string native = folder.device() + "/USB/line1.res";
        long long seen = 0;
        struct stat st;
        for (double end = seconds_now() + t.delay; seconds_now() < end; sleep_seconds(0.001))
            if (stat(native.c_str(), &st) == 0) seen = st.st_size;
        child.kill_now();
        int status = child.finish(10);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        bool running = child.logged("test-running 1");
        check_killed_file(folder, t, running, seen);
        recorded += running;
        with_records += seen > RESULT_HEADER_SIZE;
    }
    // The trials must have hit the recording itself, not only its start.
    EXPECT_GE(recorded, 50);
    EXPECT_GE(with_records, 25);
}

// ---- Each record on the device -----------------------------------------------------------------

// The system calls of the child on the file descriptor that writes the result, from its opening
// to its closing, as "write BYTES", "fsync" and so on, read from strace's output.
std::vector<std::string> writer_calls(const std::string &trace) {
    std::vector<std::string> calls;
    std::string fd;
    HostRun lines;
    lines.out = trace;
    for (const std::string &line : lines.lines()) {
        // "PID call(arguments) = result", the PID padded with spaces.
        size_t name = line.find_first_not_of(' ', line.find(' '));
        size_t open = line.find('(', name), result = line.rfind(" = ");
        if (name == std::string::npos || open == std::string::npos || result == std::string::npos)
            continue;
        std::string call = line.substr(name, open - name), value = line.substr(result + 3);
        if (fd.empty()) {
            if (call == "openat" && line.find("USB/line1.res\"") != std::string::npos &&
                line.find("O_WRONLY") != std::string::npos)
                fd = value;
            continue;
        }
        if (line.compare(open + 1, fd.size() + 1, fd + ",") != 0 &&
            line.compare(open + 1, fd.size() + 1, fd + ")") != 0)
            continue;
        calls.push_back(call == "write" ? "write " + value : call);
        if (call == "close") break;
    }
    return calls;
}

// The header and then every record is one write, each followed by the synchronisation to the
// device before anything else happens to the file; the host leaves that on.
TEST(HostRecordSession, EachRecordIsOneWriteSyncedToTheDevice) {
    // A machine without strace, or one that forbids tracing (a container without ptrace), can't
    // show the calls; the other tests here still check the file the calls leave.
    if (system("strace -qq -o /dev/null true > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is missing or cannot trace here";
    HostFolder folder;
    const std::string trace = folder.dir() + "/trace.txt";
    HostChild child(folder, SET_UP_AND_START + "wait 20\nstop-request on\nwait 1\ntap \"Esc\"\n",
                    {"test"},
                    {"strace", "-f", "-qq", "-o", trace, "-e",
                     "trace=openat,write,writev,pwrite64,fsync,fdatasync,close", "--"},
                    false, {"ASAN_OPTIONS=detect_leaks=0"}); // the leak check cannot run traced
    ASSERT_TRUE(child.started());
    int status = child.finish(50);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << child.out();
    std::vector<std::string> expected = {"write 1320", "fsync"};
    for (int i = 0; i < 20; i++)
        expected.insert(expected.end(), {"write " + std::to_string(RECORD_BYTES), "fsync"});
    expected.push_back("close");
    EXPECT_EQ(writer_calls(host_read_file(trace)), expected);
    EXPECT_EQ(std::filesystem::file_size(folder.device() + "/USB/line1.res"),
              uintmax_t(RESULT_HEADER_SIZE + 20 * RECORD_BYTES));
}

// ---- Out of room
// ---------------------------------------------------------------------------------

struct SizeLimit {
    long long limit; // bytes a file of the process may reach
    long long records;
    long long partial;
};

// Under a file size limit with SIGXFSZ ignored, the write that crosses the limit stores what fits
// and the next one fails: the flush of the record fails, the test stops with the write error, and
// the records before it stay. The log, the settings file and the header are far below the limit.
TEST(HostRecordSession, FileSizeLimitStopsTheTestWithAWriteError) {
    const SizeLimit cases[] = {
        {RESULT_HEADER_SIZE + 40LL * RECORD_BYTES, 40, 0},
        {RESULT_HEADER_SIZE + 40LL * RECORD_BYTES + 250, 40, 250},
        {RESULT_HEADER_SIZE + 1, 0, 1},
    };
    for (const SizeLimit &c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.limit));
        HostFolder folder;
        HostChild child(folder, SET_UP_AND_START + "answer ok\nwait 100\ntap \"Esc\"\n",
                        {"--seed", "3", "test"},
                        {"prlimit", "--fsize=" + std::to_string(c.limit), "--"}, true);
        ASSERT_TRUE(child.started());
        int status = child.finish(30);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << child.out();
        std::vector<std::string> lines = log_lines(child.out());
        ASSERT_EQ(lines.size(), 7u) << child.out();
        EXPECT_EQ(lines[3], "test-running 1");
        EXPECT_EQ(lines[4], "test-running 0");
        EXPECT_EQ(lines[5], "message-box 16 \"Error\" \"File write error.\\nTest stopped.\" -> 1");
        EXPECT_EQ(lines[6], "done 0");

        Recorded r = read_recorded(folder, u"\\USB\\line1.res", "USB/line1.res");
        ASSERT_TRUE(r.accepted);
        EXPECT_EQ(r.size, c.limit);
        long long count = 0;
        EXPECT_TRUE(records_are_engine_output(r, 3, &count));
        EXPECT_EQ(count, c.records);
        EXPECT_EQ((r.size - RESULT_HEADER_SIZE) % RECORD_BYTES, c.partial);
    }
}

long long folder_bytes(const std::string &dir) {
    long long total = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) total += (long long)entry.file_size();
    return total;
}

// The set-up dialog leaves 16 KB of the stick free, but screenshots saved onto the stick after
// its last refresh take more than that: the recording fills the stick and fails on the record
// that no longer fits, long before its maximum test time.
TEST(HostRecordSession, SimulatedStickRunsOut) {
    const long long capacity = RESULT_HEADER_SIZE + 1000LL * RECORD_BYTES + 16384;
    HostFolder folder;
    std::string shots;
    for (int i = 0; i < 8; i++)
        shots += "shot \"setup" + std::to_string(i) + ".png\"\n";
    const std::string script = "answer path \"\\\\USB\\\\line1.res\"\ntap \"Name\"\n" + shots +
                               "tap \"Start\"\nanswer ok\nwait 1100\ntap \"Esc\"\n";
    std::vector<std::string> args = {
        "--volume-size", "USB=" + std::to_string(capacity), "--seed", "5",
        "--screenshots", folder.device() + "/USB",          "test"};
    HostChild child(folder, script, args);
    ASSERT_TRUE(child.started());
    int status = child.finish(50);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << child.out();
    EXPECT_TRUE(child.logged("message-box 16 \"Error\" \"File write error.\\nTest stopped.\" -> 1"))
        << child.out();
    EXPECT_EQ(child.out().find("Max test time"), std::string::npos);

    Recorded r = read_recorded(folder, u"\\USB\\line1.res", "USB/line1.res");
    ASSERT_TRUE(r.accepted);
    long long shot_bytes = folder_bytes(folder.device() + "/USB") - r.size;
    ASSERT_GT(shot_bytes, 16384 + RECORD_BYTES) << "the screenshots are too small to fill it";
    // The last record was cut where the stick was full.
    EXPECT_EQ(folder_bytes(folder.device() + "/USB"), capacity);
    long long count = 0;
    EXPECT_TRUE(records_are_engine_output(r, 5, &count));
    EXPECT_EQ(count, (capacity - shot_bytes - RESULT_HEADER_SIZE) / RECORD_BYTES);
    EXPECT_LT(count, 1000);
}

} // namespace
