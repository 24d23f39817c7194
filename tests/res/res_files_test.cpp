// Files the tool makes and files it refuses: cut and repair byte for byte with every length of
// torn tail, the source never touched, and hostile files through every command.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <functional>
#include <string>

#include "commands.h"
#include "result_reader.h"
#include "support/result_file.h"
#include "support/temp_root.h"

namespace {

constexpr int POINTS = 4;
constexpr size_t RECORD = 2 * POINTS;

std::string header_bytes(const ResultHeader &h) {
    return std::string(reinterpret_cast<const char *>(&h), sizeof h);
}

// A command's status, and the line it failed with.
int run(const std::function<int()> &command, std::string *line = nullptr) {
    try {
        return command();
    } catch (const ResError &e) {
        if (line) *line = e.what();
        return e.status();
    }
}

// Every command on `file`; the last four write `out`.
std::vector<std::function<int()>> every_command(const std::string &file, const std::string &out,
                                                FILE *null, FILE *err) {
    const CsvOptions csv = {file, {}, "dBm", "wide"};
    const StatsOptions stats = {file, {}, -60, "dBm", out};
    const PngOptions png = {file, out, {}, 400, 300, -90, 0, "dBm"};
    const CopyOptions cut = {file, out, {"#0", "#1"}, false, ""},
                      repair = {file, out, {}, false, ""};
    return {[=] { return res_info({file}, true, null, err); },
            [=] { return res_check({file}, null, err); },
            [=] { return res_csv(csv, null); },
            [=] { return res_events({file}, null); },
            [=] { return res_stats(stats, null); },
            [=] { return res_png(png); },
            [=] { return res_cut(cut); },
            [=] { return res_repair(repair); }};
}

class ResFiles : public ::testing::Test {
protected:
    TempDeviceRoot root;
    ResultFileRecipe recipe;
    FILE *null = fopen("/dev/null", "w");
    ResFiles() {
        recipe.points = POINTS, recipe.records = 10, recipe.hour = 23, recipe.minute = 59;
        recipe.second = 58;
        recipe.level = [](long long r, int p) { return INT16(-7000 + 100 * r + p); };
    }
    ~ResFiles() override { fclose(null); }
    std::string path(const std::string &name) const { return root.dir() + "/" + name; }
};

// A section's header: the start time of its first record (here across midnight and the year's
// end), sealed again; the notes kept or replaced.
TEST_F(ResFiles, CutWritesTheSection) {
    recipe.month = 12, recipe.day = 31;
    const struct {
        const char *from, *to;
        long long first, last;
        WORD start[6];     // year .. second of the new file
        const char *notes; // null: kept
    } cases[] = {
        {"#0", "#9", 0, 9, {2020, 12, 31, 23, 59, 58}, nullptr},
        {"+3", "2021-01-01 00:00:04", 3, 6, {2021, 1, 1, 0, 0, 1}, nullptr},
        {"23:59:59", "#1", 1, 1, {2020, 12, 31, 23, 59, 59}, u8"Zweite S\u00e4ule"},
        {"#5", "+99", 5, 9, {2021, 1, 1, 0, 0, 3}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.from);
        for (int torn = 0; torn < int(RECORD); torn += 3) {
            recipe.partial_bytes = torn;
            result_file_write(path("src.res"), recipe);
            const std::string source = root.read("src.res");
            CopyOptions o = {path("src.res"), path("cut.res"), {c.from, c.to}, false, ""};
            o.notes_given = c.notes != nullptr, o.notes = c.notes ? c.notes : "";
            ASSERT_EQ(run([&] { return res_cut(o); }), RES_OK);
            ResultFileRecipe moved = recipe;
            moved.year = c.start[0], moved.month = c.start[1], moved.day = c.start[2];
            moved.hour = c.start[3], moved.minute = c.start[4], moved.second = c.start[5];
            ResultHeader h = result_file_header(moved);
            if (c.notes && *c.notes) memcpy(h.notes, u"Zweite S\u00e4ule", 2 * 12);
            std::string records;
            for (long long i = c.first; i <= c.last; ++i)
                records += result_file_record(recipe, i);
            EXPECT_EQ(root.read("cut.res"), header_bytes(h) + records);
            EXPECT_EQ(root.read("src.res"), source);
        }
    }
}

// Repair keeps the header and the whole records, whatever the length of the torn tail; check
// tells which files need it.
TEST_F(ResFiles, RepairDropsTornTails) {
    for (int torn = 0; torn < int(RECORD); ++torn) {
        SCOPED_TRACE(torn);
        recipe.partial_bytes = torn;
        result_file_write(path("src.res"), recipe);
        const std::string source = root.read("src.res");
        ASSERT_EQ(run([&] {
                      return res_repair({path("src.res"), path("fixed.res"), {}, false, ""});
                  }),
                  RES_OK);
        EXPECT_EQ(root.read("fixed.res"), source.substr(0, RESULT_HEADER_SIZE + 10 * RECORD));
        EXPECT_EQ(root.read("src.res"), source);
        EXPECT_EQ(res_check({path("src.res"), path("fixed.res")}, null, null),
                  torn ? RES_ATTENTION : RES_OK);
    }
}

// Every command refuses each hostile file with one line naming it and what is wrong, status 2,
// and leaves it as it was; no output file is left behind.
TEST_F(ResFiles, HostileFilesThroughEveryCommand) {
    const std::string good = header_bytes(result_file_header(recipe));
    const auto patched = [&](size_t at, const std::string &bytes) {
        std::string h = good;
        h.replace(at, bytes.size(), bytes);
        return h + std::string(3 * RECORD, '\x7f');
    };
    const std::pair<std::string, const char *> files[] = {
        {"", "too short for a result header (0 of 1320 bytes)"},
        {good.substr(0, 1319), "too short for a result header (1319 of 1320"},
        {std::string(4000, '\0'), "not a result file"},
        {"\x89PNG\r\n" + std::string(2000, 'x'), "not a result file"},
        {patched(60, std::string("\x00\x04\x00\x00", 4)), "header size field is 1024, not 1320"},
        {patched(196, std::string(4, '\0')), "points field is 0, outside 1..800"},
        {patched(196, std::string("\x21\x03\x00\x00", 4)), "points field is 801"},
        {patched(196, "\xff\xff\xff\xff"), "points field is -1"},
    };
    const std::string bad = path("bad.res");
    for (const auto &[bytes, why] : files) {
        SCOPED_TRACE(why);
        root.write("bad.res", bytes);
        char *err_text = nullptr;
        size_t err_size = 0;
        FILE *err = open_memstream(&err_text, &err_size);
        for (const auto &command : every_command(bad, path("new.out"), null, err)) {
            std::string line;
            EXPECT_EQ(run(command, &line), RES_BAD_FILE);
            fflush(err);
            if (line.empty()) line = std::string(err_text, err_size), rewind(err);
            EXPECT_EQ(line.rfind(bad + ": ", 0), 0u) << line;
            EXPECT_NE(line.find(why), std::string::npos) << line;
            EXPECT_LE(std::count(line.begin(), line.end(), '\n'), 1) << line;
            EXPECT_EQ(root.read("bad.res"), bytes);
            EXPECT_FALSE(root.exists("new.out"));
        }
        fclose(err), free(err_text);
    }
}

// An output named like the source, or reached through another name, is refused before a byte
// is written.
TEST_F(ResFiles, NeverWritesIntoTheSource) {
    result_file_write(path("src.res"), recipe);
    ASSERT_EQ(symlink(path("src.res").c_str(), path("alias.res").c_str()), 0);
    const std::string source = root.read("src.res");
    for (const char *name : {"src.res", "alias.res"}) {
        const auto commands = every_command(path("src.res"), path(name), null, null);
        for (size_t i = 4; i < commands.size(); ++i) {
            EXPECT_EQ(run(commands[i]), RES_USAGE) << name << ", command " << i;
            EXPECT_EQ(root.read("src.res"), source);
        }
    }
}

} // namespace
