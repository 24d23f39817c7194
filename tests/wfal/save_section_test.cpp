// A section's copy below its dialog (the flows show the dialog): whichever file call fails, the
// source stays and the new file holds its header and whole records of the section in order, or
// nothing; the rewrite after a torn record stops on request too; the folder of a file in the root.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include <strsafe.h>
#include <winlayer.h>

#include "module/state.h"
#include "reports/save_section.h"
#include "support/fake_host.h"
#include "support/fault_loop.h"
#include "support/result_file.h"
#include "support/temp_root.h"

namespace {

constexpr size_t RECORD = 600, HEADER = sizeof(ResultHeader); // 300 points

std::vector<long long> range(long long first, long long last) {
    std::vector<long long> out(size_t(last - first + 1));
    std::iota(out.begin(), out.end(), first);
    return out;
}

class SaveSection : public ::testing::Test {
protected:
    TempDeviceRoot root;
    std::string source; // the loaded file's bytes

    void TearDown() override { wl_fault_reset(); }
    // A file whose levels differ in every record and point, loaded with first..last as section.
    void load(long long records, int first, int last) {
        ResultFileRecipe recipe;
        recipe.records = records;
        recipe.level = [](long long r, int p) { return INT16(-9000 + r * 7 + p); };
        result_file_write(root.dir() + "/line.res", recipe);
        source = root.read("line.res");
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\line.res");
        ASSERT_TRUE(header_check_file(wfal.result_path, &wfal.section_header, &wfal.file_size));
        wfal.view = ViewState{};
        wfal.view.record_size = RECORD, wfal.view.data_offset = RESULT_HEADER_SIZE;
        wfal.section_start = first, wfal.section_end = last;
        fake_host_reset(), wfal.host = fake_host_service;
    }
    int save() { return section_write_file(nullptr, u"\\cut.res"); }
    // The new file: the header and these records of the source, which stays as it was.
    void expect_records(const std::vector<long long> &records) {
        const std::string bytes = root.read("cut.res");
        ASSERT_EQ(bytes.size(), HEADER + records.size() * RECORD);
        EXPECT_EQ(0, memcmp(bytes.data(), &wfal.section_header, HEADER));
        for (size_t k = 0; k < records.size(); k++)
            EXPECT_EQ(bytes.substr(HEADER + k * RECORD, RECORD),
                      source.substr(HEADER + size_t(records[k]) * RECORD, RECORD))
                << k;
        EXPECT_EQ(root.read("line.res"), source);
    }
};

// Of records 0..9: a failing write or flush ends the copy after the records before it, an
// unreadable record is left out, an unreadable source writes nothing, a torn header leaves an
// empty file.
TEST_F(SaveSection, FailuresLeaveWholeRecords) {
    load(10, 0, 9);
    int outcome = -1;
    fault_loop(
        [&](const std::function<void()> &arm) {
            std::filesystem::remove(root.dir() + "/cut.res");
            arm();
            outcome = save();
        },
        [&](const Fault &f) {
            SCOPED_TRACE(f.name());
            const bool open = f.op == WL_FAULT_OPEN && f.nth, read = f.op == WL_FAULT_READ;
            const bool writing = f.op == WL_FAULT_WRITE || f.op == WL_FAULT_FLUSH;
            EXPECT_EQ(outcome, !f.nth || read ? SECTION_SAVED
                               : !open        ? SECTION_WRITE_ERROR
                               : f.nth == 1   ? SECTION_NO_SOURCE
                                              : SECTION_NOT_CREATED);
            ASSERT_EQ(root.exists("cut.res"), !open);
            if (open) return;
            std::vector<long long> want = range(0, 9);
            if (read) want.erase(want.begin() + (f.nth - 1));
            if (writing || (read && f.persistent))
                want.resize(size_t(std::max(0, f.nth - (writing ? 2 : 1))));
            if (f.op == WL_FAULT_WRITE && f.nth == 1 && !f.keep)
                EXPECT_EQ(root.read("cut.res"), "") << "a torn header";
            else
                expect_records(want);
        });
}

// Records 10..999 with record 650 torn (the header is write 1): the rewrite of 10..649 asks to
// stop at 300 and 600 again, and stopped at the second keeps 10..599.
TEST_F(SaveSection, StopDuringTheRewriteOfATornFile) {
    load(1000, 10, 999);
    fake_host.stop_at_poll = 4;
    wl_fault_short_write(650 - 10 + 2, 100);
    EXPECT_EQ(save(), SECTION_STOPPED);
    EXPECT_EQ(fake_host.polls, 4);
    expect_records(range(10, 599));
}

// The folder asked for free space for a file in the root: the root (the flows show the others).
TEST(SaveSectionHelpers, FolderOfAFileInTheRoot) {
    WCHAR folder[PATH_CHARS] = {};
    EXPECT_TRUE(section_folder(u"\\b.r", folder, PATH_CHARS));
    EXPECT_EQ(std::u16string(folder), u"\\");
}

} // namespace
