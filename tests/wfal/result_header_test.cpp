#include <gtest/gtest.h>
#include <string.h>

#include <filesystem>
#include <string>

#include <winlayer.h>

#include "module/state.h"
#include "support/temp_root.h"

namespace {

ResultHeader valid_header(INT32 points) {
    ResultHeader h;
    memset(&h, 0, sizeof h);
    memcpy(h.magic, "WFAL", 4);
    h.header_size = 1320;
    h.points = points;
    return h;
}

std::string file_bytes(const ResultHeader &h, size_t extra_bytes) {
    std::string bytes(reinterpret_cast<const char *>(&h), sizeof h);
    return bytes + std::string(extra_bytes, '\x5A');
}

BYTE sum_of_first_52_bytes(const ResultHeader &h) {
    const unsigned char *p = reinterpret_cast<const unsigned char *>(&h);
    unsigned sum = 0;
    for (int i = 0; i < 52; i++)
        sum += p[i];
    return (BYTE)(sum % 256);
}

size_t open_descriptors() {
    size_t n = 0;
    for (auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        n += !entry.is_directory();
    return n;
}

TEST(ResultHeader, BuildLaysOutPointsAndFrequenciesByRange) {
    struct Case {
        INT32 range, points, start_field, step_field;
    };
    const Case cases[] = {
        {4000, 196, 200, 40},
        {20000, 200, 200, 200},
        {35000000, 353, 200000, 200000},
        {106000000, 424, 500000, 500000},
        {212000000, 424, 1000000, 1000000},
        {3000000, 300, 20000, 20000},
        {300000, 300, 2000, 2000},
        {1150, 300, 6, 6}, // the step in Hz is rounded down before doubling
    };
    for (const Case &c : cases) {
        wfal.header.range = c.range;
        header_build();
        EXPECT_EQ(wfal.header.points, c.points) << c.range;
        EXPECT_EQ(wfal.header.start_frequency, c.start_field) << c.range;
        EXPECT_EQ(wfal.header.frequency_step, c.step_field) << c.range;
        EXPECT_EQ(wfal.header.range, c.range);
    }
}

TEST(ResultHeader, BuildTakesTheLocalTimeAndKeepsTheSetUp) {
    const SYSTEMTIME now = {2023, 7, 2, 4, 9, 5, 3, 250};
    wl_clock_use_virtual(&now);
    ResultHeader &h = wfal.header;
    memset(&h, 0xA5, sizeof h);
    h.range = 9000000, h.impedance = 135, h.input = 1, h.gain = 20;
    memcpy(h.device, u"TRX", 8);
    memcpy(h.serial, u"S-1", 8);
    memcpy(wfal.operator_name, u"Ann Operator", 26);
    const ResultHeader before = h;
    header_build();
    wl_clock_use_real();

    EXPECT_EQ(std::u16string(h.date_text), u"07/04/2023-09:05:03"); // sealed after the clock
    EXPECT_EQ(h.checksum, sum_of_first_52_bytes(h));
    EXPECT_EQ(memcmp(h.magic, "WFAL", 4), 0);
    EXPECT_EQ(h.header_size, 1320);
    EXPECT_EQ(h.start_year, 2023);
    EXPECT_EQ(h.start_month, 7);
    EXPECT_EQ(h.start_day, 4);
    EXPECT_EQ(h.start_hour, 9);
    EXPECT_EQ(h.start_minute, 5);
    EXPECT_EQ(h.start_second, 3);
    EXPECT_EQ(std::u16string(h.software_version), u"2.00");
    EXPECT_EQ(std::u16string(h.operator_name), u"Ann Operator");
    for (INT32 word : h.reserved)
        EXPECT_EQ(word, 0);
    for (WCHAR c : h.notes)
        ASSERT_EQ(c, 0);
    EXPECT_EQ(memcmp(h.device, before.device, sizeof h.device), 0);
    EXPECT_EQ(memcmp(h.serial, before.serial, sizeof h.serial), 0);
    EXPECT_EQ(h.range, 9000000);
    EXPECT_EQ(h.impedance, 135);
    EXPECT_EQ(h.input, 1);
    EXPECT_EQ(h.gain, 20);

    const CalendarFields &c = wfal.calendar;
    EXPECT_EQ(c.year * 10000 + c.month * 100 + c.day, 20230704);
    EXPECT_EQ(c.hour * 10000 + c.minute * 100 + c.second, 90503);
    EXPECT_EQ(c.seconds, 1372928703u);
}

TEST(ResultHeader, SealWritesOnlyPrefixDateAndChecksum) {
    ResultHeader h;
    memset(&h, 0xFF, sizeof h);
    h.start_year = 1999, h.start_month = 12, h.start_day = 31;
    h.start_hour = 23, h.start_minute = 59, h.start_second = 58;
    const ResultHeader before = h;
    header_seal(&h);
    EXPECT_EQ(std::u16string(h.type_prefix), u"wfal_");
    EXPECT_EQ(std::u16string(h.date_text), u"12/31/1999-23:59:58");
    EXPECT_EQ(h.checksum, sum_of_first_52_bytes(h));
    EXPECT_EQ(memcmp(h.reserved_after_sum, "\0\0\0", 3), 0);
    EXPECT_EQ(memcmp(h.magic, before.magic, sizeof h - 56), 0);
}

TEST(ResultHeader, AcceptanceLooksAtSizeMagicAndPoints) {
    struct Case {
        const char *what;
        void (*change)(ResultHeader &);
        BOOL accepted;
    };
    const Case cases[] = {
        {"points 800", [](ResultHeader &h) { h.points = 800; }, TRUE},
        {"points 1", [](ResultHeader &h) { h.points = 1; }, TRUE},
        {"points 801", [](ResultHeader &h) { h.points = 801; }, FALSE},
        {"points 0", [](ResultHeader &h) { h.points = 0; }, FALSE},
        {"points -5", [](ResultHeader &h) { h.points = -5; }, FALSE},
        {"wrong checksum", [](ResultHeader &h) { h.checksum ^= 0x55; }, TRUE},
        {"no prefix or date", [](ResultHeader &h) { h.type_prefix[0] = u'x'; }, TRUE},
        {"settings magic", [](ResultHeader &h) { memcpy(h.magic, "WFAI", 4); }, FALSE},
        {"lower-case magic", [](ResultHeader &h) { h.magic[3] = 'l'; }, FALSE},
        {"size 1319", [](ResultHeader &h) { h.header_size = 1319; }, FALSE},
        {"size 564", [](ResultHeader &h) { h.header_size = 564; }, FALSE},
    };
    for (const Case &c : cases) {
        ResultHeader h = valid_header(300);
        header_seal(&h);
        c.change(h);
        EXPECT_EQ(header_accepted(h), c.accepted) << c.what;
    }
}

TEST(ResultHeader, CheckFileTakesHeaderAndSizeOrNothing) {
    TempDeviceRoot root;
    struct Case {
        const char *name;
        std::string bytes; // empty: no such file
        BOOL accepted;
        LONGLONG records;
    };
    const ResultHeader h = valid_header(100);
    const Case cases[] = {
        {"empty.res", file_bytes(h, 0), TRUE, 0},
        {"partial.res", file_bytes(h, 199), TRUE, 0},
        {"three.res", file_bytes(h, 3 * 200 + 199), TRUE, 3},
        {"short.res", file_bytes(h, 0).substr(0, 1319), FALSE, 0},
        {"points.res", file_bytes(valid_header(801), 1602), FALSE, 0},
        {"missing.res", "", FALSE, 0},
    };
    const size_t descriptors = open_descriptors();
    for (const Case &c : cases) {
        if (!c.bytes.empty()) root.write(c.name, c.bytes);
        ResultHeader out;
        memset(&out, 0x3C, sizeof out);
        const ResultHeader untouched = out;
        LONGLONG size = -7;
        std::u16string path = u"\\" + std::u16string(c.name, c.name + strlen(c.name));
        EXPECT_EQ(header_check_file(path.c_str(), &out, &size), c.accepted) << c.name;
        if (c.accepted) {
            EXPECT_EQ(memcmp(&out, &h, sizeof h), 0) << c.name;
            EXPECT_EQ(size, (LONGLONG)c.bytes.size()) << c.name;
            EXPECT_EQ(result_record_count(size, out), c.records) << c.name;
        } else {
            EXPECT_EQ(memcmp(&out, &untouched, sizeof out), 0) << c.name;
            EXPECT_EQ(size, -7) << c.name;
        }
        EXPECT_EQ(open_descriptors(), descriptors) << c.name << " left its file open";
    }
}

TEST(ResultHeader, CheckFileRefusesAFailedRead) {
    TempDeviceRoot root;
    root.write("good.res", file_bytes(valid_header(10), 40));
    ResultHeader out = valid_header(7);
    LONGLONG size = 0;
    wl_fault_fail(WL_FAULT_READ, 1, FALSE);
    EXPECT_FALSE(header_check_file(u"\\good.res", &out, &size));
    wl_fault_reset();
    EXPECT_EQ(out.points, 7);
    EXPECT_TRUE(header_check_file(u"\\good.res", &out, &size));
    EXPECT_EQ(result_record_count(size, out), 2);
}

TEST(ResultHeader, RecordCountAndLastRecord) {
    struct Case {
        LONGLONG size;
        INT32 points;
        LONGLONG count, last;
    };
    const Case cases[] = {
        {0, 300, 0, 0},           {1319, 300, 0, 0},
        {1320, 300, 0, 0},        {1320 + 599, 300, 0, 0},
        {1320 + 600, 300, 1, 0},  {1320 + 3000, 300, 5, 4},
        {1320 + 1601, 800, 1, 0}, {5000, 0, 0, 0},
        {5000, -3, 0, 0},         {1320 + 2LL * 800 * 3000000, 800, 3000000, 2999999},
    };
    for (const Case &c : cases) {
        ResultHeader h = valid_header(c.points);
        EXPECT_EQ(result_record_count(c.size, h), c.count) << c.size << " " << c.points;
        EXPECT_EQ(result_last_record(c.size, h), c.last) << c.size << " " << c.points;
    }
}

} // namespace
