// Result headers: built from the set-up, accepted or refused, read from a file, and the records
// behind them counted.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

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

// The header's bytes, cut or padded with 'Z' to `length`.
std::string file_of(const ResultHeader &h, size_t length) {
    std::string bytes(reinterpret_cast<const char *>(&h), sizeof h);
    bytes.resize(length, 'Z');
    return bytes;
}

// The range's layout (half-hertz): from the table, or 300 points with the step rounded down; the
// reserved bytes and the notes cleared (the date and the sum stand in every recording the flows
// store).
TEST(ResultHeader, BuildLaysOutTheRangeAndClearsTheRest) {
    ResultHeader &h = wfal.header;
    memset(&h, 0xA5, sizeof h);
    for (const std::vector<INT32> &c :
         {std::vector<INT32>{4000, 196, 200, 40}, {1150, 300, 6, 6}}) {
        h.range = c[0];
        header_build();
        EXPECT_EQ((std::vector<INT32>{h.range, h.points, h.start_frequency, h.frequency_step}), c);
    }
    const auto bytes_of = [](const auto &field) {
        return std::string(reinterpret_cast<const char *>(&field), sizeof field);
    };
    EXPECT_EQ(bytes_of(h.reserved) + bytes_of(h.notes) + bytes_of(h.reserved_after_sum),
              std::string(sizeof h.reserved + sizeof h.notes + sizeof h.reserved_after_sum, 0));
}

// A header is accepted by its size field, magic and points (the checksum, prefix and date are
// not checked: every row's are wrong); a refused file leaves the outputs untouched, and no file
// stays open either way; sparse files either side of the size limit (the larger would hold 2^30
// one-point records). An accepted file's whole records are counted.
TEST(ResultHeader, CheckFileTakesHeaderAndSizeOrNothing) {
    TempDeviceRoot root;
    const struct {
        INT32 points;
        const char *magic;
        INT32 header_size;
        long bytes;    // of the file: < 0 none, 0 the header's
        LONGLONG size; // grown to, when larger
        int fault;     // the WlFaultOp that fails once, or -1
        BOOL accepted;
        LONGLONG records = 0, last = 0; // when accepted
    } cases[] = {
        // clang-format off
        {800, "WFAL", 1320, 0, 0, -1, TRUE, 0, 0},      {1, "WFAL", 1320, 0, 0, -1, TRUE, 0, 0},
        {300, "WFAL", 1320, 1919, 0, -1, TRUE, 0, 0},   {300, "WFAL", 1320, 1920, 0, -1, TRUE, 1, 0},
        {300, "WFAL", 1320, 4320, 0, -1, TRUE, 5, 4},   {800, "WFAL", 1320, 2921, 0, -1, TRUE, 1, 0},
        {801, "WFAL", 1320, 2922, 0, -1, FALSE},  {0, "WFAL", 1320, 0, 0, -1, FALSE},
        {300, "WFAI", 1320, 0, 0, -1, FALSE},     {300, "WFAl", 1320, 0, 0, -1, FALSE},
        {300, "WFAL", 1319, 0, 0, -1, FALSE},     {1, "WFAL", 1320, 1319, 0, -1, FALSE},
        {1, "WFAL", 1320, 0, RESULT_MAX_FILE_SIZE, -1, TRUE, 1073741163, 1073741162},
        {1, "WFAL", 1320, 0, RESULT_MAX_FILE_SIZE + 1, -1, FALSE},
        {1, "WFAL", 1320, -1, 0, -1, FALSE},      {1, "WFAL", 1320, 1520, 0, WL_FAULT_OPEN, FALSE},
        {1, "WFAL", 1320, 1520, 0, WL_FAULT_READ, FALSE},
        // clang-format on
    };
    const size_t descriptors = open_descriptors();
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        ResultHeader h = valid_header(c.points), out, untouched;
        h.checksum = 0x55, h.header_size = c.header_size;
        memcpy(h.magic, c.magic, 4);
        remove((root.dir() + "/a.res").c_str());
        const size_t bytes = c.bytes ? size_t(c.bytes) : sizeof h;
        if (c.bytes >= 0) root.write("a.res", file_of(h, bytes));
        ASSERT_EQ(c.size ? truncate((root.dir() + "/a.res").c_str(), off_t(c.size)) : 0, 0);
        memset(&out, 0x3C, sizeof out), memset(&untouched, 0x3C, sizeof out);
        LONGLONG size = -7;
        if (c.fault >= 0) wl_fault_fail(WlFaultOp(c.fault), 1, FALSE);
        EXPECT_EQ(header_check_file(u"\\a.res", &out, &size), c.accepted);
        wl_fault_reset();
        EXPECT_EQ(memcmp(&out, c.accepted ? &h : &untouched, sizeof out), 0);
        EXPECT_EQ(size, !c.accepted ? -7 : c.size ? c.size : LONGLONG(bytes));
        EXPECT_EQ(open_descriptors(), descriptors) << "left its file open";
        if (c.accepted) {
            EXPECT_EQ(result_record_count(size, out), c.records);
            EXPECT_EQ(result_last_record(size, out), c.last);
        }
    }
}

} // namespace
