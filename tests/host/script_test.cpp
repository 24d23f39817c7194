// wfal-host against the stand-in module: what the module is handed and what the services give
// back to it. What scripts log and how they end is shown by the flows host_script and
// host_refusals with the real module.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_runner.h"

namespace {

struct Seen {
    std::vector<std::string> args;
    std::string script, title; // the title the stand-in reports after the script
};

// What the module receives and what the services hand it; the stand-in reports it in a title.
TEST(HostScript, TheModuleSeesItsParametersAndAnswers) {
    HostFolder folder;
    const std::string pc = folder.dir() + "/pc", pc2 = folder.dir() + "/pc2";
    std::filesystem::create_directories(pc);
    std::filesystem::create_directories(pc2);
    // A link left by an earlier session elsewhere is pointed at this session's folder.
    std::filesystem::create_directories(folder.device());
    std::filesystem::create_directory_symlink(pc2, folder.device() + "/PC");
    const std::string defaults = " reserve 1048576 language 1 operator Operator settings "
                                 "\\Internal\\wfal.set language-file  help 7";
    const Seen cases[] = {
        {{"test"}, "", "args: parent 1 mode 1 result \\Internal\\result.res" + defaults},
        {{"--memory-reserve", "5000", "--language=3", "--operator", "Ann Example", "--help-mask",
          "0", "--settings", folder.device() + "/Internal/s.set", "--language-file",
          pc2 + "/lang.txt", "view", pc + "/line1.res"},
         "",
         "args: parent 1 mode 0 result \\PC\\line1.res reserve 5000 language 3 operator Ann "
         "Example settings \\Internal\\s.set language-file \\PC2\\lang.txt help 0"},
        {{"--language-file=", "--operator", "-x", "test", "\\USB\\given.res"},
         "",
         "args: parent 1 mode 1 result \\USB\\given.res reserve 1048576 language 1 operator "
         "-x settings \\Internal\\wfal.set language-file  help 7"},
        {{"--volume-size=usb=5000000", "--volume-size", "Internal=7", "test"},
         "tap \"Free\"",
         "free: 1 5000000"},
        // Answers longer than the module's buffer are cut to its capacity (the flows show the
        // module's path buffer, the volumes of path answers and the defaults of every prompt).
        {{"test"},
         "answer text \"" + std::string(600, 'a') + "\"\ntap \"Text\"",
         "text: 1 511 " + std::string(511, 'a')},
        // The stand-in's timer ticks every 250 ms; only "wait" moves the virtual clock.
        {{"test"}, "wait 0.249\ntap \"Ticks\"", "ticks: 0"},
        {{"test"}, "wait 0.25\ntap \"Ticks\"", "ticks: 1"},
        {{"test"}, "wait 1\nwait 9.1\ntap \"Ticks\"", "ticks: 40"},
    };
    for (const Seen &c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(host_run(folder, c.script + "\ntap \"Esc\"\n", c.args), 0) << folder.err();
        EXPECT_TRUE(folder.logged("title \"" + c.title + "\"")) << folder.out();
    }
    // Instrument folders exist, and PC folders are mapped into the device root.
    EXPECT_TRUE(std::filesystem::is_directory(folder.device() + "/Internal"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.device() + "/USB"));
    EXPECT_EQ(std::filesystem::canonical(folder.device() + "/PC"), std::filesystem::canonical(pc));
    EXPECT_EQ(std::filesystem::canonical(folder.device() + "/PC2"),
              std::filesystem::canonical(pc2));
}

// Headless without a script is refused (the other refusals are shown by the flow host_refusals).
TEST(HostScript, HeadlessNeedsAScript) {
    HostFolder folder;
    EXPECT_EQ(HostChild(folder, {"--headless", "test"}).exit_status(30), 1);
    EXPECT_NE(folder.err().find("--script"), std::string::npos) << folder.err();
    EXPECT_EQ(folder.out(), "");
}

// Print screen numbers its files past those already there, each the screen a shot takes.
TEST(HostScript, PrintScreenWritesNumberedScreens) {
    HostFolder folder;
    std::filesystem::create_directories(folder.shots());
    std::ofstream(folder.shots() + "/prtscr-0001.png") << "an earlier one";
    EXPECT_EQ(host_run(folder,
                       "tap \"PrtScr\"\nanswer path \"\\\\USB\\\\a.res\"\ntap \"Name\"\n"
                       "tap \"Start\"\ntap \"Freeze\"\ntap \"PrtScr\"\nshot \"run.png\"\nclose\n",
                       {"test"}, nullptr),
              0);
    const std::string prtscr = folder.shots() + "/prtscr-000";
    const std::vector<std::string> lines = folder.lines();
    ASSERT_EQ(lines.size(), 9u) << folder.out();
    EXPECT_EQ(lines[1], "print-screen \"" + prtscr + "2.png\"");
    EXPECT_EQ(lines[5], "print-screen \"" + prtscr + "3.png\"");
    EXPECT_EQ(host_read_file(prtscr + "1.png"), "an earlier one");
    EXPECT_GT(host_read_file(prtscr + "3.png").size(), 1000u);
    EXPECT_EQ(host_read_file(prtscr + "3.png"), host_read_file(folder.shots() + "/run.png"));
    EXPECT_NE(host_read_file(prtscr + "2.png"), host_read_file(prtscr + "3.png"));
}

} // namespace
