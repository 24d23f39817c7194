// wfal-host's command line and script mode against the stand-in module: what each script logs,
// how it ends, what the module is handed and what the services give back to it.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_runner.h"

namespace {

struct Logged {
    std::string script;
    std::vector<std::string> log; // everything after the title that reports the parameters
    int status = 0;
    std::string err = ""; // a part of the error output
};

std::vector<std::string> after_parameters(const HostFolder &folder) {
    std::vector<std::string> lines = folder.lines();
    if (!lines.empty() && lines[0].rfind("title \"args: ", 0) == 0) lines.erase(lines.begin());
    return lines;
}

TEST(HostScript, LogsStatusAndErrors) {
    std::vector<Logged> cases;
    // Every kind of line runs, logging nothing, before the Esc key ends the session; the
    // disabled key takes the tap without acting.
    cases.push_back({"# a comment, then a blank line\n   \n\ntap 5 5\npress 400 400\n"
                     "move 401 401\nrelease 401 401\nwait 0.5\nwait 3\nanswer text \"x\"\n"
                     "answer text cancel\nanswer number -5\nanswer number cancel\n"
                     "answer path \"\\\\USB\\\\a.res\"\nanswer path cancel\nanswer no\nanswer ok\n"
                     "stop-request on\nstop-request off\nshot \"one.png\"\n"
                     "tap \"two\\nlines \\\"q\\\"\"\ntap \"Esc\"\n",
                     {"done 42"}});
    // A bad line is refused, naming the line and what is wrong with it, before the module runs.
    const std::pair<const char *, const char *> bad[] = {
        {"Tap 1 2", "unknown line"},
        {"tap 10", "a number expected"},
        {"tap 10 20 30", "unexpected"},
        {"tap x 20", "\"x\" is no number in range"},
        {"tap \"Esc", "the string has no closing quote"},
        {"tap \"a\\qb\"", "unknown escape"},
        {"tap \"a\\x4\"", "\\x needs two hexadecimal digits"},
        {"wait", "\"\" is no number of seconds"},
        {"wait -1", "\"-1\" is no number of seconds"},
        {"answer maybe", "\"maybe\" is not one of: text number path yes no ok"},
        {"answer text", "a string in double quotes expected"},
        {"answer number 2147483648", "\"2147483648\" is no number in range"},
        {"stop-request maybe", "\"maybe\" is not one of: off on"},
        {"shot file.png", "a string in double quotes expected"},
        {"shot \"../x.png\"", "\"../x.png\" is outside the screenshots folder"},
        {"shot \"a/../../x.png\"", "\"a/../../x.png\" is outside the screenshots folder"},
        {"shot \"a/..\"", "\"a/..\" is outside the screenshots folder"},
        {"shot \"/tmp/x.png\"", "\"/tmp/x.png\" is outside the screenshots folder"},
        {"dump now", "unexpected"}};
    for (const auto &[line, says] : bad)
        cases.push_back({std::string("# first\n\n") + line + "\ntap \"Esc\"\n",
                         {},
                         2,
                         std::string("script.txt:3: ") + says});
    cases.insert(
        cases.end(),
        {
            {"  tap\t\"Ticks\"  \ntap \"Esc\"\n", {"title \"ticks: 0\"", "done 42"}},
            {"wait 1\n", {}, 3, "the script ended while the module was still running"},
            {"tap \"Esc\"\nwait 1\n", {"done 42"}, 2, "script.txt:2: not run"},
            {"tap \"Esc\"\n# only a comment after it\n", {"done 42"}},
            {"tap \"Nothing\"\n", {}, 2, "script.txt:1: no visible control \"Nothing\""},
            {"tap \"Hidden\"\n", {}, 2, "script.txt:1: no visible control"},
            {"answer yes\ntap \"Esc\"\n",
             {"done 42"},
             0,
             "1 message box answer(s) never asked for"},
            // Queued answers go to their own kind of prompt, oldest first.
            {"answer number -80\nanswer number 3\nanswer text \"first line\\nsecond \\\"q\\\" \\\\ "
             "end\"\n"
             "answer path \"\\\\USB\\\\line1.res\"\nanswer yes\nanswer ok\ntap \"Number\"\ntap "
             "\"Text\"\n"
             "tap \"Ask\"\ntap \"Path\"\ntap \"Error\"\ntap \"Number\"\nanswer text cancel\n"
             "answer number cancel\nanswer path cancel\nanswer no\ntap \"Text\"\ntap \"Number\"\n"
             "tap \"Path\"\ntap \"Ask\"\ntap \"Esc\"\n",
             {R"(enter-number "White level" "dBm" -90 -> -80)",
              R"(title "number: -80")",
              R"(edit-text "Write notes" -> "first line\nsecond \"q\" \ end")",
              R"(title "text: 1 27 first line\nsecond \"q\" \ end")",
              R"(message-box 52 "Stop" "Stop test?" -> 6)",
              R"(title "ask: 6")",
              R"(edit-path "Result name" "\Internal\result.res" -> "\USB\line1.res" 2)",
              R"(title "path: 2 14 \USB\line1.res")",
              R"(message-box 16 "Error" "Unknown file." -> 1)",
              R"(title "error: 1")",
              R"(enter-number "White level" "dBm" -90 -> 3)",
              R"(title "number: 3")",
              R"(edit-text "Write notes" -> cancel)",
              R"(title "text: 0 9 old notes")",
              R"(enter-number "White level" "dBm" -90 -> cancel)",
              R"(title "number: -90")",
              R"(edit-path "Result name" "\Internal\result.res" -> cancel)",
              R"(title "path: 0 20 \Internal\result.res")",
              R"(message-box 52 "Stop" "Stop test?" -> 7)",
              R"(title "ask: 7")",
              "done 42"}},
            // Without a queued answer a prompt takes its default and says so.
            {"tap \"Text\"\ntap \"Number\"\ntap \"Path\"\ntap \"Ask\"\ntap \"Error\"\ntap "
             "\"Esc\"\n",
             {R"(edit-text "Write notes" -> cancel (no answer queued))",
              R"(title "text: 0 9 old notes")",
              R"(enter-number "White level" "dBm" -90 -> cancel (no answer queued))",
              R"(title "number: -90")",
              R"(edit-path "Result name" "\Internal\result.res" -> cancel (no answer queued))",
              R"(title "path: 0 20 \Internal\result.res")",
              R"(message-box 52 "Stop" "Stop test?" -> 7 (no answer queued))", R"(title "ask: 7")",
              R"(message-box 16 "Error" "Unknown file." -> 1 (no answer queued))",
              R"(title "error: 1")", "done 42"}},
        });
    HostFolder folder;
    for (const Logged &c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(host_run(folder, c.script, {"test"}), c.status) << folder.err();
        EXPECT_EQ(after_parameters(folder), c.log) << folder.out();
        EXPECT_NE(folder.err().find(c.err), std::string::npos) << folder.err();
    }
    EXPECT_TRUE(std::filesystem::exists(folder.shots() + "/one.png"));
}

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
    const std::string p300(300, 'p');
    const Seen cases[] = {
        {{"test"}, "", "args: parent 1 mode 1 result \\Internal\\result.res" + defaults},
        {{"--start-time", "1980-01-01 00:00:00", "test"},
         "",
         "args: parent 1 mode 1 result \\Internal\\result.res" + defaults},
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
        // Answers longer than the module's buffer are cut to its capacity.
        {{"test"},
         "answer text \"" + std::string(600, 'a') + "\"\ntap \"Text\"",
         "text: 1 511 " + std::string(511, 'a')},
        {{"test"},
         "answer path \"\\\\USB\\\\" + p300 + "\"\ntap \"Path\"",
         "path: 2 259 \\USB\\" + p300.substr(0, 254)},
        // The volume a path answer names: 1 the internal memory, 2 the stick.
        {{"test"},
         "answer path \"\\\\internal\\\\a.res\"\ntap \"Path\"",
         "path: 1 15 \\internal\\a.res"},
        {{"test"},
         "answer path \"\\\\Internalx\\\\a.res\"\ntap \"Path\"",
         "path: 2 16 \\Internalx\\a.res"},
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

TEST(HostScript, BadCommandLinesAreRefused) {
    HostFolder folder;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"show"}, ""},
        {{"view"}, "RESULT_PATH"},
        {{"test", "a.res", "b.res"}, "b.res"},
        {{"--frobnicate", "test"}, "--frobnicate"},
        {{"--clock", "fast", "test"}, "--clock"},
        {{"--scale", "3", "test"}, "--scale"},
        {{"--seed", "-1", "test"}, "--seed"},
        {{"--scenario", "noisy", "test"}, "--scenario"},
        {{"test", "--seed", "3"}, "--seed"},
        {{"--language"}, "--language"},
        {{"--wideband=1", "test"}, "wideband"},
        {{"--volume-size", "Floppy=100", "test"}, "--volume-size"},
        {{"--volume-size", "USB", "test"}, "--volume-size"},
        {{"--volume-size", "USB=1", "Internal=1", "test"}, "Internal=1"},
        {{"--start-time", "2025-02-30 10:00:00", "test"}, "--start-time"},
        {{"--start-time", "2025-01-06", "test"}, "--start-time"},
        {{"--start-time", "2100-01-01 00:00:00", "test"}, "--start-time"},
        {{"--start-time", "2025-13-01 10:00:00", "test"}, "--start-time"},
        {{"--start-time", "2025-01-06 24:00:00", "test"}, "--start-time"},
        {{"--start-time", "2024-02--9 23:59:59", "test"}, "--start-time"},
        {{"--device-name", "a name far longer than fifteen", "test"}, "--device-name"},
        {{"--headless", "test"}, "--script"},
        {{"view", folder.dir() + "/none/line1.res"}, "no such folder"},
    };
    for (const auto &[args, named] : cases) {
        SCOPED_TRACE(args.empty() ? "(nothing)" : args[0] + " ...");
        EXPECT_EQ(HostChild(folder, args).exit_status(30), 1);
        EXPECT_NE(folder.err().find(named), std::string::npos) << folder.err();
        EXPECT_EQ(folder.out(), "");
    }
}

// Dump lists the topmost dialog's controls, the topmost first.
TEST(HostScript, DumpListsTheTopmostDialogsControls) {
    HostFolder folder;
    EXPECT_EQ(host_run(folder, "dump\ntap \"Esc\"\n", {"test"}), 0);
    const std::vector<std::string> lines = after_parameters(folder);
    ASSERT_EQ(lines.size(), 13u) << folder.out();
    EXPECT_EQ(lines[0], R"(control 111 standin-key enabled visible 560 107 100 50 "Free")");
    EXPECT_EQ(lines[1], R"(control 110 standin-key enabled hidden 450 107 100 50 "Hidden")");
    EXPECT_EQ(lines[2],
              R"(control 109 standin-key disabled visible 340 107 100 50 "two\nlines \"q\"")");
    EXPECT_EQ(lines[11], R"(control 100 standin-key enabled visible 10 47 100 50 "Esc")");
}

// Print screen numbers its files past those already there, each the screen a shot takes.
TEST(HostScript, PrintScreenWritesNumberedScreens) {
    HostFolder folder;
    std::filesystem::create_directories(folder.shots());
    std::ofstream(folder.shots() + "/prtscr-0001.png") << "an earlier one";
    EXPECT_EQ(host_run(folder,
                       "tap \"Print\"\ntap \"Run\"\ntap \"Print\"\nshot \"run.png\"\ntap \"Esc\"\n",
                       {"test"}),
              0);
    const std::string prtscr = folder.shots() + "/prtscr-000";
    EXPECT_EQ(after_parameters(folder),
              (std::vector<std::string>{"print-screen \"" + prtscr + "2.png\"", "test-running 1",
                                        "print-screen \"" + prtscr + "3.png\"", "done 42"}));
    EXPECT_EQ(host_read_file(prtscr + "1.png"), "an earlier one");
    EXPECT_GT(host_read_file(prtscr + "3.png").size(), 1000u);
    EXPECT_EQ(host_read_file(prtscr + "3.png"), host_read_file(folder.shots() + "/run.png"));
    EXPECT_NE(host_read_file(prtscr + "2.png"), host_read_file(prtscr + "3.png"));
}

} // namespace
