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

std::vector<EngineResult> drain() {
    std::vector<EngineResult> out;
    EngineResult r;
    while (acqres(&r))
        out.push_back(r);
    return out;
}

class EngineCalls : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        acqsim_reset();
        wfal.header = ResultHeader{}, wfal.wideband = FALSE, wfal.command_sequence = 7;
        ResultHeader &h = wfal.header;
        h.input = INPUT_UNTERMINATED, h.impedance = 135, h.gain = -1;
        h.start_frequency = 200, h.frequency_step = 40, h.points = 196;
    }
    void TearDown() override { acqsim_reset(), wl_clock_use_real(); }
};

TEST_F(EngineCalls, IdentifyFillsTheHeaderAndTheWidebandFlag) {
    const struct {
        const char *device, *serial;
        WORD options;
        BOOL wideband;
    } cases[] = {{"UNIT-7", "SN0042", 0, FALSE},
                 {"ABCDEFGHIJKLMNO", "123456789012345", ACQSIM_OPTION_WIDEBAND, TRUE},
                 {"X", "Y", WORD(~ACQSIM_OPTION_WIDEBAND), FALSE}};
    for (const auto &c : cases) {
        ASSERT_TRUE(acqsim_set_device_name(c.device) && acqsim_set_serial(c.serial));
        acqsim_set_options(c.options);
        std::fill(std::begin(wfal.header.device), std::end(wfal.header.serial), u'Z');
        wfal.wideband = !c.wideband;
        engine_identify();
        const std::string device(c.device), serial(c.serial);
        EXPECT_EQ(std::u16string(wfal.header.device, 16) + std::u16string(wfal.header.serial, 16),
                  std::u16string(device.begin(), device.end()) +
                      std::u16string(16 - device.size(), 0) +
                      std::u16string(serial.begin(), serial.end()) +
                      std::u16string(16 - serial.size(), 0));
        EXPECT_EQ(wfal.wideband, c.wideband) << c.device;
    }
}

// Only the probe input is asked about; its answer, and the spectra waiting before it, are taken.
TEST_F(EngineCalls, ProbeStatusOnlyForTheProbeInput) {
    const struct {
        INT32 input;
        BOOL connected, expected;
    } cases[] = {{INPUT_TERMINATED, FALSE, TRUE},
                 {INPUT_UNTERMINATED, FALSE, TRUE},
                 {INPUT_PROBE, TRUE, TRUE},
                 {INPUT_PROBE, FALSE, FALSE}};
    for (const auto &c : cases) {
        engine_start_measure();
        wl_clock_advance_ms(3000); // three spectra wait
        acqsim_set_probe(c.connected);
        wfal.header.input = c.input;
        EXPECT_EQ(engine_probe_connected(), c.expected) << c.input << " " << c.connected;
        EXPECT_EQ(drain().size(), c.input == INPUT_PROBE ? 0u : 3u) << c.input;
        engine_stop();
    }
}

TEST_F(EngineCalls, ImpedanceByInput) {
    const struct {
        INT32 input, header_impedance;
        BOOL wideband;
        WORD expected;
    } cases[] = {{INPUT_TERMINATED, 135, FALSE, 135},
                 {INPUT_TERMINATED, 600, TRUE, 600},
                 {INPUT_UNTERMINATED, 135, FALSE, 4000},
                 {INPUT_PROBE, 135, FALSE, 150},
                 {INPUT_PROBE, 135, TRUE, 100}};
    for (const auto &c : cases)
        EXPECT_EQ(engine_impedance(c.input, c.header_impedance, c.wideband), c.expected)
            << c.input << " " << c.wideband;
}

// The spectra that arrive are the engine's for exactly the set-up the command carried, with its
// sequence number; a new command's number follows, wrapping after 0xFFFF; a stop ends them.
TEST_F(EngineCalls, MeasureCarriesTheSetUpAndTheNextSequence) {
    engine_start_measure(), wl_clock_advance_ms(1500);
    engine_start_measure(), wl_clock_advance_ms(1000);
    wfal.command_sequence = 0xFFFF;
    engine_start_measure(), wl_clock_advance_ms(1000);
    const std::vector<EngineResult> results = drain();
    std::vector<INT16> sequences;
    for (const EngineResult &r : results)
        sequences.push_back(r.code == RESULT_MEASURE ? r.body.measure.sequence : -1);
    EXPECT_EQ(sequences, (std::vector<INT16>{8, 9, 0}));
    AcqSimMeasure m = {1, 4000, 200, 40, 196}; // seed 1, the engine's default
    std::vector<INT16> expected(196);
    ASSERT_TRUE(acqsim_spectrum(&m, 0, expected.data()));
    EXPECT_EQ(
        std::vector<INT16>(results[0].body.measure.levels, results[0].body.measure.levels + 196),
        expected);
    engine_stop();
    wl_clock_advance_ms(3000);
    EXPECT_TRUE(drain().empty());
}

} // namespace
