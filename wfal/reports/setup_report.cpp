// The test set-up report: what the current header says about the recording, one labelled line
// each, with the notes at the end.
#include <windows.h>

#include "lang/lang.h"
#include "module/calendar.h"
#include "module/state.h"
#include "reports/report_text.h"
#include "reports/setup_report.h"
#include "spectrogram/view_geometry.h"
#include "test/setup_dialog.h"
#include "ui/choice.h"

namespace {

// The notes line holds the heading and up to 512 characters of notes.
constexpr size_t NOTES_LINE_CHARS = 600;
// From this range on the report gives it in MHz.
constexpr INT32 MHZ_RANGE = 100000;

void add_text_line(ReportText *text, const WCHAR *label_key, const WCHAR *value) {
    report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %.16s\r\n"), lang_lookup(label_key), value);
}

void add_time_line(ReportText *text, const WCHAR *label_key, const CalendarFields &c) {
    report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %02d/%02d/%04d-%02d:%02d:%02d\r\n"),
               lang_lookup(label_key), c.month, c.day, c.year, c.hour, c.minute, c.second);
}

// The title, the result's name (the file name without folder and extension), and what recorded it.
void add_name_lines(ReportText *text, const ResultHeader &h) {
    WCHAR directory[PATH_CHARS];
    WCHAR name[PATH_CHARS];
    setup_split_path(wfal.result_path, directory, name);
    report_add(text, REPORT_LINE_CHARS, TEXT("%.40s\r\n"), lang_lookup(TEXT("Test setup")));
    add_text_line(text, TEXT("Result name"), name);
    add_text_line(text, TEXT("Device"), h.device);
    add_text_line(text, TEXT("Serial number"), h.serial);
    add_text_line(text, TEXT("SW version"), h.software_version);
    add_text_line(text, TEXT("Test mode"), lang_lookup(TEXT("Spectrogram")));
}

// The stop time is the end of the last whole record; a test still recording has none yet, and
// neither has a file that is being searched.
void add_time_lines(ReportText *text, const ResultHeader &h) {
    CalendarFields start = {
        h.start_year, h.start_month, h.start_day, h.start_hour, h.start_minute, h.start_second, 0};
    add_time_line(text, TEXT("Start time"), start);
    if (wfal.run_state != RUN_LOADED) return;
    wfal.calendar.seconds =
        wfal.start_seconds + (DWORD)view_record_count(wfal.view, wfal.file_size);
    seconds_to_calendar();
    add_time_line(text, TEXT("Stop time"), wfal.calendar);
}

void add_setup_lines(ReportText *text, const ResultHeader &h) {
    const BOOL mhz = h.range >= MHZ_RANGE;
    report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %g %.16s\r\n"), lang_lookup(TEXT("Range")),
               mhz ? h.range / 1000000.0 : h.range / 1000.0,
               lang_lookup(mhz ? TEXT("MHz") : TEXT("kHz")));
    report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %d %.16s\r\n"), lang_lookup(TEXT("Imped")),
               h.impedance, lang_lookup(TEXT("Ohm")));
    const WCHAR *input = wfal.input_table ? choice_label(wfal.input_table, h.input) : TEXT("");
    add_text_line(text, TEXT("Input"), input);
    if (h.gain < 0)
        add_text_line(text, TEXT("Gain"), lang_lookup(TEXT("Auto")));
    else
        report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %d %.16s\r\n"),
                   lang_lookup(TEXT("Gain")), h.gain, lang_lookup(TEXT("dB")));
}

void add_person_lines(ReportText *text, const ResultHeader &h) {
    report_add(text, REPORT_LINE_CHARS, TEXT("%-16.16s %.32s\r\n"), lang_lookup(TEXT("Operator")),
               h.operator_name);
    report_add(text, NOTES_LINE_CHARS, TEXT("%.16s\r\n%.512s\r\n"), lang_lookup(TEXT("Notes")),
               h.notes);
}

} // namespace

void report_fill_setup(HWND dialog) {
    ReportText text;
    if (!report_begin(dialog, TEXT("Test setup"), &text)) return;
    const ResultHeader &h = wfal.header;
    add_name_lines(&text, h);
    add_time_lines(&text, h);
    add_setup_lines(&text, h);
    add_person_lines(&text, h);
    report_end(dialog, &text);
}
