// The save-section dialog run headless from "DLG2" on a loaded file: the section's times and
// when Save may run, the refusals before anything is written (the file name, the free space with
// its reserves), the new file's header and records, the stop request during a long copy, and
// failing writes, which must leave a new file of whole records and the source untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include <acqsim.h>
#include <strsafe.h>
#include <winlayer.h>

#include "lang/lang.h"
#include "module/entry.h"
#include "reports/save_section.h"
#include "reports/text_viewer.h"
#include "support/fake_host.h"
#include "support/fault_loop.h"
#include "support/module_ui.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "test/main_dialog.h"

namespace {

using Records = std::vector<long long>;
constexpr size_t RECORD = 600; // 300 points
constexpr size_t HEADER = sizeof(ResultHeader);

// Levels that differ in every record and point, so that a shifted record shows.
INT16 level(long long record, int point) {
    return INT16(-9000 + record * 7 + point);
}

Records range(long long first, long long last) {
    Records out(size_t(last - first + 1));
    std::iota(out.begin(), out.end(), first);
    return out;
}

class SaveSection : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;
    ResultFileRecipe recipe;
    std::string source; // the loaded file's bytes

    void SetUp() override {
        fake_host_reset();
        module_ui_register_classes();
        wfal.dialog_brush = CreateSolidBrush(RGB(11, 25, 255));
        wfal.host = fake_host_service, wfal.help_mask = HELP_SAVE_SECTION, wfal.memory_reserve = 0;
        wfal.language_path[0] = 0, wfal.language_number = 1;
        lang_load();
        recipe.level = level;
    }
    void TearDown() override {
        wl_fault_reset();
        for (const WCHAR *volume : {u"\\Internal", u"\\USB"})
            wl_fs_set_volume_size(volume, 0);
        lang_free(), ui_release_fonts(), DeleteObject(wfal.dialog_brush);
        wl_user_shutdown(), wl_gdi_shutdown();
    }
    // The file loaded as the viewer leaves it: the whole file as the section, the cursor at 0;
    // the volumes' folders empty.
    void load(long long records) {
        for (const char *folder : {"Internal", "USB"}) {
            std::filesystem::remove_all(root.dir() + "/" + folder);
            std::filesystem::create_directories(root.dir() + "/" + folder);
        }
        recipe.records = records;
        result_file_write(root.dir() + "/line.res", recipe);
        source = root.read("line.res");
        StringCchCopyW(wfal.result_path, PATH_CHARS, u"\\line.res");
        ASSERT_TRUE(header_check_file(wfal.result_path, &wfal.header, &wfal.file_size));
        wfal.view = ViewState{};
        wfal.view.points = recipe.points, wfal.view.record_size = 2 * recipe.points;
        wfal.view.data_offset = RESULT_HEADER_SIZE;
        wfal.start_seconds = calendar_set(recipe.year, recipe.month, recipe.day, recipe.hour,
                                          recipe.minute, recipe.second);
        wfal.section_header = wfal.header;
        wfal.section_start = 0, wfal.section_end = records > 0 ? int(records - 1) : 0;
    }
    void run(std::vector<UiStep> steps) {
        steps.push_back(ui::tap(ID_ESC));
        ui.run(
            [] { return DialogBoxParamW(wfal.instance, u"DLG2", nullptr, section_dialog_proc, 0); },
            std::move(steps));
    }
    // Sets the section with the marker keys and saves with the host entering `path`.
    void save(const std::u16string &path, int first, int last, int volume = 0) {
        fake_host.answer_path(path, volume);
        run({ui::check([=] { wfal.view.cursor_record = first; }),
             ui::tap(SECTION_ID_START_AT_MARKER),
             ui::check([=] { wfal.view.cursor_record = last; }), ui::tap(SECTION_ID_END_AT_MARKER),
             ui::tap(SECTION_ID_SAVE)});
    }
    // The new file must be the header and exactly these records of the source, and the source
    // untouched.
    void expect_records(const std::string &name, const Records &records) {
        std::string bytes = root.read(name);
        ASSERT_EQ(bytes.size(), HEADER + records.size() * RECORD) << name;
        EXPECT_EQ(0, memcmp(bytes.data(), &wfal.section_header, HEADER)) << name;
        for (size_t k = 0; k < records.size(); k++)
            EXPECT_TRUE(bytes.compare(HEADER + k * RECORD, RECORD, source,
                                      HEADER + size_t(records[k]) * RECORD, RECORD) == 0)
                << name << " holds another record than " << records[k] << " at " << k;
        EXPECT_EQ(root.read("line.res"), source);
    }
};

// The times of the section's ends, and Save only for a section of at least two records, as the
// marker keys set them.
TEST_F(SaveSection, TimesAndSaveKey) {
    recipe.year = 2019, recipe.month = 12, recipe.day = 31, recipe.hour = 23, recipe.minute = 59;
    recipe.second = 58;
    load(5);
    const struct {
        int cursor, key;
        std::u16string start, end;
        bool save;
    } cases[] = {
        {0, 0, u"12/31/2019-23:59:58", u"01/01/2020-00:00:02", true},
        {4, SECTION_ID_START_AT_MARKER, u"01/01/2020-00:00:02", u"01/01/2020-00:00:02", false},
        {1, SECTION_ID_END_AT_MARKER, u"01/01/2020-00:00:02", u"12/31/2019-23:59:59", false},
        {0, SECTION_ID_START_AT_MARKER, u"12/31/2019-23:59:58", u"12/31/2019-23:59:59", true},
    };
    std::vector<UiStep> steps;
    for (const auto &c : cases) {
        steps.push_back(ui::check([&] { wfal.view.cursor_record = c.cursor; }));
        if (c.key) steps.push_back(ui::tap(c.key));
        steps.push_back(ui::check([&] {
            SCOPED_TRACE(int(&c - cases));
            EXPECT_EQ(ui_find(SECTION_ID_START_TIME).text, c.start);
            EXPECT_EQ(ui_find(SECTION_ID_END_TIME).text, c.end);
            EXPECT_EQ(ui_find(SECTION_ID_SAVE).enabled, c.save);
            EXPECT_FALSE(ui_find(SECTION_ID_NOTICE).visible);
            EXPECT_TRUE(ui_find(ID_HELP).visible);
        }));
    }
    steps.insert(steps.end(), {ui::tap(SECTION_ID_PRINT_SCREEN), ui::tap(ID_HELP)});
    run(steps);
    EXPECT_EQ(fake_host.log, (Lines{"title \"Section\"", "print-screen", "help 4"}));
    // Without its help bit the dialog has no "?"; a single-record file can't be saved.
    wfal.help_mask = HELP_TEST_SETUP | HELP_DISPLAY_SETUP;
    load(1);
    run({ui::check([] {
        EXPECT_FALSE(ui_find(ID_HELP).hwnd);
        EXPECT_FALSE(ui_find(SECTION_ID_SAVE).enabled);
    })});
}

// Three records of 300 points need 1320 + 3 x 600 bytes and 16384 spare, and in internal memory
// the reserve besides; a name equal to the loaded file's is refused in any folder. A refused
// save writes nothing.
TEST_F(SaveSection, RefusedBeforeWriting) {
    const std::string box = "message-box 16 \"Save section\" \"",
                      queued = "\" -> 1 (no answer queued)";
    const std::string space = box + "Not enough space." + queued;
    const std::string same = box + "Cannot save section into the original file." + queued;
    const ULONGLONG fit = 3120 + 16384;
    const struct {
        const char *what;
        std::u16string path;
        int kind;         // the volume answered; 0 cancelled
        ULONGLONG volume; // simulated capacity of the path's volume; 0 none
        Lines boxes;
    } cases[] = {
        {"cancelled", u"\\USB\\a.res", 0, 0, {}},
        {"same name elsewhere", u"\\USB\\line.res", 2, 0, {same}},
        {"same name, other case", u"\\USB\\LINE.res", 2, 0, {}},
        {"stick just big enough", u"\\USB\\a.res", 2, fit, {}},
        {"stick a byte short", u"\\USB\\a.res", 2, fit - 1, {space}},
        {"memory just big enough", u"\\Internal\\a.res", 1, fit + 5000, {}},
        {"memory a byte short", u"\\Internal\\a.res", 1, fit + 4999, {space}},
        {"the reserve is memory's only", u"\\Internal\\a.res", 2, fit, {}},
        {"no such folder", u"\\Nowhere\\a.res", 2, 0, {space}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        load(3);
        wfal.memory_reserve = 5000;
        fake_host_reset();
        if (!c.kind) fake_host.cancel_path();
        const WCHAR *volume = c.path.substr(0, 4) == u"\\USB" ? u"\\USB" : u"\\Internal";
        wl_fs_set_volume_size(volume, c.volume);
        save(c.path, 0, 2, c.kind);
        wl_fs_set_volume_size(volume, 0);
        EXPECT_EQ(fake_host.lines("message-box"), c.boxes);
        std::string name(c.path.begin() + 1, c.path.end()); // "USB\a.res" as "USB/a.res"
        std::replace(name.begin(), name.end(), '\\', '/');
        const bool written = c.kind != 0 && c.boxes.empty();
        EXPECT_EQ(root.exists(name), written);
        if (written) expect_records(name, {0, 1, 2});
        EXPECT_EQ(root.read("line.res"), source);
    }
}

// The section across midnight with notes typed for it: the new header has the first record's
// time, its own date text and checksum and the notes; everything else is the loaded file's.
TEST_F(SaveSection, NewFileHeaderAndRecords) {
    recipe.year = 2019, recipe.month = 12, recipe.day = 31, recipe.hour = 23, recipe.minute = 59;
    recipe.second = 57;
    load(8);
    const ResultHeader loaded = wfal.header;
    const std::u16string notes = u"Line 7, after the repair";
    fake_host.answer_text(notes);
    fake_host.answer_path(u"\\USB\\part.res");
    ULONGLONG before = 0;
    run({ui::check([] { wfal.section_start = 4, wfal.section_end = 6; }), ui::tap(SECTION_ID_NOTES),
         ui::check([&] { before = wl_clock_ms(); }), ui::tap(SECTION_ID_SAVE), ui::check([&] {
             EXPECT_GE(wl_clock_ms() - before, 1000u) << "the notice was up for less than 1 s";
             EXPECT_FALSE(ui_find(SECTION_ID_NOTICE).visible);
         })});
    EXPECT_TRUE(fake_host.lines("message-box").empty());
    EXPECT_EQ(fake_host.polls, 0); // no record index of 4..6 is a multiple of 300
    expect_records("USB/part.res", {4, 5, 6});
    ResultHeader h;
    memcpy(&h, root.read("USB/part.res").data(), HEADER);
    EXPECT_EQ(std::u16string(h.date_text), u"01/01/2020-00:00:01");
    EXPECT_EQ((std::vector<int>{h.start_year, h.start_month, h.start_day, h.start_hour,
                                h.start_minute, h.start_second}),
              (std::vector<int>{2020, 1, 1, 0, 0, 1}));
    EXPECT_TRUE(header_accepted(h)) << "sealed again";
    EXPECT_EQ(std::u16string(h.notes), notes);
    // Every other byte as loaded: from the reserved bytes to the start time, and from the range
    // to the notes.
    const char *a = reinterpret_cast<const char *>(&h),
               *b = reinterpret_cast<const char *>(&loaded);
    EXPECT_EQ(std::string(a + 53, a + 160), std::string(b + 53, b + 160));
    EXPECT_EQ(std::string(a + 172, a + 296), std::string(b + 172, b + 296));
    EXPECT_EQ(std::u16string(wfal.header.notes), u"") << "the notes are the new file's only";
}

// The stop request is asked at records 300, 600 and 900 of a section from record 10. Stopped at
// the second, the copy keeps records 10..599 with the notice up (the stored screen); not
// stopped, it copies every record. With record 650 torn (the header is write 1), the rewrite of
// 10..649 is asked at 300 and 600 again, and stopped at the second, it keeps 10..599 and reports
// nothing.
TEST_F(SaveSection, StopRequestDuringACopy) {
    load(1000);
    const struct {
        int stop_at, torn_write, polls, last;
    } cases[] = {{2, 0, 2, 599}, {0, 0, 3, 999}, {4, 650 - 10 + 2, 4, 599}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(&c - cases));
        fake_host_reset();
        fake_host.stop_at_poll = c.stop_at;
        if (&c == cases)
            fake_host.on_call = [this](int code) {
                if (code == HOST_STOP_REQUESTED && fake_host.polls == 0)
                    ui::expect_golden("section_saving").run(ui);
            };
        if (c.torn_write) wl_fault_short_write(c.torn_write, 100);
        save(u"\\USB\\long.res", 10, 999);
        wl_fault_reset();
        EXPECT_EQ(fake_host.polls, c.polls);
        EXPECT_TRUE(fake_host.lines("message-box").empty());
        expect_records("USB/long.res", range(10, c.last));
    }
}

// Whatever call of the copy of records 0..9 fails, the source stays and the new file is left
// with its header and whole records of the section in order, or with nothing at all: a failing
// write ends it after the records before it with "File write error.", an unreadable record is
// left out silently, and an unreadable source writes nothing.
TEST_F(SaveSection, FailuresLeaveWholeRecords) {
    load(10);
    const std::string write_error =
        "message-box 16 \"Save section\" \"File write error.\" -> 1 (no answer queued)";
    fault_loop(
        [&](const std::function<void()> &arm) {
            std::filesystem::remove(root.dir() + "/USB/cut.res");
            fake_host_reset();
            fake_host.answer_path(u"\\USB\\cut.res");
            run({ui::check(arm), ui::tap(SECTION_ID_SAVE)});
        },
        [&](const Fault &f) {
            const bool writing = f.op == WL_FAULT_WRITE || f.op == WL_FAULT_FLUSH;
            const bool no_source = f.op == WL_FAULT_OPEN && f.nth == 1;
            const std::string bytes = root.exists("USB/cut.res") ? root.read("USB/cut.res") : "";
            EXPECT_EQ(root.exists("USB/cut.res"), !(f.op == WL_FAULT_OPEN && f.nth));
            EXPECT_EQ(fake_host.lines("message-box"),
                      Lines(f.nth && !no_source && f.op != WL_FAULT_READ, write_error));
            Records want = range(0, 9);
            if (f.op == WL_FAULT_READ) want.erase(want.begin() + (f.nth - 1));
            if (writing || (f.op == WL_FAULT_READ && f.persistent))
                want.resize(size_t(std::max(0, f.nth - (writing ? 2 : 1))));
            if (f.op == WL_FAULT_WRITE && f.nth == 1 && !f.keep) {
                EXPECT_EQ(bytes.size(), 0u) << "a torn header";
            } else if (root.exists("USB/cut.res")) {
                expect_records("USB/cut.res", want);
            }
            EXPECT_EQ(root.read("line.res"), source);
        });
}

// The folder asked for free space (a file in the root asks for the root), and the space a
// section needs (from its first record, not from 0), also beyond 32 bits.
TEST(SaveSectionHelpers, FolderAndRequiredSpace) {
    const struct {
        const WCHAR *path;
        BOOL has;
        std::u16string folder;
    } folders[] = {
        {u"\\USB\\a\\b.res", TRUE, u"\\USB\\a"}, {u"\\b.res", TRUE, u"\\"}, {u"b.res", FALSE, u""}};
    for (const auto &f : folders) {
        WCHAR out[PATH_CHARS] = {};
        EXPECT_EQ(section_folder(f.path, out, PATH_CHARS), f.has) << int(&f - folders);
        EXPECT_EQ(std::u16string(out), f.folder);
    }
    EXPECT_EQ(section_required_bytes(4, 6, 300), 3120);
    EXPECT_EQ(section_required_bytes(0, 2591999, 800), 4147201320LL);
}

} // namespace
