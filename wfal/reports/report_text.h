// The text of a report: its lines formatted one after the other into one buffer, which then
// becomes the text of the text viewer's box.
#pragma once

#include <windows.h>

constexpr size_t REPORT_BYTES = 60000;
constexpr size_t REPORT_CHARS = REPORT_BYTES / sizeof(WCHAR);
// Room for one line, its terminator included; only the notes line needs more.
constexpr size_t REPORT_LINE_CHARS = 80;

struct ReportText {
    WCHAR *chars;  // REPORT_CHARS characters, always terminated
    size_t length; // characters before the terminator
};

// Gives the dialog and the host the text of title_key as title, and allocates an empty text.
// FALSE when there is no memory for it.
BOOL report_begin(HWND dialog, const WCHAR *title_key, ReportText *text);
// Formats a line at the end of the text in at most `limit` characters with the terminator; the
// end of the buffer cuts it shorter.
void report_add(ReportText *text, size_t limit, const WCHAR *format, ...);
// Shows the text in the viewer's box and frees it.
void report_end(HWND dialog, ReportText *text);
