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

class ResFiles : public ::testing::Test {
protected:
    TempDeviceRoot root;
    ResultFileRecipe recipe;
    ResFiles() {
        recipe.points = POINTS, recipe.records = 10, recipe.hour = 23, recipe.minute = 59;
        recipe.second = 58;
        recipe.level = [](long long r, int p) { return INT16(-7000 + 100 * r + p); };
    }
    std::string path(const std::string &name) const { return root.dir() + "/" + name; }
    // Runs a command; its status, and the line it failed with.
    int run(std::function<int()> command, std::string *line = nullptr) {
        try {
            return command();
        } catch (const ResError &e) {
            if (line) *line = e.what();
            return e.status();
        }
    }
};

// The records' bytes of the recipe's file, first..last.
std::string records(const ResultFileRecipe &r, long long first, long long last) {
    std::string bytes;
    for (long long i = first; i <= last; ++i)
        bytes += result_file_record(r, i);
    return bytes;
}

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
            CopyOptions o;
            o.file = path("src.res"), o.out = path("cut.res"), o.section = {c.from, c.to};
            o.notes_given = c.notes != nullptr, o.notes = c.notes ? c.notes : "";
            ASSERT_EQ(run([&] { return res_cut(o); }), RES_OK);
            ResultFileRecipe moved = recipe;
            moved.year = c.start[0], moved.month = c.start[1], moved.day = c.start[2];
            moved.hour = c.start[3], moved.minute = c.start[4], moved.second = c.start[5];
            ResultHeader h = result_file_header(moved);
            if (c.notes && *c.notes) memcpy(h.notes, u"Zweite S\u00e4ule", 2 * 12);
            EXPECT_EQ(root.read("cut.res"), header_bytes(h) + records(recipe, c.first, c.last));
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
        CopyOptions o;
        o.file = path("src.res"), o.out = path("fixed.res");
        ASSERT_EQ(run([&] { return res_repair(o); }), RES_OK);
        EXPECT_EQ(root.read("fixed.res"), source.substr(0, RESULT_HEADER_SIZE + 10 * RECORD));
        EXPECT_EQ(root.read("src.res"), source);
        FILE *null = fopen("/dev/null", "w");
        EXPECT_EQ(res_check({path("src.res"), path("fixed.res")}, null, null),
                  torn ? RES_ATTENTION : RES_OK);
        fclose(null);
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
    const struct {
        const char *name;
        std::string bytes;
        const char *why;
    } files[] = {
        {"empty", "", "too short for a result header (0 of 1320 bytes)"},
        {"cut header", good.substr(0, 1319), "too short for a result header (1319 of 1320"},
        {"zeros", std::string(4000, '\0'), "not a result file"},
        {"foreign", "\x89PNG\r\n" + std::string(2000, 'x'), "not a result file"},
        {"header size", patched(60, std::string("\x00\x04\x00\x00", 4)),
         "header size field is 1024, not 1320"},
        {"no points", patched(196, std::string(4, '\0')), "points field is 0, outside 1..800"},
        {"too many points", patched(196, std::string("\x21\x03\x00\x00", 4)),
         "points field is 801"},
        {"negative points", patched(196, "\xff\xff\xff\xff"), "points field is -1"},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        root.write("bad.res", f.bytes);
        const std::string bad = path("bad.res"), out = path("new.out");
        FILE *null = fopen("/dev/null", "w");
        char *err_text = nullptr;
        size_t err_size = 0;
        FILE *err = open_memstream(&err_text, &err_size);
        const std::function<int()> commands[] = {
            [&] { return res_info({bad}, true, null, err); },
            [&] { return res_check({bad}, null, err); },
            [&] {
                return res_csv({bad, {}, "dBm", "long"}, null);
            },
            [&] {
                return res_events({bad, -50, true, 20, false, 0, "dBm"}, null);
            },
            [&] {
                return res_stats({bad, {}, -60, "dBm", out}, null);
            },
            [&] {
                return res_png({bad, out, {}, 400, 300, -90, 0, "dBm"});
            },
            [&] {
                return res_cut({bad, out, {"#0", "#1"}, false, ""});
            },
            [&] {
                return res_repair({bad, out, {}, false, ""});
            },
        };
        for (const auto &command : commands) {
            std::string line;
            EXPECT_EQ(run(command, &line), RES_BAD_FILE);
            fflush(err);
            if (line.empty()) line = std::string(err_text, err_size), rewind(err);
            EXPECT_EQ(line.rfind(bad + ": ", 0), 0u) << line;
            EXPECT_NE(line.find(f.why), std::string::npos) << line;
            EXPECT_LE(std::count(line.begin(), line.end(), '\n'), 1) << line;
            EXPECT_EQ(root.read("bad.res"), f.bytes);
            EXPECT_FALSE(root.exists("new.out"));
        }
        fclose(err), fclose(null), free(err_text);
    }
}

// An output named like the source, or reached through another name, is refused before a byte
// is written.
TEST_F(ResFiles, NeverWritesIntoTheSource) {
    result_file_write(path("src.res"), recipe);
    ASSERT_EQ(symlink(path("src.res").c_str(), path("alias.res").c_str()), 0);
    const std::string source = root.read("src.res");
    for (const char *name : {"src.res", "alias.res"}) {
        SCOPED_TRACE(name);
        const std::string src = path("src.res"), out = path(name);
        FILE *null = fopen("/dev/null", "w");
        const std::function<int()> commands[] = {
            [&] {
                return res_cut({src, out, {"#0", "#1"}, false, ""});
            },
            [&] {
                return res_repair({src, out, {}, false, ""});
            },
            [&] {
                return res_png({src, out, {}, 400, 300, -90, 0, "dBm"});
            },
            [&] {
                return res_stats({src, {}, -60, "dBm", out}, null);
            },
        };
        for (const auto &command : commands) {
            EXPECT_EQ(run(command), RES_USAGE);
            EXPECT_EQ(root.read("src.res"), source);
        }
        fclose(null);
    }
}

} // namespace
