// The demonstration that scripts/run plays (host/demo.script) is a complete session: a test
// recorded, frozen, searched, continued and stopped, then viewed with the result list, the set-up
// report, notes written into the file, a section saved and the display set-up changed. It must
// keep working, and leave the two files it says it makes.
#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host_runner.h"
#include "resultfile/result_header.h"

namespace {

std::string script_text() {
    std::ifstream in(std::string(WFAL_SOURCE_DIR) + "/host/demo.script", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ResultHeader header_of(const std::string &bytes) {
    ResultHeader h;
    memset(&h, 0, sizeof h);
    memcpy(&h, bytes.data(), std::min(bytes.size(), sizeof h));
    return h;
}

TEST(HostDemoSession, PlaysToItsEndAndLeavesTheRecordingAndItsSection) {
    HostFolder folder;
    HostRun r = folder.run(script_text(), {"test"}, nullptr);
    ASSERT_EQ(r.status, 0) << r.err << r.out;
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
    const std::vector<std::string> lines = r.lines();
    size_t at = 0;
    for (const std::string &line : expected) {
        while (at < lines.size() && lines[at] != line)
            at++;
        ASSERT_LT(at, lines.size()) << "missing or out of order: " << line << "\n" << r.out;
    }
    EXPECT_EQ(r.err, "");

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
    // The section runs from the first to the last record: the same records, the same notes.
    ASSERT_EQ(section.size(), recording.size());
    EXPECT_EQ(std::u16string(header_of(section).notes), notes);
    EXPECT_EQ(section.substr(RESULT_HEADER_SIZE), recording.substr(RESULT_HEADER_SIZE));
}

} // namespace
