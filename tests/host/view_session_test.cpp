// The demonstration that scripts/run plays (host/demo.script) through wfal-host and the real
// module, on the field line: a test recorded, frozen, searched, continued and stopped, then
// viewed with Find, the result list, the set-up report, notes written into the file, a section
// saved from the found record on and the display set-up changed.
#include <gtest/gtest.h>

#include <string.h>

#include <filesystem>

#include <acqsim.h>

#include "host_runner.h"
#include "support/result_file.h"

namespace {

ResultHeader header_of(const std::string &bytes) {
    ResultHeader h;
    memset(&h, 0, sizeof h);
    memcpy(&h, bytes.data(), std::min(bytes.size(), sizeof h));
    return h;
}

SYSTEMTIME start_of(const ResultHeader &h) {
    return {WORD(h.start_year),   WORD(h.start_month),  0, WORD(h.start_day), WORD(h.start_hour),
            WORD(h.start_minute), WORD(h.start_second), 0};
}

// The demonstration must keep working and leave the two files it says it makes; its Find lands
// on a burst of the line's impulse noise, where the section it saves begins.
TEST(HostViewSession, DemoPlaysToItsEndAndLeavesTheRecordingAndItsSection) {
    HostFolder folder;
    ASSERT_EQ(host_run(folder, host_read_file(std::string(WFAL_SOURCE_DIR) + "/host/demo.script"),
                       {"--scenario", "field", "test"}, nullptr),
              0)
        << folder.err() << folder.out();
    const std::vector<std::string> expected = {
        "title \"Set-up spectrogram test\"",
        "test-running 1",
        "message-box 52 \"Stop\" \"Stop test?\" -> 6",
        "test-running 0",
        "title \"Result list\"",
        "edit-text \"Write notes\" -> \"Ten minutes of the simulated engine, recorded for the "
        "demonstration.\"",
        "edit-path \"Save section\" \"\\USB\\demo.res\" -> \"\\USB\\demo-section.res\" 2",
        "enter-number \"Black level\" \"dBm/Hz\" -90 -> -100",
        "done 0",
    };
    const std::vector<std::string> lines = folder.lines();
    auto at = lines.begin();
    for (const std::string &line : expected) {
        at = std::find(at, lines.end(), line);
        ASSERT_NE(at, lines.end()) << "missing or out of order: " << line << "\n" << folder.out();
    }
    EXPECT_EQ(folder.err(), "");

    const std::string recording = host_read_file(folder.device() + "/USB/demo.res");
    const std::string section = host_read_file(folder.device() + "/USB/demo-section.res");
    const ResultHeader h = header_of(recording);
    ASSERT_TRUE(header_accepted(h));
    const LONGLONG records = result_record_count(LONGLONG(recording.size()), h);
    EXPECT_GE(records, 600);
    EXPECT_EQ(LONGLONG(recording.size()), RESULT_HEADER_SIZE + records * 2 * h.points);
    const std::u16string notes = u"Ten minutes of the simulated engine, recorded for the "
                                 u"demonstration.";
    EXPECT_EQ(std::u16string(h.notes), notes);
    // The section runs from the found record to the last: the same records, the same notes.
    const SYSTEMTIME recorded = start_of(h), found = start_of(header_of(section));
    const LONGLONG found_record = (acqsim_local_ms(&found) - acqsim_local_ms(&recorded)) / 1000;
    AcqSimFieldEvents line;
    ASSERT_TRUE(acqsim_field_events(1, acqsim_local_ms(&found), &line));
    EXPECT_TRUE(line.burst) << "record " << found_record;
    ASSERT_GT(found_record, 0);
    EXPECT_EQ(std::u16string(header_of(section).notes), notes);
    EXPECT_EQ(section.substr(RESULT_HEADER_SIZE),
              recording.substr(size_t(RESULT_HEADER_SIZE + found_record * 2 * h.points)));
}

} // namespace
