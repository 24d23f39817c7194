// The test set-up dialog as wfalstart runs it in test mode: the option grids and how the range
// restricts the others, the result name from the host, the destination text with the longest
// test that fits on the volume, the rule for Start, and what Start and the other keys do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <acqsim.h>
#include <strsafe.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/entry.h"
#include "module/state.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"
#include "test/setup_dialog.h"
#include "ui/controls.h"

namespace {

constexpr ULONGLONG MB = 1024 * 1024;
constexpr COLORREF GREEN = 0x00C000;
constexpr COLORREF GREY = 0xD0D0D0;
const WCHAR *const VOLUMES[] = {u"\\Internal", u"\\USB", u"\\line"};

struct HostCall {
    int code;
    std::u16string a, b; // texts of title, caption, message
    INT_PTR c;
    std::u16string field; // field 102 while the host had the call
};

// The path the host enters and its answer for it; every call is recorded.
struct HostScript {
    std::u16string path;
    INT_PTR path_answer = 0;
    std::vector<HostCall> calls;
} host;

INT_PTR CALLBACK scripted_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    bool texts = code == HOST_SET_TITLE || code == HOST_EDIT_PATH || code == HOST_MESSAGE_BOX;
    host.calls.push_back({code, texts ? (const WCHAR *)a : u"",
                          code == HOST_MESSAGE_BOX ? (const WCHAR *)b : u"", c,
                          ui_find(SETUP_ID_DESTINATION).text});
    if (code != HOST_EDIT_PATH) return code == HOST_MESSAGE_BOX ? HOST_ANSWER_YES : 0;
    if (host.path_answer) StringCchCopyW((WCHAR *)b, size_t(c) + 1, host.path.c_str());
    return host.path_answer;
}

bool host_saw(int code, const std::u16string &a, const std::u16string &b = u"") {
    for (const HostCall &call : host.calls)
        if (call.code == code && call.a == a && call.b == b) return true;
    return false;
}

// The face of a button, inside its bevels.
COLORREF face(int id) {
    UiControl c = ui_find(id);
    return ui_pixel(c.rect.left + 3, c.rect.top + 3);
}

class SetupDialog : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;

    void SetUp() override {
        acqsim_reset();
        host = HostScript{};
        for (const char *folder : {"Internal", "USB", "line"})
            std::filesystem::create_directories(root.dir() + "/" + folder);
    }
    void TearDown() override {
        for (const WCHAR *volume : VOLUMES)
            wl_fs_set_volume_size(volume, 0);
        acqsim_reset();
        wl_user_shutdown();
        wl_gdi_shutdown();
    }

    // A test-mode session from the defaults; the steps must end it, every one of them run.
    void run(std::vector<UiStep> steps, int memory_reserve = 0) {
        size_t count = steps.size();
        root.write("settings.dat", "");
        INT_PTR r = ui.run(
            [&] {
                return INT_PTR(wfalstart(nullptr, scripted_host, 1, u"\\Internal\\line.res",
                                         memory_reserve, 1, u"Ann", u"\\settings.dat",
                                         u"\\none.txt", 7));
            },
            std::move(steps));
        EXPECT_EQ(r, 0);
        EXPECT_EQ(ui.steps_done(), count);
    }
};

// The range is tapped, then the host enters a name twice: first accepted into internal memory,
// then with the case's answer. Records: 392 bytes at 4 kHz, 600 at 3 MHz, 848 at 212 MHz.
TEST_F(SetupDialog, DestinationAndLongestTest) {
    struct Case {
        const char *what;
        BOOL wideband;
        int range_id;
        const WCHAR *path;
        INT_PTR answer;
        ULONGLONG volume_bytes;
        LONGLONG max_file_size;
        std::u16string field;
    };
    const Case cases[] = {
        // 10 MB - 16384 - 2 MB reserve: 21357 records, 355 minutes.
        {"memory less the reserve", FALSE, 201, u"\\Internal\\line.res", 1, 10 * MB, 8372224,
         u"line  (Memory, Max test time: 5 hours)"},
        // No reserve on the stick: 26707 records, 445 minutes.
        {"USB stick", FALSE, 201, u"\\USB\\line.res", 2, 10 * MB, 10469376,
         u"line  (USB stick, Max test time: 7 hours)"},
        // 300 × 5184000 + 1320 bytes fit: 2592002 records, 43200 minutes.
        {"30 days", FALSE, 206, u"\\USB\\a.res", 2, 4096 * MB, 1555201320,
         u"a  (USB stick, Max test time: 30 days)"},
        // 424 points: held to 0x7FFF0000, 2532332 records, 42205 minutes.
        {"size limit", TRUE, 208, u"\\USB\\a.res", 2, 4096 * MB, 0x7FFF0000,
         u"a  (USB stick, Max test time: 29 days)"},
        {"99 records", FALSE, 201, u"\\USB\\a.res", 2, 16384 + 99 * 392, 99 * 392,
         u"a  (USB stick, Max test time: 0 minutes)"},
        {"100 records", FALSE, 201, u"\\USB\\a.res", 2, 16384 + 100 * 392, 100 * 392,
         u"a  (USB stick, Max test time: 1 minutes)"},
        {"below the spare bytes", FALSE, 201, u"\\USB\\a.res", 2, 16000, 16000 - 16384,
         u"a  (USB stick, Max test time: 0 minutes)"},
        {"no such folder", FALSE, 201, u"\\Nowhere\\a.res", 2, 10 * MB, 0,
         u"a  (USB stick, Max test time: 0 minutes)"},
        // Name and directory both: the folder "line", 17448 records at 3 MHz.
        {"no backslash, no dot", FALSE, 206, u"line", 2, 10 * MB, 10469376,
         u"line  (USB stick, Max test time: 4 hours)"},
        // Nothing to show and nothing to start; no reserve either.
        {"entry cancelled", FALSE, 201, u"\\USB\\a.res", 0, 10 * MB, 10469376, u""},
        {"empty name", FALSE, 201, u"\\USB\\", 2, 10 * MB, 10469376, u""},
        {"only an extension", FALSE, 201, u"\\USB\\.res", 2, 10 * MB, 10469376, u""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        acqsim_set_options(c.wideband ? ACQSIM_OPTION_WIDEBAND : 0);
        for (const WCHAR *volume : VOLUMES)
            wl_fs_set_volume_size(volume, c.volume_bytes);
        host = HostScript{c.path, 1, {}};
        run({ui::tap(c.range_id), ui::tap(SETUP_ID_NAME),
             ui::check([&] { host.path_answer = c.answer; }), ui::tap(SETUP_ID_NAME),
             ui::check([&] {
                 EXPECT_EQ(face(c.range_id), GREEN);
                 EXPECT_EQ(ui_find(SETUP_ID_DESTINATION).text, c.field);
                 EXPECT_EQ(ui_find(SETUP_ID_START).enabled,
                           c.field.find(u": 0 ") == c.field.npos && !c.field.empty());
                 EXPECT_EQ(wfal.max_file_size, c.max_file_size);
             }),
             ui::tap(ID_ESC)},
            int(2 * MB));
        const HostCall &entry = host.calls.back();
        EXPECT_EQ(entry.code, HOST_EDIT_PATH);
        EXPECT_EQ(entry.a, u"Result name");
        EXPECT_EQ(entry.c, 259);
        EXPECT_EQ(entry.field, u""); // emptied before the host is asked
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
        EXPECT_EQ(std::u16string(directory), p[1]);
        EXPECT_EQ(std::u16string(name), p[2]);
    }
}

// 150 Ohm and the probe at 3 MHz; 20 kHz leaves only 600 Ohm and the inputs up to
// Unterminated; back at 3 MHz, 600 Ohm is not allowed and the first impedance is taken.
TEST_F(SetupDialog, RangeRestrictsImpedanceAndInput) {
    struct Look {
        int id;
        COLORREF face;
        bool enabled;
    };
    auto expect = [](INT32 range, INT32 impedance, INT32 input, std::vector<Look> looks) {
        return ui::check([=] {
            EXPECT_EQ(wfal.header.range, range);
            EXPECT_EQ(wfal.header.impedance, impedance);
            EXPECT_EQ(wfal.header.input, input);
            for (const Look &l : looks) {
                EXPECT_EQ(face(l.id), l.face) << l.id;
                EXPECT_EQ(ui_find(l.id).enabled, l.enabled) << l.id;
            }
        });
    };
    run({ui::check([] {
             // Grids fill column by column; no name chosen yet, so nothing to start.
             EXPECT_EQ(ui_find(206).rect.left, 125);
             EXPECT_EQ(ui_find(403).rect.top, 37 + 150);
             EXPECT_EQ(ui_find(403).rect.right, 370 + 150);
             EXPECT_EQ(ui_find(SETUP_ID_DESTINATION).text, u"");
             EXPECT_FALSE(ui_find(SETUP_ID_START).enabled);
         }),
         ui::tap(304), ui::tap(403), ui::tap(503),
         expect(3000000, 150, 2,
                {{206, GREEN, true},
                 {304, GREEN, true},
                 {305, GREY, false},
                 {403, GREEN, true},
                 {501, GREY, true},
                 {503, GREEN, true}}),
         ui::tap(202),
         expect(20000, 600, 0,
                {{202, GREEN, true},
                 {206, GREY, true},
                 {301, GREY, false},
                 {304, GREY, false},
                 {305, GREEN, true},
                 {401, GREEN, true},
                 {402, GREY, true},
                 {403, GREY, false}}),
         ui::tap(206),
         expect(3000000, 100, 0, {{301, GREEN, true}, {305, GREY, false}, {403, GREY, true}}),
         ui::tap(ID_ESC)});
}

// The probe is asked about only when it is the input. Refused, the dialog stays; otherwise the
// main dialog records a test (Stop, answered yes, then Esc ends both dialogs).
TEST_F(SetupDialog, StartChecksTheProbe) {
    wl_fs_set_volume_size(u"\\Internal", 10 * MB);
    const std::u16string NO_PROBE = u"High Impedance Probe not connected.";
    const std::tuple<BOOL, int, bool> cases[] = {
        {FALSE, 403, true}, {FALSE, 401, false}, {TRUE, 403, false}};
    for (const auto &[probe, input_id, refused] : cases) {
        SCOPED_TRACE(input_id);
        acqsim_set_probe(probe);
        host = HostScript{u"\\Internal\\line.res", 1, {}};
        root.write("Internal/line.res", "");
        std::vector<UiStep> steps = {ui::tap(input_id), ui::tap(SETUP_ID_NAME),
                                     ui::tap(SETUP_ID_START)};
        if (refused) {
            steps.push_back(ui::check([] {
                EXPECT_EQ(ui_find(SETUP_ID_NAME).text, u"Name"); // still the set-up dialog
                EXPECT_EQ(host.calls.back().c, HOST_MB_ERROR);
            }));
        } else {
            steps.push_back(ui::check([] { EXPECT_EQ(wl_window_top(), wfal.main_dialog); }));
            steps.push_back(ui::tap(115));
        }
        steps.push_back(ui::tap(ID_ESC));
        run(steps);
        EXPECT_EQ(host_saw(HOST_MESSAGE_BOX, u"Error", NO_PROBE), refused);
        EXPECT_EQ(host_saw(HOST_SET_TITLE, u"Spectrogram"), !refused);
        EXPECT_EQ(root.read("Internal/line.res").size() >= 1320, !refused); // the test's file
    }
}

TEST_F(SetupDialog, KeysAndTheWindowClose) {
    const auto post_cancel = [] { PostMessageW(wl_window_top(), WM_COMMAND, IDCANCEL, 0); };
    const std::tuple<UiStep, int, INT_PTR> cases[] = {
        {ui::tap(SETUP_ID_PRINT_SCREEN), HOST_PRINT_SCREEN, 0},
        {ui::tap(ID_HELP), HOST_HELP, HELP_TEST_SETUP},
        {ui::close(), HOST_SET_TITLE, 0},
        {ui::check(post_cancel), HOST_SET_TITLE, 0},
    };
    for (const auto &[step, code, c] : cases) {
        host = HostScript{};
        std::vector<UiStep> steps = {step};
        if (code != HOST_SET_TITLE) steps.push_back(ui::tap(ID_ESC)); // ends only by Esc
        run(steps);
        EXPECT_EQ(host.calls.back().code, code) << step.what;
        EXPECT_EQ(host.calls.back().c, c) << step.what;
    }
}

} // namespace
