// The module's calls of the measurement library, against the simulated engine on the virtual
// clock: identification into the header, the probe check, and the measure command with its
// sequence number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <acq.h>
#include <acqsim.h>
#include <winlayer.h>

#include "module/engine.h"
#include "module/state.h"

namespace {

// Every waiting result, read through the module's own result layout.
std::vector<EngineResult> drain() {
    std::vector<EngineResult> out;
    EngineResult r;
    while (acqres(&r))
        out.push_back(r);
    return out;
}

std::vector<INT16> levels(const EngineResult &r, int points) {
    return std::vector<INT16>(r.body.measure.levels, r.body.measure.levels + points);
}

std::vector<INT16> synthetic(AcqSimMeasure m, ULONGLONG index) {
    std::vector<INT16> out(m.points);
    EXPECT_TRUE(acqsim_spectrum(&m, index, out.data()));
    return out;
}

class EngineCalls : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        acqsim_reset();
        wfal.header = ResultHeader{};
        wfal.wideband = FALSE;
        wfal.command_sequence = 7;
        ResultHeader &h = wfal.header;
        h.input = INPUT_TERMINATED;
        h.impedance = 135;
        h.start_frequency = 200;
        h.frequency_step = 40;
        h.points = 196;
        h.gain = -1;
    }
    void TearDown() override {
        acqsim_reset();
        wl_clock_use_real();
    }
};

struct IdentifyCase {
    const char *device;
    const char *serial;
    WORD options;
    BOOL wideband;
};

const IdentifyCase IDENTIFY_CASES[] = {
    {"UNIT-7", "SN0042", 0, FALSE},
    {"ABCDEFGHIJKLMNO", "123456789012345", ACQSIM_OPTION_WIDEBAND, TRUE},
    {"X", "Y", WORD(~ACQSIM_OPTION_WIDEBAND), FALSE},
};

std::u16string widened(const char *s) {
    return std::u16string(s, s + strlen(s));
}

TEST_F(EngineCalls, IdentifyFillsTheHeaderAndTheWidebandFlag) {
    for (const IdentifyCase &c : IDENTIFY_CASES) {
        ASSERT_TRUE(acqsim_set_device_name(c.device));
        ASSERT_TRUE(acqsim_set_serial(c.serial));
        acqsim_set_options(c.options);
        std::fill(std::begin(wfal.header.device), std::end(wfal.header.device), u'Z');
        std::fill(std::begin(wfal.header.serial), std::end(wfal.header.serial), u'Z');
        wfal.wideband = !c.wideband;
        engine_identify();
        EXPECT_EQ(std::u16string(wfal.header.device), widened(c.device)) << c.device;
        EXPECT_EQ(std::u16string(wfal.header.serial), widened(c.serial)) << c.device;
        EXPECT_EQ(wfal.header.device[15], 0) << c.device;
        EXPECT_EQ(wfal.wideband, c.wideband) << c.device;
    }
}

struct ProbeCase {
    INT32 input;
    BOOL connected;
    BOOL expected;
};

const ProbeCase PROBE_CASES[] = {
    {INPUT_TERMINATED, FALSE, TRUE}, // not asked: any input but the probe can start
    {INPUT_UNTERMINATED, FALSE, TRUE},
    {INPUT_PROBE, TRUE, TRUE},
    {INPUT_PROBE, FALSE, FALSE},
};

TEST_F(EngineCalls, ProbeStatusOnlyForTheProbeInput) {
    for (const ProbeCase &c : PROBE_CASES) {
        acqsim_set_probe(c.connected);
        wfal.header.input = c.input;
        EXPECT_EQ(engine_probe_connected(), c.expected) << c.input << " " << c.connected;
        EXPECT_TRUE(drain().empty()) << "the answer was left waiting";
    }
}

TEST_F(EngineCalls, ProbeQueryDropsTheResultsBeforeItsAnswer) {
    engine_start_measure();
    wl_clock_advance_ms(3000); // three spectra wait
    acqsim_set_probe(FALSE);
    wfal.header.input = INPUT_PROBE;
    EXPECT_FALSE(engine_probe_connected());
    EXPECT_TRUE(drain().empty());
}

TEST_F(EngineCalls, ImpedanceByInput) {
    struct Case {
        INT32 input;
        INT32 header_impedance;
        BOOL wideband;
        WORD expected;
    };
    const Case cases[] = {
        {INPUT_TERMINATED, 135, FALSE, 135},    {INPUT_TERMINATED, 600, TRUE, 600},
        {INPUT_UNTERMINATED, 135, FALSE, 4000}, {INPUT_PROBE, 135, FALSE, 150},
        {INPUT_PROBE, 135, TRUE, 100},
    };
    for (const Case &c : cases)
        EXPECT_EQ(engine_impedance(c.input, c.header_impedance, c.wideband), c.expected)
            << c.input << " " << c.wideband;
}

// The spectra that arrive are the engine's for exactly the set-up the command carried.
TEST_F(EngineCalls, MeasureCarriesTheSetUpAndTheNextSequence) {
    wfal.header.input = INPUT_UNTERMINATED;
    engine_start_measure();
    EXPECT_EQ(wfal.command_sequence, 8);
    wl_clock_advance_ms(2000);
    std::vector<EngineResult> results = drain();
    ASSERT_EQ(results.size(), 2u);
    const AcqSimMeasure m = {1, 4000, 200, 40, 196}; // seed 1, the engine's default
    for (ULONGLONG i = 0; i < 2; ++i) {
        EXPECT_EQ(results[i].code, RESULT_MEASURE);
        EXPECT_EQ(results[i].body.measure.sequence, 8);
        EXPECT_EQ(levels(results[i], 196), synthetic(m, i)) << i;
    }
}

TEST_F(EngineCalls, OlderResultsCarryTheOlderSequenceUntilTheStop) {
    engine_start_measure();
    wl_clock_advance_ms(1500);
    engine_start_measure();
    wl_clock_advance_ms(1000);
    std::vector<INT16> sequences;
    for (const EngineResult &r : drain())
        sequences.push_back(r.body.measure.sequence);
    EXPECT_EQ(sequences, (std::vector<INT16>{8, 9}));
    wfal.command_sequence = 0xFFFF;
    engine_start_measure();
    wl_clock_advance_ms(1000);
    std::vector<EngineResult> wrapped = drain();
    ASSERT_EQ(wrapped.size(), 1u);
    EXPECT_EQ(wrapped[0].body.measure.sequence, 0);
    engine_stop();
    wl_clock_advance_ms(3000);
    EXPECT_TRUE(drain().empty());
}

} // namespace
