// A wfal-host session as a whole: the command line and its help, the ten parameters that reach
// the module with PC paths made instrument paths, and the real module run headless to its end
// in both modes.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdlib.h>

#include "host_runner.h"

namespace {

TEST(HostSession, HelpListsEveryOptionWithItsDefault) {
    const char *const options[] = {
        "--device-root DIR", "--settings PATH",
        "--language N",      "--language-file PATH",
        "--operator NAME",   "--memory-reserve BYTES",
        "--help-mask N",     "--volume-size NAME=BYTES",
        "--wideband",        "--no-probe",
        "--seed N",          "--device-name NAME",
        "--serial NAME",     "--clock real|virtual",
        "--start-time",      "--scale 1|2",
        "--screenshots DIR", "--headless",
        "--script FILE",
    };
    HostFolder folder;
    HostRun r = folder.run_raw({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char *option : options)
        EXPECT_NE(r.out.find(std::string("  ") + option), std::string::npos) << option;
    for (const char *text : {"test [RESULT_PATH]", "view RESULT_PATH", "(default: 1048576)",
                             "(default: 2025-01-06 09:00:00)", "(default: \\Internal\\wfal.set)"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

struct BadLine {
    std::vector<std::string> args;
    const char *named; // what the message must name
};

TEST(HostSession, BadCommandLinesAreRefused) {
    const BadLine cases[] = {
        {{}, ""},
        {{"show"}, ""},
        {{"view"}, "RESULT_PATH"},
        {{"test", "a.res", "b.res"}, "b.res"},
        {{"--frobnicate", "test"}, "--frobnicate"},
        {{"--clock", "fast", "test"}, "--clock"},
        {{"--scale", "3", "test"}, "--scale"},
        {{"--seed", "x", "test"}, "--seed"},
        {{"--seed", "-1", "test"}, "--seed"},
        {{"test", "--seed", "3"}, "--seed"},
        {{"--language"}, "--language"},
        {{"--wideband=1", "test"}, "wideband"},
        {{"--volume-size", "Floppy=100", "test"}, "--volume-size"},
        {{"--volume-size", "USB", "test"}, "--volume-size"},
        {{"--volume-size", "USB=1", "Internal=1", "test"}, "Internal=1"},
        {{"--start-time", "2025-02-30 10:00:00", "test"}, "--start-time"},
        {{"--start-time", "2025-01-06", "test"}, "--start-time"},
        {{"--device-name", "a name far longer than fifteen", "test"}, "--device-name"},
        {{"--headless", "test"}, "--script"},
    };
    HostFolder folder;
    for (const BadLine &c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(nothing)" : c.args[0] + " ...");
        HostRun r = folder.run_raw(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("wfal-host --help"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

std::string real(const std::string &path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? buffer : "";
}

struct Parameters {
    std::vector<std::string> args;
    std::string title;
};

// The stand-in module reports what it received in its first title.
TEST(HostSession, ParametersReachTheModuleWithPcPathsMapped) {
    HostFolder folder;
    std::string pc = folder.dir() + "/pc", pc2 = folder.dir() + "/pc2";
    std::filesystem::create_directories(pc);
    std::filesystem::create_directories(pc2);
    const Parameters cases[] = {
        {{"test"},
         "args: parent 1 mode 1 result \\Internal\\result.res reserve 1048576 language 1 operator "
         "Operator settings \\Internal\\wfal.set language-file  help 7"},
        {{"--memory-reserve", "5000", "--language=3", "--operator", "Ann Example", "--help-mask",
          "0", "--settings", folder.device() + "/Internal/s.set", "--language-file",
          pc2 + "/lang.txt", "view", pc + "/line1.res"},
         "args: parent 1 mode 0 result \\PC\\line1.res reserve 5000 language 3 operator Ann "
         "Example settings \\Internal\\s.set language-file \\PC2\\lang.txt help 0"},
        {{"--language-file=", "--operator", "-x", "test", "\\USB\\given.res"},
         "args: parent 1 mode 1 result \\USB\\given.res reserve 1048576 language 1 operator "
         "-x settings \\Internal\\wfal.set language-file  help 7"},
        {{"test", "\\USB\\given.res"},
         "args: parent 1 mode 1 result \\USB\\given.res reserve 1048576 language 1 operator "
         "Operator settings \\Internal\\wfal.set language-file  help 7"},
    };
    for (const Parameters &c : cases) {
        SCOPED_TRACE(c.title);
        HostRun r = folder.run("tap \"Esc\"\n", c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        ASSERT_FALSE(r.lines().empty());
        EXPECT_EQ(r.lines()[0], "title \"" + c.title + "\"");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.device() + "/Internal"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.device() + "/USB"));
    EXPECT_EQ(real(folder.device() + "/PC"), real(pc));
    EXPECT_EQ(real(folder.device() + "/PC2"), real(pc2));
}

struct Setting {
    std::vector<std::string> options;
    const char *key;
    const char *reported;
};

// The engine's and the file system's options as the module finds them.
TEST(HostSession, EngineAndVolumeOptionsReachTheModule) {
    const Setting cases[] = {
        {{}, "Engine", "engine: SIMULATOR SIM0000001 options 0 probe 1"},
        {{"--wideband", "--no-probe", "--device-name", "LINE TESTER", "--serial", "A-1"},
         "Engine",
         "engine: LINE TESTER A-1 options 4 probe 0"},
        {{"--volume-size", "usb=5000000"}, "Free", "free: 1 5000000"},
        {{"--volume-size", "Internal=5000000"}, "Free", nullptr},
        {{"--volume-size=usb=5000000", "--volume-size", "Internal=7"}, "Free", "free: 1 5000000"},
    };
    HostFolder folder;
    for (const Setting &c : cases) {
        SCOPED_TRACE(c.options.empty() ? "(defaults)" : c.options[0]);
        std::vector<std::string> args = c.options;
        args.push_back("test");
        HostRun r = folder.run(std::string("tap \"") + c.key + "\"\ntap \"Esc\"\n", args);
        EXPECT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.lines().size(), 3u) << r.out;
        if (c.reported) {
            EXPECT_EQ(r.lines()[1], std::string("title \"") + c.reported + "\"");
        } else {
            EXPECT_NE(r.lines()[1], "title \"free: 1 5000000\""); // the other volume's size
        }
    }
}

TEST(HostSession, PcPathInAMissingFolderIsRefused) {
    HostFolder folder;
    HostRun r = folder.run("tap \"Esc\"\n", {"view", folder.dir() + "/none/line1.res"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no such folder"), std::string::npos) << r.err;
}

struct RealRun {
    std::vector<std::string> args;
    const char *title;
    const char *ending;
};

// The module itself, headless: its dialog shows with its Esc key at the top of the key column,
// and Esc or closing the window ends the session.
TEST(HostSession, RealModuleRunsToItsEndInBothModes) {
    const RealRun cases[] = {
        {{"view", "\\USB\\missing.res"}, "Spectrogram", "tap \"Esc\"\n"},
        {{"view", "\\USB\\missing.res"}, "Spectrogram", "close\n"},
        {{"test"}, "Set-up spectrogram test", "tap \"Esc\"\n"},
        {{"test"}, "Set-up spectrogram test", "close\n"},
    };
    HostFolder folder;
    for (const RealRun &c : cases) {
        SCOPED_TRACE(std::string(c.title) + " / " + c.ending);
        HostRun r = folder.run(std::string("dump\n") + c.ending, c.args, nullptr);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> lines = r.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), std::string("title \"") + c.title + "\"");
        EXPECT_TRUE(r.has_line(R"(control 100 btn enabled visible 695 42 100 50 "Esc")")) << r.out;
        EXPECT_EQ(lines.back(), "done 0");
    }
}

} // namespace
