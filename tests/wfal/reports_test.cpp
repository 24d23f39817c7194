// The set-up report's and the result list's fillers called on a dialog of one text box; the stored
// screens (text_setup_report, text_result_list) show one whole report and list.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "module/calendar.h"
#include "reports/report_text.h"
#include "reports/result_list.h"
#include "reports/setup_report.h"
#include "support/lang_file.h"
#include "support/module_ui.h"
#include "support/report_session.h"
#include "ui/choice.h"

namespace {

template <size_t N>
void set_text(WCHAR (&field)[N], const std::u16string &text) { // no terminator when it fills N
    std::fill(field, field + N, WCHAR(0));
    text.copy(field, std::min(text.size(), N));
}

class Reports : public ModuleUiTest {
protected:
    HWND box = nullptr;
    void SetUp() override {
        ModuleUiTest::SetUp();
        box = log.create("box", WS_CHILD, 0, 0, 10, 10, parent, TEXT_ID_BOX);
        ResultFileRecipe recipe; // one hour and a part record, from 01/02/2020-10:00:00
        wfal.header = result_file_header(recipe);
        wfal.view = ViewState{};
        wfal.view.record_size = 600, wfal.view.data_offset = RESULT_HEADER_SIZE;
        wfal.file_size = RESULT_HEADER_SIZE + 3600 * 600 + 100;
        wfal.start_seconds = calendar_set(2020, 1, 2, 10, 0, 0);
        wfal.run_state = RUN_LOADED, wfal.input_table = choice_input_a;
        set_text(wfal.result_path, u"\\view.res");
    }
    void TearDown() override { lang_free(), ModuleUiTest::TearDown(); }
    std::vector<std::u16string> filled(void (*filler)(HWND)) {
        filler(parent);
        std::vector<WCHAR> text(30000);
        GetWindowTextW(box, text.data(), int(text.size()));
        return report_lines(text.data());
    }
};

// Each field's cut, the range's unit at its bounds, Auto gain, an input without a label, and the
// stop time only for a file that is just loaded (the end of its last whole record).
TEST_F(Reports, SetupReportLines) {
    const std::u16string notes = std::u16string(512, u'n'), range = u"Range            3 MHz";
    const struct {
        std::function<void()> change;
        size_t line;
        std::u16string want;
    } cases[] = {{[] {}, 7, u"Stop time        01/02/2020-11:00:00"},
                 {[] { set_text(wfal.result_path, u"\\USB\\abcdefghijklmnopqr.res"); }, 1,
                  u"Result name      abcdefghijklmnop"},
                 {[] { set_text(wfal.header.device, u"ABCDEFGHIJKLMNOP"); }, 2,
                  u"Device           ABCDEFGHIJKLMNOP"},
                 {[] { wfal.header.range = 4000; }, 8, u"Range            4 kHz"},
                 {[] { wfal.header.range = 99999; }, 8, u"Range            99.999 kHz"},
                 {[] { wfal.header.range = 100000; }, 8, u"Range            0.1 MHz"},
                 {[] { wfal.header.input = 7; }, 10, u"Input            "},
                 {[] { wfal.header.gain = -1; }, 11, u"Gain             Auto"},
                 {[] { set_text(wfal.header.operator_name, std::u16string(32, u'o')); }, 12,
                  u"Operator         " + std::u16string(32, u'o')},
                 {[&] { set_text(wfal.header.notes, notes + u"!!"); }, 14, notes},
                 {[] { wfal.run_state = RUN_LOADED | RUN_FINDING; }, 7, range},
                 {[] { wfal.run_state = RUN_LOADED | RUN_TESTING | RUN_FROZEN; }, 7, range}};
    const ResultHeader opened = wfal.header;
    for (const auto &c : cases) {
        SCOPED_TRACE(int(&c - cases));
        wfal.header = opened, wfal.run_state = RUN_LOADED;
        set_text(wfal.result_path, u"\\view.res");
        c.change();
        const std::vector<std::u16string> lines = filled(report_fill_setup);
        EXPECT_EQ(lines.size(), c.line == 7 && c.want == range ? 15u : 16u);
        EXPECT_EQ(lines.at(c.line), c.want);
    }
}

// Labels and headings of a language are cut to 16 characters.
TEST_F(Reports, LongLabelsAreCut) {
    TempDeviceRoot root;
    root.write("lang.txt", utf16le(u"\uFEFF#Result name\r\n<1>Name of this result file\r\n"
                                   u"#Notes\r\n<1>Notes written by the operator\r\n"
                                   u"#Freq\r\n<1>Frequency of the point\r\n"));
    lang_file_set_path(u"\\lang.txt"), wfal.language_number = 1, lang_load();
    set_text(wfal.view.level_unit, u"dBm"), set_text(wfal.view.frequency_unit, u"MHz");
    const std::vector<std::u16string> report = filled(report_fill_setup);
    EXPECT_EQ(report.at(1) + u"|" + report.at(13), u"Name of this res view|Notes written by");
    EXPECT_EQ(filled(report_fill_list).at(0), u"Frequency of the [MHz]    Level [dBm]");
}

// The view's spectrum in its units: kHz with three decimals, levels less the unit's offset with
// one; no points, or no frequency unit yet, list the heading alone; at most 800 points.
TEST_F(Reports, ResultListLines) {
    using Lines16 = std::vector<std::pair<size_t, std::u16string>>;
    const struct {
        int points, divisor, offset;
        size_t count; // of lines, the empty one after the last CR LF included
        Lines16 at;
    } cases[] = {
        {196, 2000, 0, 198, {{1, u"   0.100      -45.2"}, {2, u"   0.120      -50.0"}}},
        {196, 2000, 0, 198, {{196, u"   4.000       12.3"}}},
        {196, 2000, 1301, 198, {{1, u"   0.100      -58.2"}}},
        {0, 2000, 0, 2, {}},
        {196, 0, 0, 2, {}},
        {900, 2000, 0, 802, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(&c - cases));
        wfal.header.points = c.points;
        wfal.header.start_frequency = 200, wfal.header.frequency_step = 40;
        wfal.view.frequency_divisor = c.divisor, wfal.view.level_offset = c.offset;
        set_text(wfal.view.level_unit, u"dBm/Hz"), set_text(wfal.view.frequency_unit, u"kHz");
        std::fill(wfal.view.spectrum, wfal.view.spectrum + VIEW_MAX_POINTS, INT16(-5000));
        wfal.view.spectrum[0] = -4523, wfal.view.spectrum[195] = 1234;
        const std::vector<std::u16string> lines = filled(report_fill_list);
        EXPECT_EQ(lines.size(), c.count);
        EXPECT_EQ(lines.at(0), u"Freq [kHz]    Level [dBm/Hz]");
        for (const auto &[k, text] : c.at)
            EXPECT_EQ(lines.at(k), text);
    }
}

// Lines past the buffer's end are cut there, the text still terminated.
TEST_F(Reports, TextStopsAtTheBuffersEnd) {
    ReportText text;
    ASSERT_TRUE(report_begin(parent, u"Test setup", &text));
    for (int i = 0; i < 2000; i++) // 33 characters a line
        report_add(&text, REPORT_LINE_CHARS, u"%s\r\n", u"0123456789012345678901234567890");
    EXPECT_EQ(text.length, REPORT_CHARS - 1);
    EXPECT_EQ(text.chars[REPORT_CHARS - 1], 0);
    report_end(parent, &text);
}

} // namespace
