// The command and result protocol of the simulated engine, and its pace on the virtual clock.
#include <string.h>

#include "support/acq_client.h"

namespace {

using namespace acqtest;

const Measure LINE = {7, 600, 200000, 200000, 353};

std::string text_at(const Result &r, size_t at) {
    const char *text = reinterpret_cast<const char *>(r.bytes.data() + at);
    EXPECT_EQ(text[15], 0) << "field at " << at << " not terminated";
    return std::string(text, strnlen(text, 16));
}

// The longest name and serial, then shorter ones that must not keep the rest of the longer.
// (The host refuses names that are too long or not printable before it hands them over.)
TEST_F(EngineTest, IdentifyReportsNameSerialAndOptionWord) {
    const std::tuple<const char *, const char *, WORD> cases[] = {
        {"ABCDEFGHIJKLMNO", "123456789012345", ACQSIM_OPTION_WIDEBAND}, {"X", "", 0x7fff}};
    for (const auto &[device, serial, options] : cases) {
        ASSERT_TRUE(acqsim_set_device_name(device) && acqsim_set_serial(serial));
        acqsim_set_options(options);
        ASSERT_TRUE(send(IDENTIFY));
        std::vector<Result> got = drain();
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].at(2), 9);
        EXPECT_EQ(got[0].at(8), INT16(options));
        EXPECT_EQ(text_at(got[0], 12), device);
        EXPECT_EQ(text_at(got[0], 28), serial);
    }
}

// None before the first second; then one a second, also over a jump of the clock, each as it
// would have been made at its time.
TEST_F(EngineTest, OneResultPerSecondStaleOnesFirst) {
    ASSERT_TRUE(measure(LINE));
    wl_clock_advance_ms(999);
    EXPECT_TRUE(drain().empty());
    const std::pair<int, size_t> steps[] = {{1, 1}, {1000, 1}, {9000, 9}};
    ULONGLONG index = 0;
    for (const auto &[ms, count] : steps) {
        wl_clock_advance_ms(ms);
        std::vector<Result> got = drain();
        ASSERT_EQ(got.size(), count) << "after " << ms << " ms";
        for (const Result &r : got) {
            EXPECT_EQ(r.at(2), 8);
            EXPECT_EQ(r.at(8), 7);
            EXPECT_EQ(r.at(0), 10 + 2 * LINE.points);
            EXPECT_EQ(r.levels(LINE.points), synthetic(1, LINE, index++));
        }
    }
    // A new measure: the results still waiting come first, with their own sequence.
    wl_clock_advance_ms(2500);
    const Measure next = {0xffff, 600, 200000, 200000, 10};
    ASSERT_TRUE(measure(next));
    wl_clock_advance_ms(1000);
    std::vector<Result> got = drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].at(8), 7);
    EXPECT_EQ(got[1].levels(LINE.points), synthetic(1, LINE, index + 1));
    EXPECT_EQ(got[2].at(8), -1);
    EXPECT_EQ(got[2].levels(next.points), synthetic(1, next, 0));
}

// Stop keeps what was due and waiting; reset throws everything away. Neither makes more.
TEST_F(EngineTest, StopAndResetEndProduction) {
    const std::pair<UINT16, size_t> cases[] = {{STOP, 2}, {RESET, 0}};
    for (const auto &[command, left] : cases) {
        acqsim_reset();
        ASSERT_TRUE(measure(LINE));
        wl_clock_advance_ms(1500);
        send(IDENTIFY);
        ASSERT_TRUE(send(command));
        wl_clock_advance_ms(10000);
        EXPECT_EQ(drain().size(), left) << "command " << command;
    }
}

// A full queue makes room for a new answer by dropping its oldest result.
TEST_F(EngineTest, ALongJumpKeepsOnlyTheNewestBacklog) {
    const Measure small = {3, 600, 200, 40, 4};
    ASSERT_TRUE(measure(small));
    wl_clock_advance_ms(5000ULL * 1000 + 999);
    ASSERT_TRUE(send(IDENTIFY));
    std::vector<Result> got = drain();
    ASSERT_EQ(got.size(), size_t(ACQSIM_BACKLOG_MAX));
    EXPECT_EQ(got.front().levels(4), synthetic(1, small, 5001 - ACQSIM_BACKLOG_MAX));
    EXPECT_EQ(got[got.size() - 2].levels(4), synthetic(1, small, 4999));
    EXPECT_EQ(got.back().at(2), 9);
}

// The buffer is filled with a pattern and guarded, so that a result longer than its length, or
// one written past the documented size, shows.
TEST_F(EngineTest, ResultsFillExactlyTheirLengthInsideTheBuffer) {
    struct Case {
        UINT16 points, impedance, length;
        bool taken;
    };
    const Case cases[] = {
        {1, 600, 34, true},   {800, 600, 34, true}, {ACQSIM_MAX_POINTS, 150, 34, true},
        {0, 600, 34, false},  {10, 0, 34, false},   {ACQSIM_MAX_POINTS + 1, 600, 34, false},
        {10, 600, 27, false},
    };
    for (const Case &c : cases) {
        acqsim_reset();
        ASSERT_EQ(measure({42, c.impedance, 200000, 200000, c.points}, c.length) != 0, c.taken);
        wl_clock_advance_ms(1000);
        std::vector<BYTE> buffer(ACQ_RESULT_BYTES + 64, 0xAA);
        ASSERT_EQ(acqres(buffer.data()) != 0, c.taken) << c.points << " points";
        size_t used = c.taken ? 10 + 2 * size_t(c.points) : 0;
        for (size_t i = used; i < buffer.size(); ++i) {
            BYTE expected = !c.taken || i >= ACQ_RESULT_BYTES ? 0xAA : 0;
            ASSERT_EQ(buffer[i], expected) << c.points << " points, byte " << i;
        }
    }
}

} // namespace
