// Recordings through wfal-host and the real module, headless on the virtual clock, that a flow
// cannot show: killed, traced, or cut short by a file size limit. Every file is
// opened with the module's own header check, and every whole record in it must be the simulated
// engine's spectrum of that second.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include <winlayer.h>

#include "host_runner.h"
#include "kill_trials.h"
#include "resultfile/result_header.h"

namespace {

constexpr int RECORD_BYTES = 2 * 300; // the default range: 300 points
const std::string SET_UP_AND_START =
    "answer path \"\\\\USB\\\\line1.res\"\ntap \"Name\"\ntap \"Start\"\n";
const std::string WRITE_ERROR =
    "message-box 16 \"Error\" \"File write error.\\nTest stopped.\" -> 1";

// The exit status of the real module's session, started through `wrapper` when given.
int record(const HostFolder &folder, const std::string &script,
           const std::vector<std::string> &args, const std::vector<std::string> &wrapper = {}) {
    return HostChild(folder, folder.headless(script, args), nullptr, wrapper).exit_status(50);
}

// 56 kills: 50 at a random moment of the recording, 6 at any moment from the start of the
// process (kill_recording says what each must leave); each child has its own seed, so records of
// another measurement would show.
TEST(HostRecordSession, KilledAtRandomMomentsLeavesAFileThatOpens) {
    std::mt19937 random(20250106);
    std::uniform_real_distribution<double> recording(0.0, 0.2), start_up(0.0, 0.4);
    int recorded = 0, with_records = 0;
    for (UINT32 trial = 0; trial < 56; trial++) {
        const bool during_start_up = trial % 9 == 8; // trials 8, 17, ... 53: six of them
        const double delay = during_start_up ? start_up(random) : recording(random);
        SCOPED_TRACE("trial " + std::to_string(trial) + (during_start_up ? " start-up" : "") +
                     " delay " + std::to_string(delay));
        bool running = false;
        const KillOutcome o = kill_recording(trial + 1, delay, during_start_up, {}, &running);
        EXPECT_EQ(o.why, "");
        recorded += running;
        with_records += o.records > 0;
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
    for (const std::string &line : text_lines(trace)) {
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
    // The leak check of an instrumented build cannot run traced.
    ASSERT_EQ(record(folder, SET_UP_AND_START + "wait 20\nstop-request on\nwait 1\ntap \"Esc\"\n",
                     {"test"},
                     {"env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-f", "-qq", "-o", trace,
                      "-e", "trace=openat,write,writev,pwrite64,fsync,fdatasync,close", "--"}),
              0)
        << folder.out();
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
        // An ignored signal stays ignored across exec.
        ASSERT_EQ(record(folder, SET_UP_AND_START + "answer ok\nwait 100\nclose\n",
                         {"--seed", "3", "test"},
                         {"sh", "-c", "trap '' XFSZ && exec \"$@\"", "sh", "prlimit",
                          "--fsize=" + std::to_string(limit), "--"}),
                  0)
            << folder.out();
        const std::vector<std::string> lines = folder.lines();
        ASSERT_EQ(lines.size(), 7u) << folder.out();
        EXPECT_EQ(
            std::vector<std::string>(lines.begin() + 3, lines.end()),
            (std::vector<std::string>{"test-running 1", "test-running 0", WRITE_ERROR, "done 0"}));

        Recorded r = read_recorded(folder);
        ASSERT_TRUE(r.accepted);
        EXPECT_EQ(r.size, limit);
        std::string why;
        EXPECT_EQ(engine_records(r, 3, &why), records) << why;
        EXPECT_EQ((r.size - RESULT_HEADER_SIZE) % RECORD_BYTES, partial);
    }
}

} // namespace
