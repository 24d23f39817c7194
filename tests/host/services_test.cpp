// The host services as the stand-in module calls them headless: queued answers and defaults,
// the buffers' capacities, the stop request, the clock of "wait", closing, print screen and the
// title bar, and dump.
#include <gtest/gtest.h>

#include <algorithm>

#include "host_runner.h"
#include "support/golden.h"

namespace {

std::vector<std::string> lines_starting(const HostRun &r, const std::vector<std::string> &heads) {
    std::vector<std::string> out;
    for (const std::string &line : r.lines()) {
        for (const std::string &head : heads) {
            if (line.compare(0, head.size(), head) == 0) out.push_back(line);
        }
    }
    return out;
}

TEST(HostServices, QueuedAnswersGoToTheirOwnPromptsInOrder) {
    HostFolder folder;
    HostRun r = folder.run(R"(answer number -80
answer number 3
answer text "first line\nsecond \"q\" \\ end"
answer path "\\USB\\line1.res"
answer yes
answer ok
tap "Number"
tap "Text"
tap "Ask"
tap "Path"
tap "Error"
tap "Number"
answer text cancel
answer number cancel
answer path cancel
answer no
tap "Text"
tap "Number"
tap "Path"
tap "Ask"
tap "Esc"
)",
                           {"test"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected = {
        R"(enter-number "White level" "dBm" -90 -> -80)",
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
        "done 42",
    };
    std::vector<std::string> lines = r.lines();
    ASSERT_FALSE(lines.empty());
    lines.erase(lines.begin()); // the parameters' title
    EXPECT_EQ(lines, expected);
}

TEST(HostServices, PromptsWithoutAQueuedAnswerTakeTheirDefaultAndSaySo) {
    HostFolder folder;
    HostRun r = folder.run("tap \"Text\"\ntap \"Number\"\ntap \"Path\"\ntap \"Ask\"\n"
                           "tap \"Error\"\ntap \"Esc\"\n",
                           {"test"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected = {
        R"(edit-text "Write notes" -> cancel (no answer queued))",
        R"(enter-number "White level" "dBm" -90 -> cancel (no answer queued))",
        R"(edit-path "Result name" "\Internal\result.res" -> cancel (no answer queued))",
        R"(message-box 52 "Stop" "Stop test?" -> 7 (no answer queued))",
        R"(message-box 16 "Error" "Unknown file." -> 1 (no answer queued))",
    };
    EXPECT_EQ(lines_starting(r, {"edit-", "enter-", "message-box"}), expected);
    EXPECT_TRUE(r.has_line(R"(title "number: -90")"));
    EXPECT_TRUE(r.has_line(R"(title "text: 0 9 old notes")"));
}

// Texts longer than the module's buffer are cut to its capacity; nothing beyond is written.
TEST(HostServices, AnswersAreCutToTheBufferCapacity) {
    struct Case {
        std::string answer, key, reported;
    };
    const std::string path_tail(300, 'p');
    const Case cases[] = {
        {"answer text \"" + std::string(600, 'a') + "\"", "Text",
         "title \"text: 1 511 " + std::string(511, 'a') + "\""},
        {"answer text \"" + std::string(511, 'b') + "\"", "Text",
         "title \"text: 1 511 " + std::string(511, 'b') + "\""},
        {"answer path \"\\\\USB\\\\" + path_tail + "\"", "Path",
         "title \"path: 2 259 \\USB\\" + path_tail.substr(0, 254) + "\""},
    };
    HostFolder folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        HostRun r = folder.run(c.answer + "\ntap \"" + c.key + "\"\ntap \"Esc\"\n", {"test"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.has_line(c.reported)) << r.out;
    }
}

TEST(HostServices, PathAnswerTellsTheVolume) {
    struct Case {
        const char *path;
        int volume;
    };
    const Case cases[] = {
        {"\\\\Internal\\\\a.res", 1},
        {"\\\\internal\\\\a.res", 1},
        {"\\\\USB\\\\a.res", 2},
        {"\\\\Internalx\\\\a.res", 2},
    };
    HostFolder folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        HostRun r = folder.run(
            std::string("answer path \"") + c.path + "\"\ntap \"Path\"\ntap \"Esc\"\n", {"test"});
        ASSERT_EQ(lines_starting(r, {"title \"path: "}).size(), 1u) << r.out;
        EXPECT_EQ(lines_starting(r, {"title \"path: "})[0].substr(0, 15),
                  "title \"path: " + std::to_string(c.volume) + " ");
    }
}

// The stand-in's timer ticks every 250 ms; only "wait" moves the virtual clock.
TEST(HostServices, WaitAdvancesTheClockFiringTimersOnTheWay) {
    struct Case {
        const char *wait;
        int ticks;
    };
    const Case cases[] = {{"", 0},       {"wait 0", 0},     {"wait 0.249", 0},    {"wait 0.25", 1},
                          {"wait 2", 8}, {"wait 10.1", 40}, {"wait 1\nwait 1", 8}};
    HostFolder folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.wait);
        HostRun r = folder.run(std::string(c.wait) + "\ntap \"Ticks\"\ntap \"Esc\"\n", {"test"});
        EXPECT_TRUE(r.has_line("title \"ticks: " + std::to_string(c.ticks) + "\"")) << r.out;
    }
}

TEST(HostServices, StopRequestFromTheScriptAndFromTheTitleBarKey) {
    HostFolder folder;
    HostRun r = folder.run(R"(tap "Run"
wait 1
stop-request on
wait 0.25
stop-request off
tap "Run"
wait 1
tap 750 18
wait 2
tap "Esc"
)",
                           {"test"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected = {"test-running 1", "stop-requested -> 1", "test-running 0",
                                         "test-running 1", "stop-requested -> 1", "test-running 0"};
    EXPECT_EQ(lines_starting(r, {"test-running", "stop-requested"}), expected);
}

struct Closing {
    const char *script;
    std::vector<std::string> ending;
};

// Closing the session stops a running test through the stop request, then closes the dialog.
TEST(HostServices, CloseStopsTheTestThenEndsTheSession) {
    const Closing cases[] = {
        {"close\n", {"done 42"}},
        {"tap \"Run\"\nwait 1\nclose\n",
         {"test-running 1", "stop-requested -> 1", "test-running 0", "done 42"}},
        {"tap \"Run\"\nclose\nwait 5\n",
         {"test-running 1", "stop-requested -> 1", "test-running 0", "done 42"}},
    };
    HostFolder folder;
    for (const Closing &c : cases) {
        SCOPED_TRACE(c.script);
        HostRun r = folder.run(c.script, {"test"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines_starting(r, {"test-running", "stop-requested", "done"}), c.ending);
    }
}

// 0x00RRGGBB, as png_read gives it.
uint32_t pixel(const std::vector<uint32_t> &pixels, int x, int y) {
    return pixels[size_t(y) * 800 + size_t(x)];
}

// Print screen numbers its files past those already there; the title bar shows the recording
// indicator only while a test runs.
TEST(HostServices, PrintScreenWritesNumberedScreens) {
    HostFolder folder;
    std::filesystem::create_directories(folder.shots());
    std::ofstream(folder.shots() + "/prtscr-0001.png") << "an earlier one";
    HostRun r = folder.run("tap \"Print\"\ntap \"Run\"\ntap \"Print\"\ntap \"Help\"\n"
                           "tap \"Run\"\ntap \"Esc\"\n",
                           {"test"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected = {
        "print-screen \"" + folder.shots() + "/prtscr-0002.png\"", "test-running 1",
        "print-screen \"" + folder.shots() + "/prtscr-0003.png\"", "help 2", "test-running 0"};
    EXPECT_EQ(lines_starting(r, {"print-screen", "test-running", "help"}), expected);
    EXPECT_EQ(host_read_file(folder.shots() + "/prtscr-0001.png"), "an earlier one");
    const uint32_t BAR = 0x282830, RED = 0xE60000;
    const int DOT_X = 619, DOT_Y = 18; // the middle of the recording dot
    struct Shot {
        const char *file;
        uint32_t dot;
    };
    for (const Shot &s : {Shot{"prtscr-0002.png", BAR}, Shot{"prtscr-0003.png", RED}}) {
        SCOPED_TRACE(s.file);
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(png_read(folder.shots() + "/" + s.file, &pixels, &width, &height));
        ASSERT_EQ(width, 800);
        ASSERT_EQ(height, 480);
        EXPECT_EQ(pixel(pixels, 300, 2), BAR);
        EXPECT_EQ(pixel(pixels, DOT_X, DOT_Y), s.dot);
        EXPECT_NE(pixel(pixels, 300, 40), BAR); // the dialog starts below the bar
    }
}

TEST(HostServices, DumpListsTheTopmostDialogsControls) {
    HostFolder folder;
    HostRun r = folder.run("dump\ntap \"Esc\"\n", {"test"});
    std::vector<std::string> expected = {
        R"(control 100 standin-key enabled visible 10 47 100 50 "Esc")",
        R"(control 105 standin-key enabled visible 560 47 100 50 "Error")",
        R"(control 106 standin-key enabled visible 10 107 100 50 "Print")",
        R"(control 110 standin-key disabled visible 450 107 100 50 "Off")",
        R"(control 111 standin-key enabled hidden 560 107 100 50 "Hidden")",
        R"(control 112 standin-key enabled visible 10 167 100 50 "two\nlines \"q\"")",
    };
    std::vector<std::string> controls = lines_starting(r, {"control "});
    EXPECT_EQ(controls.size(), 15u) << r.out;
    for (const std::string &line : expected)
        EXPECT_NE(std::find(controls.begin(), controls.end(), line), controls.end()) << line;
}

} // namespace
