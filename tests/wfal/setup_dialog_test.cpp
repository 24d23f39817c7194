// The test set-up dialog as wfalstart runs it in test mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <strsafe.h>

#include "support/report_session.h"
#include "test/setup_dialog.h"
#include "ui/controls.h"

namespace {

constexpr ULONGLONG MB = 1024 * 1024;
const WCHAR *const VOLUMES[] = {u"\\Internal", u"\\USB", u"\\line"};

class SetupDialog : public ReportSession {
protected:
    void SetUp() override {
        ReportSession::SetUp();
        for (const char *folder : {"Internal", "USB", "line"})
            std::filesystem::create_directories(root.dir() + "/" + folder);
    }
    void TearDown() override {
        for (const WCHAR *volume : VOLUMES)
            wl_fs_set_volume_size(volume, 0);
        ReportSession::TearDown();
    }
    // A test-mode session from the defaults; the steps must end it.
    void run(std::vector<UiStep> steps) {
        root.write("settings.dat", "");
        EXPECT_EQ(view(std::move(steps), 1), 0);
    }
};

// The range is tapped, then the host enters a name twice: first accepted into internal memory,
// then with the case's answer (1 memory, 2 USB stick, 0 cancelled). The field then shows
// "NAME  (Memory or USB stick, Max test time: TIME)", or nothing when the time is "". Records:
// 392 bytes at 4 kHz (key 201), 600 at 3 MHz (206), 848 at 212 MHz (208, the wideband option).
TEST_F(SetupDialog, DestinationAndLongestTest) {
    // what, range key, path, answer, volume size; max_file_size, name and time shown
    const std::tuple<const char *, int, const WCHAR *, int, ULONGLONG, LONGLONG, const char16_t *,
                     std::u16string>
        cases[] = {
            {"memory: 10 MB - 16384 - 2 MB reserve, 21357 records, 355 minutes", 201,
             u"\\Internal\\line.res", 1, 10 * MB, 8372224, u"line", u"5 hours"},
            {"stick: no reserve, 26707 records, 445 minutes", 201, u"\\USB\\line.res", 2, 10 * MB,
             10469376, u"line", u"7 hours"},
            {"30 days: 300 x 5184000 + 1320 bytes fit, 2592002 records, 43200 minutes", 206,
             u"\\USB\\a.res", 2, 4096 * MB, 1555201320, u"a", u"30 days"},
            {"size limit: 424 points, held to 0x7FFF0000, 2532332 records, 42205 minutes", 208,
             u"\\USB\\a.res", 2, 4096 * MB, 0x7FFF0000, u"a", u"29 days"},
            {"99 records", 201, u"\\USB\\a.res", 2, 16384 + 99 * 392, 99 * 392, u"a", u"0 minutes"},
            {"100 records", 201, u"\\USB\\a.res", 2, 16384 + 100 * 392, 100 * 392, u"a",
             u"1 minutes"},
            {"below the spare bytes", 201, u"\\USB\\a.res", 2, 16000, 16000 - 16384, u"a",
             u"0 minutes"},
            {"no such folder", 201, u"\\Nowhere\\a.res", 2, 10 * MB, 0, u"a", u"0 minutes"},
            // Nothing to show and nothing to start; no reserve either.
            {"entry cancelled", 201, u"\\USB\\a.res", 0, 10 * MB, 10469376, u"", u""},
            {"empty name", 201, u"\\USB\\", 2, 10 * MB, 10469376, u"", u""}};
    memory_reserve = int(2 * MB);
    for (const auto &[what, range_id, path, answer, volume_bytes, max_file_size, name, time] :
         cases) {
        SCOPED_TRACE(what);
        acqsim_set_options(range_id == 208 ? ACQSIM_OPTION_WIDEBAND : 0);
        for (const WCHAR *volume : VOLUMES)
            wl_fs_set_volume_size(volume, volume_bytes);
        fake_host_reset();
        fake_host.answer_path(path, 1);
        std::u16string shown, field_when_asked = u"-";
        fake_host.on_call = [&](int code) {
            if (code == HOST_EDIT_PATH) field_when_asked = ui_find(SETUP_ID_DESTINATION).text;
        };
        bool start = false;
        LONGLONG limit = -1;
        run({ui::tap(range_id), ui::tap(SETUP_ID_NAME), ui::check([&, a = answer] {
                 a ? fake_host.answer_path(path, a) : fake_host.cancel_path();
             }),
             ui::tap(SETUP_ID_NAME), ui::check([&] {
                 shown = ui_find(SETUP_ID_DESTINATION).text;
                 start = ui_find(SETUP_ID_START).enabled;
                 limit = wfal.max_file_size;
             }),
             ui::tap(ID_ESC)});
        const std::u16string where = answer == 1 ? u"Memory" : u"USB stick";
        const std::u16string text = name + (u"  (" + where) + u", Max test time: " + time + u")";
        EXPECT_EQ(shown, time.empty() ? u"" : text);
        EXPECT_EQ(start, !time.empty() && time.find(u"0 ") != 0);
        EXPECT_EQ(limit, max_file_size);
        // The field is emptied before the host is asked.
        EXPECT_EQ(field_when_asked, u"");
        EXPECT_EQ(fake_host.lines("edit-path \"Result name\"").size(), 2u);
    }
}

TEST_F(SetupDialog, TimeUnitsAndPathSplit) {
    const std::pair<int, std::u16string> times[] = {
        {179, u"179 minutes)"}, {180, u"3 hours)"}, {4319, u"71 hours)"}, {4320, u"3 days)"}};
    for (const auto &[minutes, text] : times) {
        WCHAR out[80];
        setup_time_text(minutes, out, 80);
        EXPECT_EQ(std::u16string(out), text) << minutes;
    }
    const std::u16string paths[][3] = {{u"\\USB\\a.b.res", u"\\USB", u"a.b"},
                                       {u"\\USB\\d.x\\name", u"\\USB\\d.x", u"name"},
                                       {u"\\t.res", u"", u"t"}};
    for (const auto &p : paths) {
        WCHAR directory[MAX_PATH], name[MAX_PATH];
        setup_split_path(p[0].c_str(), directory, name);
        EXPECT_EQ(std::u16string(directory) + u"|" + name, p[1] + u"|" + p[2]);
    }
}

// 150 Ohm and the probe at 3 MHz; 20 kHz leaves only 600 Ohm and the inputs up to
// Unterminated; back at 3 MHz, 600 Ohm is not allowed and the first impedance is taken.
TEST_F(SetupDialog, RangeRestrictsImpedanceAndInput) {
    auto expect = [](INT32 range, INT32 impedance, INT32 input, const std::string &want) {
        return ui::check([=] {
            const ResultHeader &h = wfal.header;
            EXPECT_EQ(std::tie(h.range, h.impedance, h.input), std::tie(range, impedance, input));
            EXPECT_EQ(looks(want), want);
        });
    };
    run({ui::check([] { // no name chosen yet, so nothing to start
             EXPECT_TRUE(ui_find(SETUP_ID_DESTINATION).text.empty() &&
                         !ui_find(SETUP_ID_START).enabled);
         }),
         ui::tap(304), ui::tap(403), ui::tap(503),
         expect(3000000, 150, 2, "206G 304G 305gx 403G 501g 503G"), ui::tap(202),
         expect(20000, 600, 0, "202G 206g 301gx 304gx 305G 401G 402g 403gx"), ui::tap(206),
         expect(3000000, 100, 0, "301G 305gx 403g"), ui::tap(ID_ESC)});
}

// The probe is asked about only when it is the input. Refused, the dialog stays; otherwise the
// main dialog records a test (Stop, answered yes, then Esc ends both dialogs).
TEST_F(SetupDialog, StartChecksTheProbe) {
    wl_fs_set_volume_size(u"\\Internal", 10 * MB);
    const Lines no_probe = {"message-box 16 \"Error\" \"High Impedance Probe not connected.\" -> 1 "
                            "(no answer queued)"};
    const std::tuple<BOOL, int, bool> cases[] = {
        {FALSE, 403, true}, {FALSE, 401, false}, {TRUE, 403, false}};
    for (const auto &[probe, input_id, refused] : cases) {
        SCOPED_TRACE(input_id);
        acqsim_set_probe(probe);
        fake_host_reset();
        fake_host.answer_path(u"\\Internal\\line.res");
        if (!refused) fake_host.answer_box(HOST_ANSWER_YES); // Stop test?
        root.write("Internal/line.res", "");
        bool in_main = false;
        run({ui::tap(input_id), ui::tap(SETUP_ID_NAME), ui::tap(SETUP_ID_START),
             ui::check([&] { in_main = wl_window_top() == wfal.main_dialog; }),
             refused ? ui::check([] {}, "nothing to stop") : ui::tap(115), ui::tap(ID_ESC)});
        EXPECT_EQ(in_main, !refused);
        EXPECT_EQ(fake_host.lines("message-box 16"), refused ? no_probe : Lines{});
        EXPECT_EQ(fake_host.lines("title \"Spectrogram\"").size(), refused ? 0u : 1u);
        EXPECT_EQ(root.read("Internal/line.res").size() >= 1320, !refused); // the test's file
    }
}

TEST_F(SetupDialog, KeysAndTheWindowClose) {
    const auto post_cancel = [] { PostMessageW(wl_window_top(), WM_COMMAND, IDCANCEL, 0); };
    const std::pair<UiStep, std::string> cases[] = {
        {ui::tap(SETUP_ID_PRINT_SCREEN), "print-screen"},
        {ui::tap(ID_HELP), "help 1"},
        {ui::close(), "title \"Set-up spectrogram test\""},
        {ui::check(post_cancel), "title \"Set-up spectrogram test\""}};
    for (const auto &[step, last] : cases) {
        fake_host_reset();
        // Print screen and help leave the dialog open: Esc ends it.
        run(last[0] == 't' ? std::vector{step} : std::vector{step, ui::tap(ID_ESC)});
        EXPECT_EQ(fake_host.log.back(), last) << step.what;
    }
}

// Twice in each mode in one process, and without a host the same: the dialog on the screen below
// the title bar, and everything made released again (the viewer's file does not exist).
TEST_F(SetupDialog, WfalstartRunsTwiceInBothModesAndLeavesNothingBehind) {
    const int objects = wl_gdi_object_count();
    const std::pair<int, Lines> modes[] = {
        {1, {"title \"Set-up spectrogram test\""}},
        {0,
         {"title \"Spectrogram\"",
          "message-box 16 \"Error\" \"Unknown file.\" -> 1 (no answer queued)"}}};
    const UiStep on_screen = ui::check([] {
        EXPECT_EQ(ui_pixel(692, 37 + 441), RGB(11, 25, 255)); // between the main dialog's keys
        EXPECT_NE(ui_pixel(400, 20), RGB(11, 25, 255));
        EXPECT_EQ(ui_find(ID_ESC).rect.left, 695);
        EXPECT_EQ(ui_find(ID_ESC).rect.top, 37 + 5);
    });
    for (HostService h : {fake_host_service, fake_host_service, HostService(nullptr)}) {
        for (const auto &[mode, log] : modes) {
            fake_host_reset();
            host = h;
            EXPECT_EQ(view({on_screen, ui::tap(ID_ESC)}, mode), 0);
            EXPECT_EQ(fake_host.log, h ? log : Lines{});
            EXPECT_EQ(wl_window_list(nullptr, 0), 0);
            for (const WCHAR *name : {u"btn", u"splt", u"graph", u"wfaw"})
                EXPECT_FALSE(UnregisterClassW(name, GetModuleHandleW(u"wfal.dll")));
            EXPECT_EQ(wl_gdi_object_count(), objects);
            ULONGLONG due;
            EXPECT_FALSE(wl_timer_next_due(&due));
            EXPECT_TRUE(wfal.dialog_brush == nullptr && wfal.lang.pool == nullptr);
            EXPECT_EQ(wfal.lang.entry_count, 0);
            EXPECT_EQ(root.read("settings.dat").substr(0, 4), "WFAI");
            root.write("settings.dat", ""); // saved again by the next run
        }
    }
}

// The "?" key by help_mask bit 0; paths and the operator's name cut to their fields.
TEST_F(SetupDialog, WfalstartParameters) {
    for (const auto &[mask, shown] : {std::pair(6, false), std::pair(1, true)}) {
        help_mask = mask;
        bool found = false;
        run({ui::check([&] { found = ui_find(ID_HELP).hwnd != nullptr; }), ui::tap(ID_ESC)});
        EXPECT_EQ(found, shown) << mask;
    }
    const std::u16string long_path = u"\\" + std::u16string(299, u'p');
    result_path = settings_path = language_path = long_path;
    operator_name = std::u16string(40, u'n');
    view({ui::tap(ID_ESC)});
    for (const WCHAR *path : {wfal.result_path, wfal.settings_path, wfal.language_path})
        EXPECT_EQ(std::u16string(path), long_path.substr(0, 259));
    EXPECT_EQ(std::u16string(wfal.operator_name), operator_name.substr(0, 31));
}

// The engine's name goes into the header first; a settings file then replaces the whole header.
TEST_F(SetupDialog, SettingsFileOverridesTheIdentification) {
    ASSERT_TRUE(acqsim_set_device_name("FIRST"));
    run({ui::tap(ID_ESC)});
    EXPECT_EQ(std::u16string(wfal.header.device), u"FIRST");
    ASSERT_TRUE(acqsim_set_device_name("SECOND"));
    EXPECT_EQ(view({ui::tap(ID_ESC)}, 1), 0);
    EXPECT_EQ(std::u16string(wfal.header.device), u"FIRST");
}

} // namespace
