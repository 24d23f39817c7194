// The save-section dialog run headless from "DLG2" on a loaded file: the section's times and
// when Save may run, the refusals before anything is written (the file name, the free space with
// its reserves), the new file's header and records, the stop request during a long copy, and
// failing writes, which must leave a new file of whole records and the source untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <acqsim.h>
#include <strsafe.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "lang/lang.h"
#include "module/entry.h"
#include "module/state.h"
#include "reports/save_section.h"
#include "reports/text_viewer.h"
#include "support/module_ui.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

using Texts = std::vector<std::u16string>;
using Records = std::vector<long long>;
constexpr size_t RECORD = 600; // 300 points
constexpr size_t HEADER = sizeof(ResultHeader);

// What the host answers, and what it was asked.
struct Host {
    std::u16string path;     // entered for HOST_EDIT_PATH
    INT_PTR kind = 2;        // its answer: 0 cancelled, 1 internal memory, 2 USB stick
    std::u16string notes;    // typed for HOST_EDIT_TEXT
    int stop_at_poll = 0;    // answers "stop" at this poll (1 the first); 0 never
    const char *golden = ""; // compared with the screen at the first poll
    UiDriver *driver = nullptr;
    int polls = 0;
    std::u16string title;
    Texts boxes; // "caption|text|flags"
} host;

INT_PTR CALLBACK scripted_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    switch (code) {
    case HOST_SET_TITLE: host.title = (const WCHAR *)a; return 0;
    case HOST_EDIT_PATH:
        if (host.kind) StringCchCopyW((WCHAR *)b, size_t(c) + 1, host.path.c_str());
        return host.kind;
    case HOST_EDIT_TEXT: StringCchCopyW((WCHAR *)b, size_t(c) + 1, host.notes.c_str()); return 1;
    case HOST_MESSAGE_BOX: {
        std::string flags = std::to_string(c);
        host.boxes.push_back(std::u16string((const WCHAR *)a) + u"|" + (const WCHAR *)b + u"|" +
                             std::u16string(flags.begin(), flags.end()));
        return 1;
    }
    case HOST_STOP_REQUESTED:
        if (++host.polls == 1 && *host.golden) ui::expect_golden(host.golden).run(*host.driver);
        return host.polls == host.stop_at_poll;
    default: return 0;
    }
}

// Levels that differ in every record and point, so that a shifted record shows.
INT16 level(long long record, int point) {
    return INT16(-9000 + record * 7 + point);
}

Records range(long long first, long long last) {
    Records out;
    for (long long i = first; i <= last; i++)
        out.push_back(i);
    return out;
}

class SaveSection : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;
    ResultFileRecipe recipe;
    std::string source; // the loaded file's bytes

    void SetUp() override {
        fresh_host();
        module_ui_register_classes();
        wfal.dialog_brush = CreateSolidBrush(RGB(11, 25, 255));
        wfal.host = scripted_host, wfal.help_mask = HELP_SAVE_SECTION, wfal.memory_reserve = 0;
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
    Host &fresh_host() {
        host = Host{};
        host.driver = &ui;
        return host;
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
        size_t count = steps.size();
        steps.push_back(ui::tap(ID_ESC));
        ui.run(
            [] { return DialogBoxParamW(wfal.instance, u"DLG2", nullptr, section_dialog_proc, 0); },
            std::move(steps));
        EXPECT_EQ(ui.steps_done(), count + 1);
    }
    // Sets the section with the marker keys and saves with the host entering `path`.
    void save(const std::u16string &path, int first, int last) {
        host.path = path;
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
        {0, SECTION_ID_END_AT_MARKER, u"12/31/2019-23:59:58", u"12/31/2019-23:59:58", false},
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
    run(steps);
    EXPECT_EQ(host.title, u"Section");
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
    const std::u16string space = u"Save section|Not enough space.|16";
    const ULONGLONG fit = 3120 + 16384;
    const struct {
        const char *what;
        std::u16string path;
        INT_PTR kind;
        ULONGLONG volume; // simulated capacity of the path's volume; 0 none
        Texts boxes;
    } cases[] = {
        {"cancelled", u"\\USB\\a.res", 0, 0, {}},
        {"same name elsewhere",
         u"\\USB\\line.res",
         2,
         0,
         {u"Save section|Cannot save section into the original file.|16"}},
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
        fresh_host().kind = c.kind;
        const WCHAR *volume = c.path.substr(0, 4) == u"\\USB" ? u"\\USB" : u"\\Internal";
        wl_fs_set_volume_size(volume, c.volume);
        save(c.path, 0, 2);
        wl_fs_set_volume_size(volume, 0);
        EXPECT_EQ(host.boxes, c.boxes);
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
    host.notes = u"Line 7, after the repair";
    host.path = u"\\USB\\part.res";
    ULONGLONG before = 0;
    run({ui::check([] { wfal.section_start = 4, wfal.section_end = 6; }), ui::tap(SECTION_ID_NOTES),
         ui::check([&] { before = wl_clock_ms(); }), ui::tap(SECTION_ID_SAVE), ui::check([&] {
             EXPECT_GE(wl_clock_ms() - before, 1000u) << "the notice was up for less than 1 s";
             EXPECT_FALSE(ui_find(SECTION_ID_NOTICE).visible);
         })});
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(host.polls, 0); // no record index of 4..6 is a multiple of 300
    expect_records("USB/part.res", {4, 5, 6});
    ResultHeader h;
    memcpy(&h, root.read("USB/part.res").data(), HEADER);
    EXPECT_EQ(std::u16string(h.date_text), u"01/01/2020-00:00:01");
    EXPECT_EQ((std::vector<int>{h.start_year, h.start_month, h.start_day, h.start_hour,
                                h.start_minute, h.start_second}),
              (std::vector<int>{2020, 1, 1, 0, 0, 1}));
    int sum = 0;
    for (size_t i = 0; i < offsetof(ResultHeader, checksum); i++)
        sum += reinterpret_cast<const BYTE *>(&h)[i];
    EXPECT_EQ(h.checksum, BYTE(sum));
    EXPECT_EQ(std::u16string(h.notes), host.notes);
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
// stopped, it copies every record.
TEST_F(SaveSection, StopRequestDuringACopy) {
    load(1000);
    host.stop_at_poll = 2;
    host.golden = "section_saving";
    save(u"\\USB\\long.res", 10, 999);
    EXPECT_EQ(host.polls, 2);
    EXPECT_TRUE(host.boxes.empty());
    expect_records("USB/long.res", range(10, 599));

    fresh_host();
    save(u"\\USB\\long.res", 10, 999);
    EXPECT_EQ(host.polls, 3);
    expect_records("USB/long.res", range(10, 999));

    // Record 650 torn (the header is write 1): the rewrite of 10..649 is asked at 300 and 600
    // again, and stopped at the second, it keeps 10..599 and reports nothing.
    fresh_host().stop_at_poll = 4;
    wl_fault_short_write(650 - 10 + 2, 100);
    save(u"\\USB\\long.res", 10, 999);
    wl_fault_reset();
    EXPECT_EQ(host.polls, 4);
    EXPECT_TRUE(host.boxes.empty());
    expect_records("USB/long.res", range(10, 599));
}

// Failing opens, reads and writes of the copy of records 0..9: "File write error." for a write,
// nothing for the source, and whatever failed, the new file is left with its header and whole
// records of the section in order, or with nothing at all.
TEST_F(SaveSection, FailuresLeaveWholeRecords) {
    const struct {
        const char *what;
        WlFaultOp op;
        int nth; // counted from the save; 0 none
        bool persistent;
        int short_nth; // a write that stores only its first 100 bytes; 0 none
        bool box, exists;
        Records records; // in the new file, when it has a header
    } cases[] = {
        {"source unreadable", WL_FAULT_OPEN, 1, false, 0, false, false, {}},
        {"new file not created", WL_FAULT_OPEN, 2, false, 0, true, false, {}},
        {"header not written", WL_FAULT_WRITE, 1, false, 0, true, true, {}},
        {"fifth record not written", WL_FAULT_WRITE, 6, false, 0, true, true, range(0, 3)},
        {"no write from the fifth record", WL_FAULT_WRITE, 6, true, 0, true, true, range(0, 3)},
        {"fifth record torn", WL_FAULT_WRITE, 0, false, 6, true, true, range(0, 3)},
        {"header torn", WL_FAULT_WRITE, 0, false, 1, true, true, {}},
        {"torn, and the rewrite fails", WL_FAULT_WRITE, 7, true, 6, true, true, {}},
        {"fifth record unreadable",
         WL_FAULT_READ,
         5,
         false,
         0,
         false,
         true,
         {0, 1, 2, 3, 5, 6, 7, 8, 9}},
    };
    load(10);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(root.dir() + "/USB/cut.res");
        fresh_host().path = u"\\USB\\cut.res";
        run({ui::check([&] {
                 wl_fault_reset();
                 if (c.nth) wl_fault_fail(c.op, c.nth, c.persistent);
                 if (c.short_nth) wl_fault_short_write(c.short_nth, 100);
             }),
             ui::tap(SECTION_ID_SAVE), ui::check([] { wl_fault_reset(); })});
        EXPECT_EQ(host.boxes, c.box ? Texts{u"Save section|File write error.|16"} : Texts{});
        EXPECT_EQ(root.exists("USB/cut.res"), c.exists);
        std::string bytes = c.exists ? root.read("USB/cut.res") : "";
        if (bytes.size() >= HEADER)
            expect_records("USB/cut.res", c.records);
        else
            EXPECT_EQ(bytes.size(), 0u) << "a torn header";
        EXPECT_EQ(root.read("line.res"), source);
    }
}

// From the viewer: the set-up report's "Section" opens the dialog on the section the loaded file
// set up, with the time cursor moved three records down in the main dialog.
TEST(SaveSectionFromViewer, SavesFromTheCursorToTheEnd) {
    acqsim_reset();
    TempDeviceRoot root;
    UiDriver ui;
    host = Host{};
    host.driver = &ui;
    host.path = u"\\cut.res";
    ResultFileRecipe recipe;
    recipe.records = 20;
    recipe.level = level;
    result_file_write(root.dir() + "/view.res", recipe);
    const std::string source = root.read("view.res");
    auto times = [](const char16_t *start, const char16_t *end) {
        return ui::check([=] {
            EXPECT_EQ(ui_find(SECTION_ID_START_TIME).text, start);
            EXPECT_EQ(ui_find(SECTION_ID_END_TIME).text, end);
        });
    };
    std::vector<UiStep> steps(3, ui::tap(ID_LINE_DOWN));
    steps.insert(steps.end(),
                 {ui::tap(ID_SETUP), ui::tap(TEXT_ID_SECTION),
                  times(u"01/02/2020-10:00:00", u"01/02/2020-10:00:19"),
                  ui::tap(SECTION_ID_START_AT_MARKER),
                  times(u"01/02/2020-10:00:03", u"01/02/2020-10:00:19"), ui::tap(SECTION_ID_SAVE),
                  ui::tap(ID_ESC), ui::tap(ID_ESC), ui::tap(ID_ESC)});
    ui.run(
        [] {
            return INT_PTR(wfalstart(nullptr, scripted_host, 0, u"\\view.res", 0, 1, u"Ann",
                                     u"\\settings.dat", u"\\none.txt", 0));
        },
        steps);
    EXPECT_EQ(ui.steps_done(), steps.size());
    const std::string copy = root.read("cut.res");
    ASSERT_EQ(copy.size(), HEADER + 17 * RECORD);
    EXPECT_TRUE(copy.compare(HEADER, std::string::npos, source, HEADER + 3 * RECORD) == 0);
    EXPECT_EQ(root.read("view.res"), source);
    EXPECT_TRUE(host.boxes.empty());
    wl_user_shutdown(), wl_gdi_shutdown();
}

// The folder asked for free space (a file in the root asks for the root), and the space a
// section needs, also beyond 32 bits.
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
    EXPECT_EQ(section_required_bytes(0, 2, 300), 3120);
    EXPECT_EQ(section_required_bytes(0, 2591999, 800), 4147201320LL);
}

} // namespace
