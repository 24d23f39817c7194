// The module's calls of the measurement library on the simulated engine: identification into
// the header and the impedance each input measures with. The measure command and the probe
// check are the acquisition's and the set-up dialog's tests'.
#include <gtest/gtest.h>

#include <string>

#include <acqsim.h>

#include "module/engine.h"
#include "module/state.h"

namespace {

TEST(EngineCalls, IdentifyFillsTheHeaderAndTheWidebandFlag) {
    const struct {
        const char *device, *serial;
        WORD options;
        BOOL wideband;
    } cases[] = {{"UNIT-7", "SN0042", 0, FALSE},
                 {"ABCDEFGHIJKLMNO", "123456789012345", ACQSIM_OPTION_WIDEBAND, TRUE},
                 {"X", "Y", WORD(~ACQSIM_OPTION_WIDEBAND), FALSE}};
    acqsim_reset();
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

TEST(EngineCalls, ImpedanceByInput) {
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

} // namespace
