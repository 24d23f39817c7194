// Result headers: built from the clock and the set-up, sealed, accepted or refused, and the
// records behind them counted.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include <winlayer.h>

#include "module/state.h"
#include "support/descriptors.h"
#include "support/temp_root.h"

namespace {

ResultHeader valid_header(INT32 points) {
    ResultHeader h = {};
    memcpy(h.magic, "WFAL", 4);
    h.header_size = 1320, h.points = points;
    return h;
}

std::string file_bytes(const ResultHeader &h, size_t extra_bytes) {
    return std::string(reinterpret_cast<const char *>(&h), sizeof h) +
           std::string(extra_bytes, 'Z');
}

template <class Field>
bool all_zero(const Field &field) {
    const BYTE *p = reinterpret_cast<const BYTE *>(&field);
    return std::all_of(p, p + sizeof field, [](BYTE b) { return b == 0; });
}

TEST(ResultHeader, BuildTakesTheTimeKeepsTheSetUpAndLaysOutTheRange) {
    const SYSTEMTIME now = {2023, 7, 2, 4, 9, 5, 3, 250};
    wl_clock_use_virtual(&now);
    ResultHeader &h = wfal.header;
    memset(&h, 0xA5, sizeof h);
    h.range = 9000000, h.impedance = 135, h.input = 1, h.gain = 20;
    memcpy(h.device, u"TRX", 8), memcpy(h.serial, u"S-1", 8);
    memcpy(wfal.operator_name, u"Ann Operator", 26);
    const ResultHeader before = h;
    header_build();
    wl_clock_use_real();

    // Sealed after the clock was read: the date and the sum of bytes 0..51 are the new ones.
    EXPECT_EQ(std::u16string(h.type_prefix) + u" " + h.date_text, u"wfal_ 07/04/2023-09:05:03");
    const BYTE *bytes = reinterpret_cast<const BYTE *>(&h);
    EXPECT_EQ(h.checksum, BYTE(std::accumulate(bytes, bytes + 52, 0u)));
    EXPECT_EQ(std::string(h.magic, 4) + std::to_string(h.header_size), "WFAL1320");
    EXPECT_EQ((std::vector<LONGLONG>{h.start_year, h.start_month, h.start_day, h.start_hour,
                                     h.start_minute, h.start_second, wfal.calendar.seconds}),
              (std::vector<LONGLONG>{2023, 7, 4, 9, 5, 3, 1372928703u}));
    EXPECT_EQ(std::u16string(h.software_version) + u"|" + h.operator_name, u"2.00|Ann Operator");
    EXPECT_TRUE(all_zero(h.reserved) && all_zero(h.notes) && all_zero(h.reserved_after_sum));
    EXPECT_EQ(memcmp(h.device, before.device, sizeof h.device + sizeof h.serial), 0);
    EXPECT_EQ((std::vector<INT32>{h.range, h.impedance, h.input, h.gain}),
              (std::vector<INT32>{9000000, 135, 1, 20}));

    // Range, points, start and step (half-hertz); the step in Hz is rounded down.
    const std::vector<INT32> cases[] = {{4000, 196, 200, 40},
                                        {20000, 200, 200, 200},
                                        {35000000, 353, 200000, 200000},
                                        {106000000, 424, 500000, 500000},
                                        {212000000, 424, 1000000, 1000000},
                                        {3000000, 300, 20000, 20000},
                                        {1150, 300, 6, 6}};
    for (const auto &c : cases) {
        h.range = c[0];
        header_build();
        EXPECT_EQ((std::vector<INT32>{h.range, h.points, h.start_frequency, h.frequency_step}), c);
    }
}

// Every row has a wrong checksum and no prefix or date: neither is checked.
TEST(ResultHeader, AcceptanceLooksAtSizeMagicAndPoints) {
    const struct {
        INT32 points;
        const char *magic;
        INT32 size;
        BOOL accepted;
    } cases[] = {{800, "WFAL", 1320, TRUE}, {1, "WFAL", 1320, TRUE},    {801, "WFAL", 1320, FALSE},
                 {0, "WFAL", 1320, FALSE},  {300, "WFAI", 1320, FALSE}, {300, "WFAl", 1320, FALSE},
                 {300, "WFAL", 1319, FALSE}};
    for (const auto &c : cases) {
        ResultHeader h = valid_header(c.points);
        h.checksum = 0x55, h.header_size = c.size;
        memcpy(h.magic, c.magic, 4);
        EXPECT_EQ(header_accepted(h), c.accepted) << c.points << " " << c.magic << " " << c.size;
    }
}

// A refused file leaves the outputs untouched, and no file stays open either way.
TEST(ResultHeader, CheckFileTakesHeaderAndSizeOrNothing) {
    TempDeviceRoot root;
    const ResultHeader h = valid_header(100);
    const struct {
        const char *name;
        std::string bytes; // empty: no such file
        int fault;         // the WlFaultOp that fails once, or -1
        BOOL accepted;
    } cases[] = {{"empty.res", file_bytes(h, 0), -1, TRUE},
                 {"three.res", file_bytes(h, 3 * 200 + 199), -1, TRUE},
                 {"short.res", file_bytes(h, 0).substr(0, 1319), -1, FALSE},
                 {"points.res", file_bytes(valid_header(801), 1602), -1, FALSE},
                 {"missing.res", "", -1, FALSE},
                 {"unopened.res", file_bytes(h, 200), WL_FAULT_OPEN, FALSE},
                 {"unread.res", file_bytes(h, 200), WL_FAULT_READ, FALSE}};
    const size_t descriptors = open_descriptors();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty()) root.write(c.name, c.bytes);
        ResultHeader out, untouched;
        memset(&out, 0x3C, sizeof out), memset(&untouched, 0x3C, sizeof out);
        LONGLONG size = -7;
        std::u16string path = u"\\" + std::u16string(c.name, c.name + strlen(c.name));
        if (c.fault >= 0) wl_fault_fail(WlFaultOp(c.fault), 1, FALSE);
        EXPECT_EQ(header_check_file(path.c_str(), &out, &size), c.accepted);
        wl_fault_reset();
        EXPECT_EQ(memcmp(&out, c.accepted ? &h : &untouched, sizeof out), 0);
        EXPECT_EQ(size, c.accepted ? LONGLONG(c.bytes.size()) : -7);
        EXPECT_EQ(open_descriptors(), descriptors) << "left its file open";
    }
}

TEST(ResultHeader, RecordCountAndLastRecord) {
    // file size, points, record count, last record
    const std::vector<LONGLONG> cases[] = {{-7, 300, 0, 0},
                                           {1319, 300, 0, 0},
                                           {1320 + 599, 300, 0, 0},
                                           {1320 + 600, 300, 1, 0},
                                           {1320 + 3000, 300, 5, 4},
                                           {1320 + 1601, 800, 1, 0},
                                           {5000, 0, 0, 0},
                                           {5000, -3, 0, 0},
                                           {1320 + 2LL * 800 * 3000000, 800, 3000000, 2999999}};
    for (const std::vector<LONGLONG> &c : cases) {
        const ResultHeader h = valid_header(INT32(c[1]));
        EXPECT_EQ((std::vector<LONGLONG>{c[0], c[1], result_record_count(c[0], h),
                                         result_last_record(c[0], h)}),
                  c);
    }
}

// Sparse files either side of the size limit: the larger one would hold 2^30 one-point records.
TEST(ResultHeader, CheckFileRefusesFilesPastTheSizeLimit) {
    TempDeviceRoot root;
    const ResultHeader h = valid_header(1);
    for (const LONGLONG size : {RESULT_MAX_FILE_SIZE, RESULT_MAX_FILE_SIZE + 1}) {
        SCOPED_TRACE(size);
        root.write("big.res", file_bytes(h, 0));
        ASSERT_EQ(truncate((root.dir() + "/big.res").c_str(), off_t(size)), 0);
        ResultHeader out;
        LONGLONG taken = -7;
        const bool accepted = size <= RESULT_MAX_FILE_SIZE;
        EXPECT_EQ(header_check_file(u"\\big.res", &out, &taken), accepted);
        EXPECT_EQ(taken, accepted ? size : -7);
    }
}

} // namespace
