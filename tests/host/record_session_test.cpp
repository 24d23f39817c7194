// Recordings through wfal-host and the real module, headless on the virtual clock. Every file is
// opened with the module's own header check, and every whole record in it must be the simulated
// engine's spectrum of that second.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <acqsim.h>
#include <winlayer.h>

#include "host_runner.h"
#include "resultfile/result_header.h"

namespace {

constexpr int RECORD_BYTES = 2 * 300; // the default range: 300 points
constexpr long long PAGE_BYTES = 4096;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// wfal-host headless with `script` in the folder's device root, started through the command in
// `argv` (for example prlimit) when one is given, with `env` added to the environment. With
// `ignore_xfsz` a write beyond the file size limit fails instead of killing the child.
class HostChild {
public:
    HostChild(const HostFolder &folder, const std::string &script,
              const std::vector<std::string> &args, std::vector<std::string> argv = {},
              bool ignore_xfsz = false, std::vector<std::string> env = {})
        : out_(folder.dir() + "/stdout.txt") {
        const std::string script_file = folder.dir() + "/script.txt", err = folder.dir() + "/err";
        std::ofstream(script_file, std::ios::binary | std::ios::trunc) << script;
        argv.insert(argv.end(), {WFAL_HOST_PATH, "--device-root", folder.device(), "--screenshots",
                                 folder.shots(), "--headless", "--script", script_file});
        argv.insert(argv.end(), args.begin(), args.end());
        for (char **e = environ; *e; e++)
            if (strncmp(*e, "WFAL_MODULE=", 12) != 0) env.push_back(*e);
        auto pointers = [](std::vector<std::string> &texts) {
            std::vector<char *> p;
            for (std::string &t : texts)
                p.push_back(&t[0]);
            return p.push_back(nullptr), p;
        };
        std::vector<char *> argp = pointers(argv), envp = pointers(env);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string *files[] = {&out_, &err}; // stdout and stderr
        for (int fd = 1; fd <= 2; fd++)
            posix_spawn_file_actions_addopen(&actions, fd, files[fd - 1]->c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // An ignored signal stays ignored across exec; only the child is meant to ignore it.
        struct sigaction ignore = {}, before = {};
        ignore.sa_handler = SIG_IGN;
        if (ignore_xfsz) sigaction(SIGXFSZ, &ignore, &before);
        if (posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0)
            pid_ = -1;
        if (ignore_xfsz) sigaction(SIGXFSZ, &before, nullptr);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~HostChild() {
        if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    }
    HostChild(const HostChild &) = delete;
    HostChild &operator=(const HostChild &) = delete;

    static void sleep_seconds(double s) { std::this_thread::sleep_for(Seconds(s)); }
    bool started() const { return pid_ > 0; }
    std::string out() const { return host_read_file(out_); }
    std::vector<std::string> lines() const { return HostRun{-1, out(), ""}.lines(); }
    bool logged(const std::string &line) const {
        return out().find("\n" + line + "\n") != std::string::npos;
    }
    // Waits up to `limit` seconds for the log line; false if it did not come or the child ended.
    bool wait_for_line(const std::string &line, double limit) const {
        for (auto end = Clock::now() + Seconds(limit); Clock::now() < end; sleep_seconds(0.002)) {
            if (logged(line)) return true;
            if (waitpid(pid_, nullptr, WNOHANG) != 0) return false;
        }
        return false;
    }
    // The wait status, once the child has ended; a child that outlives `limit` seconds is killed
    // (at once with 0).
    int finish(double limit) {
        int status = 0;
        for (auto end = Clock::now() + Seconds(limit); waitpid(pid_, &status, WNOHANG) == 0;
             sleep_seconds(0.005))
            if (Clock::now() > end) kill(pid_, SIGKILL);
        pid_ = -1;
        return status;
    }
    // Runs to its end within `limit` seconds; a failure shows the log.
    ::testing::AssertionResult exits_0(double limit) {
        const int status = started() ? finish(limit) : -1;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "status " << status << "\n" << out();
    }

private:
    std::string out_;
    pid_t pid_ = -1;
};

// The packed header is kept aligned, so that its fields can be read in place.
struct Recorded {
    alignas(8) ResultHeader header = {};
    bool accepted = false;
    LONGLONG size = 0;
    std::string bytes;
};

// "\USB\line1.res" as the viewer would take it: the module's header check on the instrument path.
Recorded read_recorded(const HostFolder &folder) {
    Recorded r;
    wl_fs_set_root(folder.device().c_str());
    r.accepted =
        header_check_file(u"\\USB\\line1.res", &r.header, &r.size) && header_accepted(r.header);
    r.bytes = host_read_file(folder.device() + "/USB/line1.res");
    return r;
}

// The number of whole records, each the engine's spectrum of its second for the header's set-up;
// what follows the last one is the start of the next. -1 (and a failure) when a record differs.
long long engine_records(const Recorded &r, UINT32 seed) {
    const ResultHeader &h = r.header;
    AcqSimMeasure m = {seed, WORD(h.impedance), DWORD(h.start_frequency), DWORD(h.frequency_step),
                       WORD(h.points)};
    std::string levels(size_t(2 * h.points), '\0');
    const long long count = result_record_count(LONGLONG(r.bytes.size()), h);
    for (long long i = 0; i <= count; i++) {
        const size_t at = size_t(RESULT_HEADER_SIZE + i * levels.size());
        const size_t length = std::min(levels.size(), r.bytes.size() - at);
        if (!acqsim_spectrum(&m, ULONGLONG(i), reinterpret_cast<INT16 *>(&levels[0])) ||
            r.bytes.compare(at, length, levels, 0, length) != 0) {
            ADD_FAILURE() << "record " << i << " of " << count << " differs (" << length
                          << " bytes)";
            return -1;
        }
    }
    return count;
}

const std::string SET_UP_AND_START =
    "answer path \"\\\\USB\\\\line1.res\"\ntap \"Name\"\ntap \"Start\"\n";
const std::string WRITE_ERROR =
    "message-box 16 \"Error\" \"File write error.\\nTest stopped.\" -> 1";

// A text field of the packed header, copied out before it is read as 16-bit characters.
template <size_t N>
std::u16string field_text(const WCHAR (&field)[N]) {
    std::u16string text(N, u'\0');
    memcpy(&text[0], field, sizeof field);
    return text.substr(0, text.find(u'\0'));
}

// The lines that start with `prefix`, in order; with `with` false, all the other lines.
std::vector<std::string> lines_with(const std::vector<std::string> &lines,
                                    const std::string &prefix, bool with = true) {
    std::vector<std::string> found;
    for (const std::string &line : lines)
        if ((line.rfind(prefix, 0) == 0) == with) found.push_back(line);
    return found;
}

// Set up, name "\USB\line1.res", start, ten virtual minutes, freeze, find, continue, stop. The
// clock starts two minutes before midnight at the end of February, so the record pacing runs
// through a change of day and month. No time passes between the Name key's refresh and Start, so
// the header's start time is the clock's start. Record n is written at the tick n + 1 seconds
// after it (when result n is due); the tick at 600 s writes record 599, and Freeze, Find,
// Continue and Stop take no time, so the file holds exactly 600 records.
TEST(HostRecordSession, TenMinutesFromSetUpToStop) {
    HostFolder folder;
    const std::string script = SET_UP_AND_START +
                               "wait 600\ntap \"Freeze\"\ndump\ntap \"PrtScr\"\ntap \"Find\"\n"
                               "tap \"Continue\"\ndump\nanswer yes\ntap \"Stop\"\ntap \"Esc\"\n";
    HostChild child(folder, script,
                    {"--start-time", "2025-02-28 23:58:00", "--seed", "7", "--device-name",
                     "LINE TESTER", "--serial", "A-17", "--operator", "Ann", "test"});
    ASSERT_TRUE(child.exits_0(50));

    const std::vector<std::string> expected = {
        "title \"Set-up spectrogram test\"",
        "edit-path \"Result name\" \"\\Internal\\result.res\" -> \"\\USB\\line1.res\" 2",
        "title \"Spectrogram\"",
        "test-running 1",
        "print-screen \"" + folder.shots() + "/prtscr-0001.png\"",
        "message-box 52 \"Stop\" \"Stop test?\" -> 6",
        "test-running 0",
        "done 0"};
    EXPECT_EQ(lines_with(child.lines(), "control ", false), expected) << child.out();
    // Frozen (the first dump): the key offers Continue, Stop is off and PrtScr on; continued:
    // Freeze again and Stop on.
    auto shows = [&](int id, size_t dump, const char *part) {
        std::vector<std::string> keys =
            lines_with(child.lines(), "control " + std::to_string(id) + " ");
        return keys.size() == 2 && keys[dump].find(part) != std::string::npos;
    };
    EXPECT_TRUE(shows(114, 0, "\"Continue\"") && shows(114, 0, " enabled visible") &&
                shows(115, 0, " disabled ") && shows(109, 0, " enabled ") &&
                shows(114, 1, "\"Freeze\"") && shows(115, 1, " enabled "))
        << child.out();

    Recorded r = read_recorded(folder);
    ASSERT_TRUE(r.accepted);
    const ResultHeader &h = r.header;
    EXPECT_EQ(r.size, RESULT_HEADER_SIZE + 600LL * RECORD_BYTES);
    EXPECT_EQ(h.checksum,
              BYTE(std::accumulate(r.bytes.begin(), r.bytes.begin() + 52, 0u,
                                   [](unsigned sum, char c) { return sum + BYTE(c); })));
    EXPECT_EQ((std::vector<std::u16string>{field_text(h.type_prefix), field_text(h.date_text),
                                           field_text(h.device), field_text(h.serial),
                                           field_text(h.software_version),
                                           field_text(h.operator_name), field_text(h.notes)}),
              (std::vector<std::u16string>{u"wfal_", u"02/28/2025-23:58:00", u"LINE TESTER",
                                           u"A-17", u"2.00", u"Ann", u""}));
    // The default range, 3 MHz: 300 points from 10 kHz in steps of 10 kHz (half-hertz fields);
    // the first impedance the range allows, terminated input, automatic gain.
    EXPECT_EQ(
        (std::vector<INT32>{h.start_year, h.start_month, h.start_day, h.start_hour, h.start_minute,
                            h.start_second, h.range, h.points, h.start_frequency, h.frequency_step,
                            h.impedance, h.input, h.gain}),
        (std::vector<INT32>{2025, 2, 28, 23, 58, 0, 3000000, 300, 20000, 20000, 100, 0, -1}));
    EXPECT_EQ(engine_records(r, 7), 600);
}

// 56 kills: 50 at a random moment of the recording, 6 at any moment from the start of the
// process; each child has its own seed, so records of another measurement would show. A record
// another process saw before the kill had left the recording's buffers and must be there. Once
// the log says the test runs, the file must open; before that it may be missing or empty. A write
// cut by the kill stops at a page boundary, so a partial record can only end there: a recording
// that buffered its records would leave records cut anywhere.
TEST(HostRecordSession, KilledAtRandomMomentsLeavesAFileThatOpens) {
    std::mt19937 random(20250106);
    std::uniform_real_distribution<double> recording(0.0, 0.2), start_up(0.0, 0.4);
    int recorded = 0, with_records = 0;
    for (UINT32 trial = 0; trial < 56; trial++) {
        const UINT32 seed = trial + 1;
        const bool during_start_up = trial % 9 == 8; // trials 8, 17, ... 53: six of them
        const double delay = during_start_up ? start_up(random) : recording(random);
        SCOPED_TRACE("trial " + std::to_string(trial) + (during_start_up ? " start-up" : "") +
                     " delay " + std::to_string(delay));
        HostFolder folder;
        HostChild child(folder, SET_UP_AND_START + "wait 1000000\n",
                        {"--seed", std::to_string(seed), "test"});
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(during_start_up || child.wait_for_line("test-running 1", 30));
        const std::string native = folder.device() + "/USB/line1.res";
        long long seen = 0;
        struct stat st;
        for (auto end = Clock::now() + Seconds(delay); Clock::now() < end;
             child.sleep_seconds(0.001))
            if (stat(native.c_str(), &st) == 0) seen = st.st_size;
        const int status = child.finish(0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        const bool running = child.logged("test-running 1");
        recorded += running;
        with_records += seen > RESULT_HEADER_SIZE;
        if (!running && (stat(native.c_str(), &st) != 0 || st.st_size == 0)) continue;

        Recorded r = read_recorded(folder);
        ASSERT_TRUE(r.accepted) << r.bytes.size() << " bytes";
        EXPECT_EQ(r.header.points, 300);
        EXPECT_EQ(LONGLONG(r.bytes.size()), r.size);
        EXPECT_GE(r.size, seen);
        EXPECT_GE(engine_records(r, seed), 0);
        const long long partial = (r.size - RESULT_HEADER_SIZE) % RECORD_BYTES;
        EXPECT_TRUE(partial == 0 || r.size % PAGE_BYTES == 0) << r.size;
    }
    // The trials must have hit the recording itself, not only its start.
    EXPECT_GE(recorded, 50);
    EXPECT_GE(with_records, 25);
}

// The system calls of the child on the file descriptor that writes the result, from its opening
// to its closing, as "write BYTES", "fsync" and so on, read from strace's output.
std::vector<std::string> writer_calls(const std::string &trace) {
    std::vector<std::string> calls;
    std::string fd;
    for (const std::string &line : HostRun{-1, trace, ""}.lines()) {
        // "PID call(arguments) = result", the PID padded with spaces.
        const size_t name = line.find_first_not_of(' ', line.find(' '));
        const size_t open = line.find('(', name), result = line.rfind(" = ");
        if (open == std::string::npos || result == std::string::npos) continue;
        const std::string call = line.substr(name, open - name), value = line.substr(result + 3);
        const std::string first = line.substr(open + 1, line.find_first_of(",)", open) - open - 1);
        if (fd.empty() && call == "openat" && line.find("USB/line1.res\"") != std::string::npos &&
            line.find("O_WRONLY") != std::string::npos)
            fd = value;
        else if (!fd.empty() && first == fd)
            calls.push_back(call == "write" ? "write " + value : call);
        if (!fd.empty() && call == "close" && first == fd) break;
    }
    return calls;
}

// The header and then every record is one write, each followed by the synchronisation to the
// device before anything else happens to the file; the host leaves that on.
TEST(HostRecordSession, EachRecordIsOneWriteSyncedToTheDevice) {
    // Without strace, or where tracing is forbidden (a container without ptrace), the calls can't
    // be seen; the other tests here still check the file they leave.
    if (system("strace -qq -o /dev/null true > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is missing or cannot trace here";
    HostFolder folder;
    const std::string trace = folder.dir() + "/trace.txt";
    HostChild child(folder, SET_UP_AND_START + "wait 20\nstop-request on\nwait 1\ntap \"Esc\"\n",
                    {"test"},
                    {"strace", "-f", "-qq", "-o", trace, "-e",
                     "trace=openat,write,writev,pwrite64,fsync,fdatasync,close", "--"},
                    false, {"ASAN_OPTIONS=detect_leaks=0"}); // the leak check cannot run traced
    ASSERT_TRUE(child.exits_0(50));
    std::vector<std::string> expected = {"write 1320", "fsync"};
    for (int i = 0; i < 20; i++)
        expected.insert(expected.end(), {"write " + std::to_string(RECORD_BYTES), "fsync"});
    expected.push_back("close");
    EXPECT_EQ(writer_calls(host_read_file(trace)), expected);
    EXPECT_EQ(std::filesystem::file_size(folder.device() + "/USB/line1.res"),
              uintmax_t(RESULT_HEADER_SIZE + 20 * RECORD_BYTES));
}

// Under a file size limit with SIGXFSZ ignored, the write that crosses the limit stores what fits
// and the next one fails: the flush of the record fails, the test stops with the write error, and
// the records before it stay. The log, the settings file and the header are far below the limit.
TEST(HostRecordSession, FileSizeLimitStopsTheTestWithAWriteError) {
    // bytes a file of the process may reach, whole records and the bytes after them
    const long long cases[][3] = {{RESULT_HEADER_SIZE + 40LL * RECORD_BYTES, 40, 0},
                                  {RESULT_HEADER_SIZE + 40LL * RECORD_BYTES + 250, 40, 250},
                                  {RESULT_HEADER_SIZE + 1, 0, 1}};
    for (const auto &[limit, records, partial] : cases) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        HostFolder folder;
        HostChild child(folder, SET_UP_AND_START + "answer ok\nwait 100\ntap \"Esc\"\n",
                        {"--seed", "3", "test"},
                        {"prlimit", "--fsize=" + std::to_string(limit), "--"}, true);
        ASSERT_TRUE(child.exits_0(30));
        const std::vector<std::string> lines = child.lines();
        ASSERT_EQ(lines.size(), 7u) << child.out();
        EXPECT_EQ(
            std::vector<std::string>(lines.begin() + 3, lines.end()),
            (std::vector<std::string>{"test-running 1", "test-running 0", WRITE_ERROR, "done 0"}));

        Recorded r = read_recorded(folder);
        ASSERT_TRUE(r.accepted);
        EXPECT_EQ(r.size, limit);
        EXPECT_EQ(engine_records(r, 3), records);
        EXPECT_EQ((r.size - RESULT_HEADER_SIZE) % RECORD_BYTES, partial);
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
    HostChild child(folder, script,
                    {"--volume-size", "USB=" + std::to_string(capacity), "--seed", "5",
                     "--screenshots", folder.device() + "/USB", "test"});
    ASSERT_TRUE(child.exits_0(50));
    EXPECT_TRUE(child.logged(WRITE_ERROR)) << child.out();
    EXPECT_EQ(child.out().find("Max test time"), std::string::npos);

    Recorded r = read_recorded(folder);
    ASSERT_TRUE(r.accepted);
    long long shot_bytes = folder_bytes(folder.device() + "/USB") - r.size;
    ASSERT_GT(shot_bytes, 16384 + RECORD_BYTES) << "the screenshots are too small to fill it";
    // The last record was cut where the stick was full.
    EXPECT_EQ(folder_bytes(folder.device() + "/USB"), capacity);
    const long long count = engine_records(r, 5);
    EXPECT_EQ(count, (capacity - shot_bytes - RESULT_HEADER_SIZE) / RECORD_BYTES);
    EXPECT_LT(count, 1000);
}

} // namespace
