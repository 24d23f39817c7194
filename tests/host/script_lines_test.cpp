// The script's lines as wfal-host reads and runs them, against the stand-in module: every kind
// of line accepted, bad lines refused before anything runs, and the exit statuses.
#include <gtest/gtest.h>

#include "host_runner.h"

namespace {

struct GoodLine {
    const char *line;
    const char *logged; // a log line the step brings, or null
};

// Each line runs before the stand-in's Esc key ends the session.
TEST(ScriptLines, EveryKindOfLineRuns) {
    const GoodLine cases[] = {
        {"# a comment, then a blank line", nullptr},
        {"   ", nullptr},
        {"tap 5 5", nullptr},
        {"tap \"Ticks\"", "title \"ticks: 0\""},
        {"  tap\t\"Ticks\"  ", "title \"ticks: 0\""},
        {"press 400 400", nullptr},
        {"move 401 401", nullptr},
        {"release 401 401", nullptr},
        {"wait 0.5", nullptr},
        {"wait 3", nullptr},
        {"answer text \"x\"", nullptr},
        {"answer text cancel", nullptr},
        {"answer number -5", nullptr},
        {"answer number cancel", nullptr},
        {"answer path \"\\\\USB\\\\a.res\"", nullptr},
        {"answer path cancel", nullptr},
        {"answer yes", nullptr},
        {"answer no", nullptr},
        {"answer ok", nullptr},
        {"stop-request on", nullptr},
        {"stop-request off", nullptr},
        {"shot \"one.png\"", nullptr},
        {"dump", "control 100 standin-key enabled visible 10 47 100 50 \"Esc\""},
    };
    HostFolder folder;
    for (const GoodLine &c : cases) {
        SCOPED_TRACE(c.line);
        HostRun r = folder.run(std::string(c.line) + "\ntap \"Esc\"\n", {"test"});
        EXPECT_EQ(r.status, 0) << r.err;
        ASSERT_FALSE(r.lines().empty());
        EXPECT_EQ(r.lines().back(), "done 42");
        if (c.logged) {
            EXPECT_TRUE(r.has_line(c.logged)) << r.out;
        }
    }
    EXPECT_TRUE(std::filesystem::exists(folder.shots() + "/one.png"));
}

struct BadLine {
    const char *line;
    const char *says;
};

// The bad line is the script's third, after a comment and a blank line that count as lines.
TEST(ScriptLines, BadLinesStopTheHostNamingTheLine) {
    const BadLine cases[] = {
        {"frobnicate", "unknown line"},
        {"Tap 1 2", "unknown line"},
        {"tap 10", "number expected"},
        {"tap 10 20 30", "unexpected"},
        {"tap x 20", "no number"},
        {"tap 1e3 20", "no number"},
        {"tap \"Esc", "no closing quote"},
        {"tap \"a\\qb\"", "unknown escape"},
        {"tap \"a\\x4\"", "hexadecimal"},
        {"press 1", "number expected"},
        {"move", "number expected"},
        {"release 1 2 3", "unexpected"},
        {"wait", "seconds"},
        {"wait -1", "seconds"},
        {"wait 1s", "seconds"},
        {"wait 1e9999", "seconds"},
        {"answer", "not one of"},
        {"answer maybe", "not one of"},
        {"answer text", "double quotes"},
        {"answer text unquoted", "double quotes"},
        {"answer number 1.5", "no number"},
        {"answer number 2147483648", "no number"},
        {"answer path", "double quotes"},
        {"answer yes please", "unexpected"},
        {"stop-request", "not one of"},
        {"stop-request maybe", "not one of"},
        {"shot", "double quotes"},
        {"shot file.png", "double quotes"},
        {"dump now", "unexpected"},
        {"close 1", "unexpected"},
    };
    HostFolder folder;
    for (const BadLine &c : cases) {
        SCOPED_TRACE(c.line);
        HostRun r = folder.run(std::string("# first\n\n") + c.line + "\ntap \"Esc\"\n", {"test"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("script.txt:3:"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, ""); // refused before the module ran
    }
}

struct Ending {
    const char *script;
    int status;
    const char *says; // in the error output; null: nothing expected there
    bool done;        // wfalstart returned
};

TEST(ScriptLines, ExitStatusSaysHowTheScriptEnded) {
    const Ending cases[] = {
        {"tap \"Esc\"\n", 0, nullptr, true},
        {"wait 1\n", 3, "the script ended while the module was still running", false},
        {"", 3, "the script ended", false},
        {"tap \"Esc\"\nwait 1\n", 2, "script.txt:2: not run", true},
        {"tap \"Esc\"\n# only a comment after it\n", 0, nullptr, true},
        {"tap \"Nothing\"\n", 2, "script.txt:1: no visible control \"Nothing\"", false},
        {"tap \"Hidden\"\n", 2, "script.txt:1: no visible control", false},
        {"answer yes\ntap \"Esc\"\n", 0, "1 message box answer(s) never asked for", true},
    };
    HostFolder folder;
    for (const Ending &c : cases) {
        SCOPED_TRACE(c.script);
        HostRun r = folder.run(c.script, {"test"});
        EXPECT_EQ(r.status, c.status);
        if (c.says) {
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        }
        EXPECT_EQ(r.has_line("done 42"), c.done) << r.out;
    }
}

// A disabled control takes the tap without acting; the session goes on.
TEST(ScriptLines, TapOnADisabledControlDoesNothing) {
    HostFolder folder;
    HostRun r = folder.run("tap \"Off\"\ntap \"Esc\"\n", {"test"});
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines().size(), 2u) << r.out; // the parameters' title and done
    EXPECT_EQ(r.lines()[1], "done 42");
}

} // namespace
