// The display set-up dialog as the viewer's "Display" key opens it: entered values and their
// ranges, the "Use" switch and its dim looks, the level unit's labels, the help key, the About
// box, the values read back when the dialog ends, and what the view and the settings file get.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "reports/display_setup.h"
#include "support/lang_file.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

constexpr COLORREF WHITE = 0xFFFFFF, DIM = 0x808080;
const std::u16string ABOUT_TEXT = u"Spectrogram viewer for VELMAR test equipments:\r\n\r\nTRX71"
                                  u"\r\n\r\nVersion: 2.00";

// Whether the control has pixels in the given (text) colour.
bool inked(int id, COLORREF colour) {
    std::string picture = ui_picture(ui_find(id).rect, {{colour, 'x'}});
    return picture.find('x') != std::string::npos;
}

// Taps a value's key with the host's answer queued.
UiStep enter(int key, int answer) {
    UiStep tap = ui::tap(key);
    return UiStep{"enter at " + tap.what, [tap, answer](UiDriver &d) {
                      fake_host.answer_number(answer);
                      return tap.run(d);
                  }};
}

UiStep post(WPARAM id) {
    return ui::check([=] { PostMessageW(wl_window_top(), WM_COMMAND, id, 0); });
}

std::vector<INT32> levels_and_thresholds() {
    const DisplaySettings &d = wfal.display;
    return {d.white_level, d.black_level, d.find_threshold, d.change_threshold};
}

class DisplaySetup : public ReportSession {
protected:
    void SetUp() override {
        ReportSession::SetUp();
        // The white level, the unit and the find mode outlive a run in the module state.
        wfal.display = DisplaySettings{};
        wfal.display.level_unit = 1, wfal.display.find_mode = 1;
        recipe.records = 50, recipe.impedance = 100; // the one a 3 MHz test records with
        write_result();
    }
    // A viewer session that opens "Display"; the steps must end the display dialog, and Esc
    // then ends the main dialog.
    void run(std::vector<UiStep> steps) {
        steps.insert(steps.begin(), ui::tap(ID_DISPLAY));
        steps.push_back(ui::tap(ID_ESC));
        EXPECT_EQ(view(std::move(steps)), 0);
    }
};

// Each key asks the host with its title, unit and the value before, and shows the answer after
// the range rules (setup_validate's, tested on their own): one in range, one not, a key each.
TEST_F(DisplaySetup, EnteredValuesGoThroughTheRangeRules) {
    const int W = DISPLAY_ID_WHITE, C = DISPLAY_ID_CHANGE;
    const struct {
        int key, answer;
        std::string asked; // the prompt's title, unit and value before
        const char16_t *shown;
    } cases[] = {{W, 60, "\"White level\" \"dBm\" 0", u"0"},
                 {W, -200, "\"White level\" \"dBm\" 0", u"-200"},
                 {DISPLAY_ID_BLACK, -200, "\"Black level\" \"dBm\" -90", u"-200"},
                 {DISPLAY_ID_THRESHOLD, 50, "\"Threshold\" \"dBm\" -60", u"50"},
                 {C, 201, "\"Change\" \"dB\" 20", u"20"},
                 {C, 1, "\"Change\" \"dB\" 20", u"1"}};
    std::vector<UiStep> steps;
    for (const auto &c : cases) {
        steps.push_back(enter(c.key, c.answer));
        steps.push_back(ui::check([&c] {
            EXPECT_EQ(fake_host.log.back(),
                      "enter-number " + c.asked + " -> " + std::to_string(c.answer));
            EXPECT_EQ(ui_find(c.key + 1).text, c.shown);
        }));
    }
    steps.push_back(ui::tap(ID_ESC));
    run(steps);
    EXPECT_EQ(levels_and_thresholds(), (std::vector<INT32>{-200, -200, 50, 1}));
}

// "Use" off greys the change threshold's value and unit and disables its key; the threshold
// itself stays, and Find is told it is off.
TEST_F(DisplaySetup, UseSwitchesTheChangeThreshold) {
    auto expect = [](bool on) {
        return ui::check([on] {
            SCOPED_TRACE(on ? "on" : "off");
            EXPECT_EQ(wfal.display.change_threshold_on, on ? 1 : 0);
            EXPECT_EQ(button_face(DISPLAY_ID_USE), on ? GREEN : GREY);
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE).enabled, on);
            for (int id : {DISPLAY_ID_CHANGE + 1, DISPLAY_ID_CHANGE + 2}) {
                EXPECT_EQ(std::make_tuple(button_face(id), inked(id, WHITE), inked(id, DIM)),
                          std::make_tuple(COLORREF(0xFF190B), on, !on))
                    << id;
            }
            EXPECT_EQ(ui_find(DISPLAY_ID_CHANGE + 1).text + ui_find(DISPLAY_ID_CHANGE + 2).text,
                      u"20dB");
        });
    };
    run({expect(true), ui::tap(DISPLAY_ID_USE), expect(false),
         ui::tap(DISPLAY_ID_CHANGE), // disabled: no entry
         ui::tap(DISPLAY_ID_USE), expect(true), ui::tap(DISPLAY_ID_USE), ui::tap(ID_ESC)});
    EXPECT_TRUE(fake_host.lines("enter-number").empty());
    EXPECT_EQ(wfal.display.change_threshold, 20);
    EXPECT_EQ(wfal.find.change_threshold, FIND_NO_CHANGE);
}

// "?" only with help_mask bit 2; each way out ends the dialog with 0, after which the viewer goes
// on (a non-zero end would close it too). The value fields are what the dialog ends with: texts put
// into them are read back and brought into range.
TEST_F(DisplaySetup, KeysAndWaysOut) {
    const std::pair<int, UiStep> cases[] = {
        {7, ui::tap(ID_ESC)}, {2, post(IDOK)}, {5, post(IDCANCEL)}, {0, ui::close()}};
    for (const auto &[mask, way_out] : cases) {
        SCOPED_TRACE(way_out.what);
        fake_host_reset();
        help_mask = mask;
        bool kept = mask & HELP_DISPLAY_SETUP;
        std::vector<UiStep> steps = {ui::check([=] {
            // The main dialog's "List" has the same id.
            EXPECT_EQ(GetDlgItem(wl_window_top(), ID_HELP) != nullptr, kept);
            const std::pair<int, const char16_t *> texts[] = {
                {302, u"-30"}, {305, u"75"}, {402, u"-5"}, {405, u"0"}};
            for (const auto &t : texts)
                SetWindowTextW(ui_find(t.first).hwnd, t.second);
        })};
        if (kept) steps.push_back(ui::tap(ID_HELP));
        steps.push_back(ui::tap(DISPLAY_ID_PRINT_SCREEN));
        steps.push_back(way_out);
        run(steps);
        EXPECT_EQ(fake_host.lines("help"), Lines(kept, "help 2"));
        EXPECT_EQ(fake_host.lines("print-screen").size(), 1u);
        EXPECT_EQ(levels_and_thresholds(), (std::vector<INT32>{-30, -90, -5, 20}));
    }
}

// Command 111 has no key; a translation longer than the box is cut at its end. The dialog's title
// comes back after the box.
TEST_F(DisplaySetup, AboutBox) {
    const std::u16string long_text(600, u'a');
    root.write("long.txt", utf16le(u"\uFEFF#Abouttext\r\n<1>" + long_text + u"\r\n"));
    const struct {
        const WCHAR *path;
        std::u16string caption, text;
    } cases[] = {{u"\\none.txt", u"About Spectrogram viewer", ABOUT_TEXT},
                 {u"\\long.txt", u"Abouttitle", long_text.substr(0, DISPLAY_ABOUT_CHARS - 1)}};
    for (const auto &c : cases) {
        fake_host_reset();
        language_path = c.path;
        std::u16string cut;
        run({post(DISPLAY_ID_ABOUT), ui::check([&] {
                 EXPECT_EQ(GetDlgItem(wl_window_top(), DISPLAY_ID_ABOUT), nullptr);
                 WCHAR small[21];
                 display_about_text(small, 21);
                 cut = small;
             }),
             ui::tap(ID_ESC)});
        EXPECT_EQ(cut, c.text.substr(0, 20));
        EXPECT_EQ(fake_host.lines("message-box"),
                  Lines{"message-box 64 " + fake_host_quote(c.caption) + " " +
                        fake_host_quote(c.text) + " -> 1 (no answer queued)"});
        EXPECT_EQ(fake_host.lines("title"),
                  (Lines{"title \"Spectrogram\"", "title \"Display\"", "title \"Spectrogram\""}));
    }
}

// The level unit relabels the three levels (the change threshold stays in dB), the find mode grid
// picks its own setting (the stored screen shows the dialog as it opens). When the dialog ends the
// view takes the settings (100 Ohm: dBm is 7.78 dB above the stored level; 10 kHz step: dBm/Hz 40
// dB below dBm) and the settings file keeps them.
TEST_F(DisplaySetup, OptionGridsAndTheSettingsThatReachTheViewAndTheFile) {
    auto units = [] {
        std::u16string all;
        for (int key :
             {DISPLAY_ID_WHITE, DISPLAY_ID_BLACK, DISPLAY_ID_THRESHOLD, DISPLAY_ID_CHANGE})
            all += ui_find(key + 2).text + u" ";
        return all;
    };
    run({ui::expect_golden("display_setup"), ui::tap(202), enter(DISPLAY_ID_WHITE, -10),
         enter(DISPLAY_ID_BLACK, -100), ui::tap(DISPLAY_ID_USE), ui::tap(411), ui::check([&] {
             EXPECT_EQ(units(), u"dBm/Hz dBm/Hz dBm/Hz dB ");
             EXPECT_EQ(looks("201 202 410 411"), "201g 202G 410g 411G");
             EXPECT_EQ(std::u16string(wfal.view.level_unit), u"dBm") << "before the dialog ends";
         }),
         ui::tap(ID_ESC), ui::check([&] {
             const ViewState &v = wfal.view;
             EXPECT_EQ(std::u16string(v.level_unit), u"dBm/Hz");
             EXPECT_EQ(std::vector<int>({v.level_offset, v.black_level, v.white_level}),
                       std::vector<int>({4000 - 778, 3222 - 10000, 3222 - 1000}));
             // -5000 stored is -82.2 dBm/Hz at the marker and at the maximum.
             std::u16string readout = wfal.graph[0].side_text;
             EXPECT_NE(readout.find(u"-82.2 dBm/Hz"), std::u16string::npos) << printable(readout);
         })});
    EXPECT_EQ(fake_host.lines("enter-number \"White level\" \"dBm/Hz\"").size(), 1u);
    EXPECT_EQ(wfal.find.point, FIND_ALL_POINTS);
    const std::string file = root.read("settings.dat");
    ASSERT_EQ(file.size(), 1884u);
    std::vector<INT32> words(11);
    std::memcpy(words.data(), file.data(), 4 * words.size());
    // The unit, black, white, find threshold, find mode, change threshold and Use from offset 16.
    EXPECT_EQ(std::vector<INT32>(words.begin() + 4, words.end()),
              (std::vector<INT32>{2, -100, -10, -60, 0, 20, 0}));
}

// The viewed file keeps its own set-up through Display -> Esc even where the option tables do not
// offer it (600 Ohm at 3 MHz, a 212 MHz range), and so do the readout's levels.
TEST_F(DisplaySetup, TheViewedFileKeepsItsSetUp) {
    const std::pair<INT32, INT32> cases[] = {{3000000, 600}, {212000000, 100}};
    for (const auto &[range, impedance] : cases) {
        SCOPED_TRACE(range);
        recipe.range = range, recipe.impedance = impedance;
        write_result();
        auto seen = [] {
            const ResultHeader &h = wfal.header;
            return std::make_tuple(h.range, h.impedance, h.input, h.gain,
                                   std::u16string(wfal.graph[0].side_text));
        };
        decltype(seen()) before;
        EXPECT_EQ(view({ui::check([&] { before = seen(); }), ui::tap(ID_DISPLAY), ui::tap(ID_ESC),
                        ui::check([&] { EXPECT_EQ(seen(), before); }), ui::tap(ID_ESC)}),
                  0);
        EXPECT_EQ(std::make_pair(std::get<0>(before), std::get<1>(before)),
                  std::make_pair(range, impedance));
    }
}

} // namespace
