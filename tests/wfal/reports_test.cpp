// The set-up report and the result list as the viewer's "Setup" and "List" keys show them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "spectrogram/spectrum_graph.h"
#include "spectrogram/view_update.h"
#include "support/lang_file.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

// Fills the whole field, without a terminator when the text is as long as the field.
template <size_t N>
void set_text(WCHAR (&field)[N], const std::u16string &text) {
    std::fill(field, field + N, WCHAR(0));
    text.copy(field, std::min(text.size(), N));
}

void set_path(const std::u16string &path) {
    set_text(wfal.result_path, path);
}

// Adds the steps that open the report or the list from the main dialog, read it, and close it.
void read_report(std::vector<UiStep> &steps, int key, std::u16string *text) {
    steps.insert(steps.end(),
                 {ui::tap(key), ui::check([text] { *text = report_box_text(); }), ui::tap(ID_ESC)});
}

class Reports : public ReportSession {};

// A recording of one hour: every line, the stop time at the end of the last whole record (a
// partial record after it does not count). Then each line's edge cases: the name from the path,
// the range's unit, Auto gain, an input without a label, fields that fill their whole width
// without a terminator, the longest notes, and no stop time unless the file is only loaded (the
// rows that look at line 7 find Range there).
TEST_F(Reports, SetupReport) {
    struct LineCase {
        const char *what;
        std::function<void()> change; // of the module state, after the file was opened
        size_t line;
        std::u16string want;
    };
    const std::u16string notes = std::u16string(510, u'n') + u"!";
    const std::u16string range = u"Range            3 MHz";
    auto name = [](const char16_t *name) { return u"Result name      " + std::u16string(name); };
    const LineCase cases[] = {
        {"path", [] { set_path(u"\\USB\\test1.res"); }, 1, name(u"test1")},
        {"no folder", [] { set_path(u"plain.res"); }, 1, name(u"plain")},
        {"no dot", [] { set_path(u"\\USB\\noext"); }, 1, name(u"noext")},
        {"dot in folder", [] { set_path(u"\\dir.d\\name"); }, 1, name(u"name")},
        {"two dots", [] { set_path(u"\\USB\\a.b.res"); }, 1, name(u"a.b")},
        {"long name", [] { set_path(u"\\USB\\abcdefghijklmnopqr.res"); }, 1,
         name(u"abcdefghijklmnop")},
        {"device full",
         [] {
             set_text(wfal.header.device, u"ABCDEFGHIJKLMNOP"),
                 set_text(wfal.header.serial, u"XYZ");
         },
         2, u"Device           ABCDEFGHIJKLMNOP"},
        {"range 4000", [] { wfal.header.range = 4000; }, 8, u"Range            4 kHz"},
        {"range 35000000", [] { wfal.header.range = 35000000; }, 8, u"Range            35 MHz"},
        {"range 99999", [] { wfal.header.range = 99999; }, 8, u"Range            99.999 kHz"},
        {"range 100000", [] { wfal.header.range = 100000; }, 8, u"Range            0.1 MHz"},
        {"imped 75", [] { wfal.header.impedance = 75; }, 9, u"Imped            75 Ohm"},
        {"probe", [] { wfal.header.input = 2; }, 10, u"Input            High imp probe"},
        {"no input", [] { wfal.header.input = 7; }, 10, u"Input            "},
        {"auto gain", [] { wfal.header.gain = -1; }, 11, u"Gain             Auto"},
        {"gain 20", [] { wfal.header.gain = 20; }, 11, u"Gain             20 dB"},
        {"operator full",
         [] {
             set_text(wfal.header.operator_name, std::u16string(32, u'o')),
                 set_text(wfal.header.notes, u"zz");
         },
         12, u"Operator         " + std::u16string(32, u'o')},
        {"longest notes", [&] { set_text(wfal.header.notes, notes); }, 14, notes},
        {"finding", [] { wfal.run_state = RUN_LOADED | RUN_FINDING; }, 7, range},
        {"frozen test", [] { wfal.run_state = RUN_LOADED | RUN_TESTING | RUN_FROZEN; }, 7, range}};
    recipe.records = 3600;
    recipe.partial_bytes = 100;
    write_result();
    static ResultHeader opened;
    std::u16string text;
    std::vector<UiStep> steps = {ui::check([] {
        opened = wfal.header;
        set_text(wfal.header.serial, u"12345");
        set_text(wfal.header.software_version, u"2.00");
        set_text(wfal.header.operator_name, u"Ann");
        set_text(wfal.header.notes, u"line noise");
    })};
    read_report(steps, ID_SETUP, &text);
    for (const LineCase &c : cases)
        steps.insert(steps.end(),
                     {ui::check(c.change, c.what), ui::tap(ID_SETUP), ui::check([&c] {
                          std::vector<std::u16string> lines = report_lines(report_box_text());
                          EXPECT_EQ(lines.size() > c.line ? lines[c.line] : u"-", c.want) << c.what;
                          EXPECT_EQ(lines.size(), c.line == 7 ? 15u : 16u) << c.what;
                      }),
                      ui::tap(ID_ESC), ui::check([] {
                          wfal.header = opened;
                          wfal.run_state = RUN_LOADED;
                          set_path(u"\\view.res");
                      })});
    steps.push_back(ui::tap(ID_ESC));
    view(steps);
    EXPECT_EQ(text, u"Test setup\r\n"
                    u"Result name      view\r\n"
                    u"Device           SIM-1\r\n"
                    u"Serial number    12345\r\n"
                    u"SW version       2.00\r\n"
                    u"Test mode        Spectrogram\r\n"
                    u"Start time       01/02/2020-10:00:00\r\n"
                    u"Stop time        01/02/2020-11:00:00\r\n"
                    u"Range            3 MHz\r\n"
                    u"Imped            600 Ohm\r\n"
                    u"Input            Terminated\r\n"
                    u"Gain             0 dB\r\n"
                    u"Operator         Ann\r\n"
                    u"Notes\r\n"
                    u"line noise\r\n");
    EXPECT_EQ(Lines(fake_host.log.begin(), fake_host.log.begin() + 3),
              (Lines{"title \"Spectrogram\"", "title \"Test setup\"", "title \"Spectrogram\""}));
}

// A language whose texts are longer than 16 characters: every label and heading is cut to 16.
TEST_F(Reports, LongLabelsAreCut) {
    const std::u16string lang = u"\uFEFF#Result name\r\n<1>Name of this result file\r\n"
                                u"#Notes\r\n<1>Notes written by the operator\r\n"
                                u"#Freq\r\n<1>Frequency of the point\r\n"
                                u"#Level\r\n<1>Level at the frequency\r\n";
    root.write("lang.txt", utf16le(lang));
    language_path = u"\\lang.txt";
    recipe.records = 1;
    write_result();
    std::u16string report, list;
    std::vector<UiStep> steps;
    read_report(steps, ID_SETUP, &report);
    read_report(steps, ID_LIST, &list);
    steps.push_back(ui::tap(ID_ESC));
    view(steps);
    std::vector<std::u16string> lines = report_lines(report);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[1], u"Name of this res view");
    EXPECT_EQ(lines[13], u"Notes written by");
    EXPECT_EQ(report_lines(list)[0], u"Frequency of the [MHz]    Level at the fre [dBm]");
}

// The list of the record at the time cursor: kHz with three decimals for range 4000, levels
// with one decimal, and shifted by the unit's offset for dBm/Hz (20 Hz a point: 13.01 dB); a
// header of no points lists the heading alone.
TEST_F(Reports, ResultListOfTheCursorRecord) {
    recipe.range = 4000, recipe.points = 196, recipe.records = 5;
    recipe.start_frequency = 200, recipe.frequency_step = 40;
    recipe.level = [](long long record, int point) {
        if (record == 1 && point == 0) return INT16(-4523);
        return INT16(point == 195 ? 1234 : -5000 - record);
    };
    write_result();
    std::u16string at_0, at_1, per_hz, no_points;
    std::vector<UiStep> steps;
    read_report(steps, ID_LIST, &at_0);
    steps.push_back(ui::tap(ID_LINE_DOWN));
    read_report(steps, ID_LIST, &at_1);
    steps.push_back(ui::check([] {
        wfal.display.level_unit = LEVEL_UNIT_DBM_HZ;
        view_update(VIEW_DISPLAY);
    }));
    read_report(steps, ID_LIST, &per_hz);
    // The display settings outlive the session in this process.
    steps.push_back(ui::check([] {
        wfal.display.level_unit = LEVEL_UNIT_DBM;
        wfal.header.points = 0;
    }));
    read_report(steps, ID_LIST, &no_points);
    steps.push_back(ui::tap(ID_ESC));
    view(steps);

    std::vector<std::u16string> lines = report_lines(at_0);
    ASSERT_EQ(lines.size(), 198u); // the heading, 196 points, and nothing after the last CR LF
    // The last point: (200 + 195 x 40) / 2000 kHz.
    EXPECT_EQ(lines[0] + u"|" + lines[1] + u"|" + lines[2] + u"|" + lines[196] + u"|" + lines[197],
              u"Freq [kHz]    Level [dBm]|   0.100      -50.0|   0.120      -50.0|"
              u"   4.000       12.3|");
    lines = report_lines(at_1);
    EXPECT_EQ(lines[1] + u"|" + lines[2], u"   0.100      -45.2|   0.120      -50.0");
    lines = report_lines(per_hz);
    EXPECT_EQ(lines[0] + u"|" + lines[1], u"Freq [kHz]    Level [dBm/Hz]|   0.100      -58.2");
    EXPECT_EQ(fake_host.log[1], "title \"Result list\"");
    EXPECT_EQ(no_points, u"Freq [kHz]    Level [dBm/Hz]\r\n");
}

} // namespace
