// Talks to the measurement library as the module does: command blocks built byte by byte at
// their documented offsets, results read back the same way, on the virtual clock.
#pragma once

#include <vector>

#include <gtest/gtest.h>

#include <acq.h>
#include <acqsim.h>
#include <windows.h>
#include <winlayer.h>

namespace acqtest {

enum : UINT16 { RESET = 0, STOP = 1, MEASURE = 8, IDENTIFY = 9, PROBE = 17 };

inline void put16(BYTE *b, size_t at, UINT32 v) {
    b[at] = BYTE(v), b[at + 1] = BYTE(v >> 8);
}
inline INT16 get16(const BYTE *b, size_t at) {
    return INT16(UINT16(b[at] | (b[at + 1] << 8)));
}

inline int send(UINT16 code) {
    BYTE block[34] = {};
    put16(block, 0, code == STOP ? 34 : 4);
    put16(block, 2, code);
    return acqcmd(block);
}

struct Measure {
    UINT16 sequence, impedance;
    UINT32 start, step; // half-hertz
    UINT16 points;
};

inline int measure(const Measure &m, UINT16 length = 34) {
    BYTE block[34] = {};
    const UINT32 fields[][2] = {
        {0, length},        {2, MEASURE},           {4, m.sequence},     {6, 2},
        {8, m.impedance},   {12, m.start & 0xffff}, {14, m.start >> 16}, {16, m.step & 0xffff},
        {18, m.step >> 16}, {20, m.points},         {24, 990},           {26, 0xffff}};
    for (const auto &f : fields)
        put16(block, f[0], f[1]);
    return acqcmd(block);
}

// One fetched result, in a buffer of exactly the documented size.
struct Result {
    std::vector<BYTE> bytes = std::vector<BYTE>(ACQ_RESULT_BYTES);
    INT16 at(size_t offset) const { return get16(bytes.data(), offset); }
    std::vector<INT16> levels(int points) const {
        std::vector<INT16> out;
        for (int k = 0; k < points; ++k)
            out.push_back(at(10 + 2 * k));
        return out;
    }
};

inline std::vector<Result> drain() {
    std::vector<Result> out;
    Result r;
    while (acqres(r.bytes.data()))
        out.push_back(r);
    return out;
}

inline std::vector<INT16> synthetic(UINT32 seed, const Measure &m, ULONGLONG index) {
    std::vector<INT16> out(m.points);
    AcqSimMeasure sim = {seed, m.impedance, m.start, m.step, m.points};
    EXPECT_TRUE(acqsim_spectrum(&sim, index, out.data()));
    return out;
}

// Each test starts from a fresh engine on a virtual clock.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 3, 0, 4, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        acqsim_reset();
    }
    void TearDown() override { acqsim_reset(), wl_clock_use_real(); }
};

} // namespace acqtest
