// The display set-up dialog as the viewer's "Display" key opens it: entered values and their
// ranges, the "Use" switch and its dim looks, the level unit's labels, the help key, the About
// box, the values read back when the dialog ends, and what the view and the settings file get.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <acqsim.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/entry.h"
#include "module/state.h"
#include "reports/display_setup.h"
#include "support/lang_file.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

constexpr COLORREF GREEN = 0x00C000;
constexpr COLORREF GREY = 0xD0D0D0;
constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF DIM = 0x808080;

const std::u16string ABOUT_TEXT = u"Spectrogram viewer for VELMAR test equipments:\r\n\r\nTRX71"
                                  u"\r\n\r\nVersion: 2.00";

struct HostCall {
    int code;
    std::u16string a, b; // title and unit, or caption and text
    INT_PTR c;
    bool dialog_enabled; // the dialog on top while the host had the call
};

// The numbers the host enters, in turn; every call is recorded.
struct HostScript {
    std::vector<INT_PTR> numbers;
    std::vector<HostCall> calls;
} host;

INT_PTR CALLBACK scripted_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    bool has_a = code == HOST_SET_TITLE || code == HOST_ENTER_NUMBER || code == HOST_MESSAGE_BOX;
    bool has_b = code == HOST_ENTER_NUMBER || code == HOST_MESSAGE_BOX;
    host.calls.push_back({code, has_a ? (const WCHAR *)a : u"", has_b ? (const WCHAR *)b : u"", c,
                          IsWindowEnabled(wl_window_top()) != FALSE});
    if (code != HOST_ENTER_NUMBER || host.numbers.empty()) return 0;
    INT_PTR answer = host.numbers.front();
    host.numbers.erase(host.numbers.begin());
    return answer;
}

std::vector<HostCall> calls_of(int code) {
    std::vector<HostCall> out;
    for (const HostCall &call : host.calls)
        if (call.code == code) out.push_back(call);
    return out;
}

// The face of a button, inside its bevels.
COLORREF face(int id) {
    UiControl c = ui_find(id);
    return ui_pixel(c.rect.left + 3, c.rect.top + 3);
}

// Pixels of the control drawn in the text colour of its normal or its dim look.
int pixels_of(int id, COLORREF colour) {
    std::string picture = ui_picture(ui_find(id).rect, {{colour, 'x'}});
    return int(std::count(picture.begin(), picture.end(), 'x'));
}

// Taps a value's key with the host's answer ready.
UiStep enter(int key, INT_PTR answer) {
    UiStep tap = ui::tap(key);
    return UiStep{"enter at " + tap.what, [tap, answer](UiDriver &d) {
                      host.numbers.push_back(answer);
                      return tap.run(d);
                  }};
}

INT32 settings_word(const std::string &file, size_t offset) {
    INT32 v = 0;
    if (file.size() >= offset + 4) std::memcpy(&v, file.data() + offset, 4);
    return v;
}

class DisplaySetup : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;

    void SetUp() override {
        acqsim_reset();
        host = HostScript{};
        // The white level, the unit and the find mode outlive a run in the module state.
        wfal.display = DisplaySettings{};
        wfal.display.level_unit = 1;
        wfal.display.find_mode = 1;
        ResultFileRecipe recipe;
        recipe.records = 50;
        recipe.impedance = 100; // the one a 3 MHz test records with
        result_file_write(root.dir() + "/view.res", recipe);
    }
    void TearDown() override {
        acqsim_reset();
        wl_user_shutdown();
        wl_gdi_shutdown();
    }

    // Steps in the viewer before "Display" is tapped.
    std::vector<UiStep> viewer_steps;

    // A viewer session that opens "Display"; the steps must end the display dialog, and Esc
    // then ends the main dialog.
    void run(std::vector<UiStep> steps, int help_mask = 7, int language = 1,
             const WCHAR *language_path = u"\\none.txt") {
        steps.insert(steps.begin(), ui::tap(ID_DISPLAY));
        steps.insert(steps.begin(), viewer_steps.begin(), viewer_steps.end());
        steps.push_back(ui::tap(ID_ESC));
        size_t count = steps.size();
        INT_PTR r = ui.run(
            [&] {
                return INT_PTR(wfalstart(nullptr, scripted_host, 0, u"\\view.res", 0, language,
                                         u"Ann", u"\\settings.dat", language_path, help_mask));
            },
            std::move(steps));
        EXPECT_EQ(r, 0);
        EXPECT_EQ(ui.steps_done(), count);
    }
};

// Each entry goes to the host with the value before it and comes back through the range
// rules: levels -200..50 (else -90, 0, -60), the change threshold 1..200 (else 20).
TEST_F(DisplaySetup, EnteredValuesKeepToTheirRanges) {
    struct Case {
        int key;
        INT_PTR answer;
        INT32 asked_with;
        const char16_t *shown;
        const char16_t *title, *unit;
    };
    const Case cases[] = {
        {DISPLAY_ID_WHITE, 60, 0, u"0", u"White level", u"dBm"},
        {DISPLAY_ID_WHITE, -200, 0, u"-200", u"White level", u"dBm"},
        {DISPLAY_ID_WHITE, 50, -200, u"50", u"White level", u"dBm"},
        {DISPLAY_ID_WHITE, -201, 50, u"0", u"White level", u"dBm"},
        {DISPLAY_ID_BLACK, 51, -90, u"-90", u"Black level", u"dBm"},
        {DISPLAY_ID_BLACK, -200, -90, u"-200", u"Black level", u"dBm"},
        {DISPLAY_ID_THRESHOLD, -201, -60, u"-60", u"Threshold", u"dBm"},
        {DISPLAY_ID_THRESHOLD, 50, -60, u"50", u"Threshold", u"dBm"},
        {DISPLAY_ID_CHANGE, 0, 20, u"20", u"Change", u"dB"},
        {DISPLAY_ID_CHANGE, 200, 20, u"200", u"Change", u"dB"},
        {DISPLAY_ID_CHANGE, 201, 200, u"20", u"Change", u"dB"},
        {DISPLAY_ID_CHANGE, 1, 20, u"1", u"Change", u"dB"},
    };
    std::vector<UiStep> steps;
    for (const Case &c : cases) {
        steps.push_back(enter(c.key, c.answer));
        steps.push_back(ui::check([&c] {
            SCOPED_TRACE(int(c.answer));
            const HostCall &call = host.calls.back();
            EXPECT_EQ(call.code, HOST_ENTER_NUMBER);
            EXPECT_EQ(call.a, c.title);
            EXPECT_EQ(call.b, c.unit);
            EXPECT_EQ(call.c, c.asked_with);
            EXPECT_FALSE(call.dialog_enabled);
            EXPECT_EQ(ui_find(c.key + 1).text, c.shown);
        }));
    }
    steps.push_back(ui::tap(ID_ESC));
    run(steps);
    EXPECT_EQ(wfal.display.white_level, 0);
    EXPECT_EQ(wfal.display.black_level, -200);
    EXPECT_EQ(wfal.display.find_threshold, 50);
    EXPECT_EQ(wfal.display.change_threshold, 1);
}

// "Use" off greys the change threshold's value and unit and disables its key; the threshold
// itself stays, and Find is told it is off.
TEST_F(DisplaySetup, UseSwitchesTheChangeThreshold) {
    auto expect = [](bool on) {
        return ui::check([on] {
            SCOPED_TRACE(on ? "on" : "off");
            EXPECT_EQ(wfal.display.change_threshold_on, on ? 1 : 0);
            EXPECT_EQ(face(DISPLAY_ID_USE), on ? GREEN : GREY);
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE).enabled, on);
            for (int id : {DISPLAY_ID_CHANGE + 1, DISPLAY_ID_CHANGE + 2}) {
                EXPECT_EQ(face(id), 0xFF190Bu) << id;
                EXPECT_EQ(pixels_of(id, WHITE) > 0, on) << id;
                EXPECT_EQ(pixels_of(id, DIM) > 0, !on) << id;
            }
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE + 1).text, u"20");
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE + 2).text, u"dB");
        });
    };
    run({expect(true), ui::tap(DISPLAY_ID_USE), expect(false),
         ui::tap(DISPLAY_ID_CHANGE), // disabled: no entry
         ui::tap(DISPLAY_ID_USE), expect(true), ui::tap(DISPLAY_ID_USE), ui::tap(ID_ESC)});
    EXPECT_TRUE(calls_of(HOST_ENTER_NUMBER).empty());
    EXPECT_EQ(wfal.display.change_threshold, 20);
    EXPECT_EQ(wfal.find.change_threshold, FIND_NO_CHANGE);
}

// The level unit relabels the three levels at once; the change threshold stays in dB. The
// find mode grid picks its own setting.
TEST_F(DisplaySetup, OptionGridsRelabelAndPick) {
    auto expect = [](const char16_t *unit, int unit_id, int mode_id) {
        return ui::check([=] {
            for (int id : {DISPLAY_ID_WHITE + 2, DISPLAY_ID_BLACK + 2, DISPLAY_ID_THRESHOLD + 2})
                EXPECT_EQ(ui_find(id).text, unit) << id;
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE + 2).text, u"dB");
            for (int id : {201, 202, 410, 411})
                EXPECT_EQ(face(id), id == unit_id || id == mode_id ? GREEN : GREY) << id;
        });
    };
    run({ui::check([] {
             EXPECT_EQ(ui_find(202).rect.top, 37 + 40 + 55);
             EXPECT_EQ(ui_find(411).rect.left, 180);
             EXPECT_EQ(ui_find(410).text, u"at marker");
             EXPECT_EQ(ui_find(411).text, u"at any freq");
         }),
         expect(u"dBm", 201, 410), ui::tap(202), expect(u"dBm/Hz", 202, 410), ui::tap(411),
         expect(u"dBm/Hz", 202, 411), enter(DISPLAY_ID_BLACK, -100), ui::tap(ID_ESC)});
    EXPECT_EQ(calls_of(HOST_ENTER_NUMBER).at(0).b, u"dBm/Hz");
    EXPECT_EQ(wfal.display.level_unit, 2);
    EXPECT_EQ(wfal.display.find_mode, 0);
    EXPECT_EQ(wfal.find.point, FIND_ALL_POINTS);
}

// "?" only with help_mask bit 2; the dialog lies where every dialog lies, and each way out
// ends it with 0, after which the viewer goes on (a non-zero end would close it too).
TEST_F(DisplaySetup, KeysAndWaysOut) {
    const auto post = [](WPARAM id) {
        return ui::check([=] { PostMessageW(wl_window_top(), WM_COMMAND, id, 0); });
    };
    const std::pair<int, UiStep> cases[] = {
        {7, ui::tap(ID_ESC)}, {2, post(IDOK)}, {5, post(IDCANCEL)}, {0, ui::close()}};
    for (const auto &[mask, way_out] : cases) {
        SCOPED_TRACE(way_out.what);
        host = HostScript{};
        bool kept = mask & HELP_DISPLAY_SETUP;
        std::vector<UiStep> steps = {ui::check([=] {
            RECT r = {};
            GetWindowRect(wl_window_top(), &r);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                      std::vector<LONG>({0, 37, 800, 480}));
            // The main dialog's "List" has the same id.
            EXPECT_EQ(GetDlgItem(wl_window_top(), ID_HELP) != nullptr, kept);
        })};
        if (kept) steps.push_back(ui::tap(ID_HELP));
        steps.push_back(ui::tap(DISPLAY_ID_PRINT_SCREEN));
        steps.push_back(way_out);
        run(steps, mask);
        std::vector<HostCall> help = calls_of(HOST_HELP);
        ASSERT_EQ(help.size(), kept ? 1u : 0u);
        for (const HostCall &call : help)
            EXPECT_EQ(call.c, HELP_DISPLAY_SETUP);
        ASSERT_EQ(calls_of(HOST_PRINT_SCREEN).size(), 1u);
        EXPECT_FALSE(calls_of(HOST_PRINT_SCREEN)[0].dialog_enabled);
    }
}

// Command 111 has no key. German has no About texts, so they fall back to English while the
// dialog's title is translated; a translation longer than the box is cut at its end.
TEST_F(DisplaySetup, AboutBox) {
    const std::u16string long_text(600, u'a');
    root.write("long.txt", utf16le(u"\uFEFF#Abouttext\r\n<1>" + long_text + u"\r\n"));
    struct Case {
        int language;
        const WCHAR *path;
        std::u16string title, caption, text;
    };
    const Case cases[] = {
        {1, u"\\none.txt", u"Display", u"About Spectrogram viewer", ABOUT_TEXT},
        {3, u"\\none.txt", u"Anzeige", u"About Spectrogram viewer", ABOUT_TEXT},
        {1, u"\\long.txt", u"Display", u"Abouttitle", long_text.substr(0, DISPLAY_ABOUT_CHARS - 1)},
    };
    for (const Case &c : cases) {
        host = HostScript{};
        std::u16string cut;
        run({ui::check([] { PostMessageW(wl_window_top(), WM_COMMAND, DISPLAY_ID_ABOUT, 0); }),
             ui::check([&] {
                 EXPECT_EQ(GetDlgItem(wl_window_top(), DISPLAY_ID_ABOUT), nullptr);
                 WCHAR small[21];
                 display_about_text(small, 21);
                 cut = small;
             }),
             ui::tap(ID_ESC)},
            7, c.language, c.path);
        EXPECT_EQ(cut, c.text.substr(0, 20));
        std::vector<HostCall> boxes = calls_of(HOST_MESSAGE_BOX);
        ASSERT_EQ(boxes.size(), 1u) << c.language;
        EXPECT_EQ(boxes[0].a, c.caption);
        EXPECT_EQ(boxes[0].b, c.text);
        EXPECT_EQ(boxes[0].c, HOST_MB_INFORMATION);
        EXPECT_FALSE(boxes[0].dialog_enabled);
        std::vector<HostCall> titles = calls_of(HOST_SET_TITLE);
        ASSERT_EQ(titles.size(), 3u); // the viewer's, ours, the viewer's again on return
        EXPECT_EQ(titles[1].a, c.title);
    }
}

// The value fields are what the dialog ends with: texts put into them are read back and
// brought into range.
TEST_F(DisplaySetup, FieldsAreReadBackWhenTheDialogEnds) {
    run({ui::check([] {
             const std::pair<int, const char16_t *> texts[] = {
                 {302, u"-30"}, {305, u"75"}, {402, u"-5"}, {405, u"0"}};
             for (const auto &t : texts)
                 SetWindowTextW(ui_find(t.first).hwnd, t.second);
         }),
         ui::close()});
    EXPECT_EQ(wfal.display.white_level, -30);
    EXPECT_EQ(wfal.display.black_level, -90);
    EXPECT_EQ(wfal.display.find_threshold, -5);
    EXPECT_EQ(wfal.display.change_threshold, 20);
}

// The new settings reach the view when the dialog closes (100 Ohm: dBm lies 7.78 dB above the
// stored level; step 10 kHz: dBm/Hz another 40 dB below dBm), the legend and the readout
// change, and the settings file keeps them.
TEST_F(DisplaySetup, SettingsReachTheViewAndTheFile) {
    const RECT legend = {505, 270, 598, 480};
    const std::vector<std::pair<COLORREF, char>> ink = {{WHITE, '.'}, {0x000000, '#'}};
    std::string before;
    viewer_steps = {ui::check([&] { before = ui_picture(legend, ink); })};
    run({ui::tap(202), enter(DISPLAY_ID_WHITE, -10), enter(DISPLAY_ID_BLACK, -100),
         ui::tap(DISPLAY_ID_USE), ui::tap(411),
         ui::check([] { // the view changes when the dialog has ended
             EXPECT_EQ(std::u16string(wfal.view.level_unit), u"dBm");
         }),
         ui::tap(ID_ESC), ui::check([&] {
             const ViewState &v = wfal.view;
             EXPECT_EQ(host.calls.back().a, u"Spectrogram");
             EXPECT_EQ(std::u16string(v.level_unit), u"dBm/Hz");
             EXPECT_EQ(v.level_offset, 4000 - 778);
             EXPECT_EQ(v.black_level, 3222 - 10000);
             EXPECT_EQ(v.white_level, 3222 - 1000);
             // -5000 stored is -82.2 dBm/Hz at the marker and at the maximum.
             std::u16string readout = wfal.graph[0].side_text;
             EXPECT_NE(readout.find(u"-82.2 dBm/Hz"), std::u16string::npos) << printable(readout);
             EXPECT_NE(ui_picture(legend, ink), before);
         })});
    const std::string file = root.read("settings.dat");
    ASSERT_EQ(file.size(), 1884u);
    EXPECT_EQ(file.substr(0, 4), "WFAI");
    const std::pair<size_t, INT32> words[] = {{16, 2}, {20, -100}, {24, -10}, {28, -60},
                                              {32, 0}, {36, 20},   {40, 0},   {4, 564}};
    for (const auto &[offset, value] : words)
        EXPECT_EQ(settings_word(file, offset), value) << offset;
}

TEST_F(DisplaySetup, MatchesTheStoredScreen) {
    run({ui::expect_golden("display_setup"), ui::tap(ID_ESC)});
}

} // namespace
