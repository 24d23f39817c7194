// A whole viewing session through wfal-host and the real module, headless: a stored file is
// opened, the marker moved, the picture paged, Find run; the log and a screenshot show each step.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host_runner.h"
#include "support/golden.h"
#include "support/result_file.h"

namespace {

// The burst at records 120..125 is the only place above the default find threshold (-60 dB).
INT16 session_level(long long record, int point) {
    if (record >= 120 && record <= 125 && point >= 100 && point <= 140) return -2500;
    return INT16(-9000 + (point % 50) * 40 + (record % 40) * 10);
}

// Screen coordinates of the spectrogram's picture at the dialog's first split: the dialog's
// client starts below the host's 37-pixel title bar, the spectrogram 180 pixels below that, and
// the picture 40 pixels right and 1 pixel below the spectrogram's corner.
constexpr int PICTURE_LEFT = 40;
constexpr int PICTURE_TOP = 37 + 180 + 1;

TEST(HostViewSession, MarkerPagingAndFindShowInTheLogAndOnTheScreen) {
    HostFolder folder;
    std::filesystem::create_directories(folder.device() + "/USB");
    ResultFileRecipe recipe;
    recipe.records = 2000;
    recipe.level = session_level;
    result_file_write(folder.device() + "/USB/view.res", recipe);

    const std::string script = "tap \"\u02C3\"\ntap \"\u02C3\"\ntap \"\u02C3\"\n"
                               "tap \"PgDn\"\ndump\ntap \"Find\"\nshot \"found.png\"\ndump\n"
                               "tap \"Esc\"\n";
    HostRun r = folder.run(script, {"view", "\\USB\\view.res"}, nullptr);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = r.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "title \"Spectrogram\"");
    EXPECT_EQ(lines.back(), "done 0");
    for (const std::string &line : lines)
        EXPECT_EQ(line.find("message-box"), std::string::npos) << line;

    // After PgDn the picture is scrolled but the cursor stays on record 0: Top and PgUp are on,
    // "˄" is off. After Find the cursor is on the burst and the picture is back at the top.
    const std::string top_on = "control 106 btn enabled visible 620 317 70 50 \"Top\"";
    const std::string page_up_on = "control 107 btn enabled visible 620 372 70 50 \"PgUp\"";
    const std::string page_up_off = "control 107 btn disabled visible 620 372 70 50 \"PgUp\"";
    const std::string up_off = "control 104 btn disabled visible 620 207 70 50 \"\u02C4\"";
    const std::string up_on = "control 104 btn enabled visible 620 207 70 50 \"\u02C4\"";
    auto index_of = [&](const std::string &line, size_t from) {
        for (size_t i = from; i < lines.size(); i++)
            if (lines[i] == line) return i;
        return lines.size();
    };
    const size_t paged = index_of(page_up_on, 0);
    ASSERT_LT(paged, lines.size()) << r.out;
    EXPECT_LT(index_of(top_on, 0), lines.size());
    EXPECT_LT(index_of(up_off, 0), lines.size());
    const size_t found = index_of(up_on, paged);
    EXPECT_LT(found, lines.size()) << r.out;
    EXPECT_LT(index_of(page_up_off, paged), lines.size()) << r.out;

    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(png_read(folder.shots() + "/found.png", &pixels, &w, &h));
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 480);
    auto pixel = [&](int x, int y) { return pixels[size_t(y) * w + x] & 0xFFFFFF; };
    // The cursor arrow's middle row points at record 120, the found one.
    const int cursor_y = PICTURE_TOP + 120;
    for (int x = PICTURE_LEFT - 7; x < PICTURE_LEFT - 1; x++)
        EXPECT_EQ(pixel(x, cursor_y), 0u) << x;
    EXPECT_EQ(pixel(PICTURE_LEFT - 7, cursor_y - 3), 0xFFFFFFu);
    EXPECT_EQ(pixel(PICTURE_LEFT - 7, cursor_y + 3), 0xFFFFFFu);
    // The burst's rows differ from the records just before and after it, at its points.
    const int picture_width = 599 - 40 - 99; // the scroll bar takes 16 of 615
    const int burst_x = PICTURE_LEFT + 120 * picture_width / 300;
    EXPECT_NE(pixel(burst_x, cursor_y), pixel(burst_x, cursor_y - 2));
    EXPECT_EQ(pixel(burst_x, cursor_y), pixel(burst_x, cursor_y + 5));
    EXPECT_NE(pixel(burst_x, cursor_y + 5), pixel(burst_x, cursor_y + 7));
}

} // namespace
