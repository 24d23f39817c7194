// The result list: the spectrum at the time cursor as one line of frequency and level a point.
#include <windows.h>

#include "lang/lang.h"
#include "module/state.h"
#include "reports/report_text.h"
#include "reports/result_list.h"

void report_fill_list(HWND dialog) {
    ReportText text;
    if (!report_begin(dialog, TEXT("Result list"), &text)) return;
    const ViewState &v = wfal.view;
    const ResultHeader &h = wfal.header;
    report_add(&text, REPORT_LINE_CHARS, TEXT("%.16s [%.16s]    %.16s [%.16s]\r\n"),
               lang_lookup(TEXT("Freq")), v.frequency_unit, lang_lookup(TEXT("Level")),
               v.level_unit);
    // The spectrum holds no more points than a record may have; a divisor of 0 would mean no
    // file was ever set up, and then there is nothing to list.
    const int points = h.points < VIEW_MAX_POINTS ? h.points : VIEW_MAX_POINTS;
    for (int k = 0; k < points && v.frequency_divisor != 0; k++) {
        double frequency =
            ((double)h.start_frequency + (double)k * h.frequency_step) / v.frequency_divisor;
        double level = (v.spectrum[k] - v.level_offset) / 100.0;
        report_add(&text, REPORT_LINE_CHARS, TEXT("  %6.3f    %7.1f\r\n"), frequency, level);
    }
    report_end(dialog, &text);
}
