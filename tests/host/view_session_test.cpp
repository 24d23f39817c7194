// The demonstration that scripts/run plays (host/demo.script) is played, and its log and files
// checked, by the flow host_demo; here its run must stay the demonstration's script, screenshots
// left out.
#include <gtest/gtest.h>

#include "host_runner.h"

namespace {

std::vector<std::string> played(const std::string &text, const std::string &indent) {
    std::vector<std::string> lines;
    for (const std::string &line : text_lines(text))
        if (line.rfind(indent, 0) == 0 && line.rfind(indent + "shot ", 0) != 0 &&
            line.rfind(indent + "#", 0) != 0)
            lines.push_back(line.substr(indent.size()));
    return lines;
}

TEST(HostViewSession, TheDemoFlowPlaysTheDemonstrationScript) {
    const std::string source = WFAL_SOURCE_DIR;
    const std::string flow = host_read_file(source + "/tests/flows/host_demo.flow");
    const std::string script = host_read_file(source + "/host/demo.script");
    const std::vector<std::string> run = played(flow.substr(0, flow.find("\nlog\n")), "  ");
    ASSERT_GT(run.size(), 30u);
    EXPECT_EQ(run, played(script, ""));
}

} // namespace
