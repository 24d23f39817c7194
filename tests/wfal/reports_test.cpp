// The set-up report's and the result list's fillers on a dialog of one text box, at the edges the
// flows of the viewer don't reach: cut fields, units at their bounds, other level units.
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
        wfal.header = result_file_header(ResultFileRecipe{});
        wfal.view = ViewState{};
        wfal.run_state = RUN_TESTING, wfal.input_table = choice_input_a;
        set_text(wfal.result_path, u"\\USB\\abcdefghijklmnopqr.res");
    }
    void TearDown() override { lang_free(), ModuleUiTest::TearDown(); }
    std::vector<std::u16string> filled(void (*filler)(HWND)) {
        filler(parent);
        std::vector<WCHAR> text(30000);
        GetWindowTextW(box, text.data(), int(text.size()));
        return report_lines(text.data());
    }
};

// Names and device cut to 16 characters, the operator to 32, the notes to 512; the range's unit
// at its bound; Auto gain; an input without a label.
TEST_F(Reports, SetupReportLines) {
    set_text(wfal.header.device, u"ABCDEFGHIJKLMNOPQ");
    set_text(wfal.header.operator_name, std::u16string(32, u'o'));
    set_text(wfal.header.notes, std::u16string(512, u'n'));
    wfal.header.input = 7, wfal.header.gain = -1;
    for (const auto &[range, text] : {std::pair<INT32, std::u16string>{99999, u"99.999 kHz"},
                                      {100000, u"0.1 MHz"},
                                      {4000, u"4 kHz"}}) {
        wfal.header.range = range;
        EXPECT_EQ(
            filled(report_fill_setup),
            (std::vector<std::u16string>{
                u"Test setup", u"Result name      abcdefghijklmnop",
                u"Device           ABCDEFGHIJKLMNOP", u"Serial number    ", u"SW version       ",
                u"Test mode        Spectrogram", u"Start time       01/02/2020-10:00:00",
                u"Range            " + text, u"Imped            600 Ohm", u"Input            ",
                u"Gain             Auto", u"Operator         " + std::u16string(32, u'o'), u"Notes",
                std::u16string(512, u'n'), u""}));
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
    EXPECT_EQ(report.at(1) + u"|" + report.at(12),
              u"Name of this res abcdefghijklmnop|Notes written by");
    EXPECT_EQ(filled(report_fill_list).at(0), u"Frequency of the [MHz]    Level [dBm]");
}

// Levels less the unit's offset; no points, or no frequency unit yet, list the heading alone; at
// most 800 points.
TEST_F(Reports, ResultListLines) {
    const struct {
        int points, divisor, offset;
        size_t count; // of lines, the empty one after the last CR LF included
        std::u16string first, last;
    } cases[] = {
        {196, 2000, 1301, 198, u"   0.100      -58.2", u"   4.000       -0.7"},
        {0, 2000, 0, 2, u"", u""},
        {196, 0, 0, 2, u"", u""},
        {900, 2000, 0, 802, u"   0.100      -45.2", u"  16.080      -50.0"},
    };
    for (const auto &c : cases) {
        wfal.header.points = c.points;
        wfal.header.start_frequency = 200, wfal.header.frequency_step = 40;
        wfal.view.frequency_divisor = c.divisor, wfal.view.level_offset = c.offset;
        set_text(wfal.view.level_unit, u"dBm/Hz"), set_text(wfal.view.frequency_unit, u"kHz");
        std::fill(wfal.view.spectrum, wfal.view.spectrum + VIEW_MAX_POINTS, INT16(-5000));
        wfal.view.spectrum[0] = -4523, wfal.view.spectrum[195] = 1234;
        const std::vector<std::u16string> lines = filled(report_fill_list);
        ASSERT_EQ(lines.size(), c.count) << c.points;
        EXPECT_EQ(lines[0], u"Freq [kHz]    Level [dBm/Hz]");
        EXPECT_EQ(lines[1], c.first) << c.points;
        EXPECT_EQ(c.count > 2 ? lines[c.count - 2] : u"", c.last);
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
