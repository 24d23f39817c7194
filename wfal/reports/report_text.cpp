// The report buffer shared by the set-up report and the result list.
#include <windows.h>
#include <stdarg.h>
#include <stdlib.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/state.h"
#include "reports/report_text.h"
#include "reports/text_viewer.h"
#include "ui/controls.h"

BOOL report_begin(HWND dialog, const WCHAR *title_key, ReportText *text) {
    const WCHAR *title = lang_lookup(title_key);
    SetWindowTextW(dialog, title);
    host_call(NULL, HOST_SET_TITLE, (INT_PTR)title, 0, 0);
    text->chars = (WCHAR *)malloc(REPORT_BYTES);
    text->length = 0;
    if (!text->chars) return FALSE;
    text->chars[0] = 0;
    return TRUE;
}

void report_add(ReportText *text, size_t limit, const WCHAR *format, ...) {
    size_t room = REPORT_CHARS - text->length;
    if (limit > room) limit = room;
    if (limit < 2) return;
    WCHAR *end = text->chars + text->length;
    va_list args;
    va_start(args, format);
    // A line cut at the limit is still terminated, and the length below finds its end.
    (void)StringCchVPrintfW(end, limit, format, args);
    va_end(args);
    size_t added = 0;
    (void)StringCchLengthW(end, limit, &added);
    text->length += added;
}

void report_end(HWND dialog, ReportText *text) {
    SetWindowTextW(GetDlgItem(dialog, TEXT_ID_BOX), text->chars);
    free(text->chars);
    text->chars = NULL;
    text->length = 0;
}
