// The save-section dialog: the section's first and last record taken from the time cursor,
// notes for the new file only, and the copy of the section into a new result file, with its
// own start time, behind a notice that stays up at least a second.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/state.h"
#include "reports/save_section.h"
#include "resultfile/result_header.h"
#include "ui/controls.h"

namespace {

constexpr size_t TIME_CHARS = 30;
constexpr int NOTES_CAPACITY = 511;
constexpr size_t MAX_RECORD_BYTES = 2 * RESULT_MAX_POINTS;
// Far above the runtime's own buffer, so that record-sized reads and writes reach the file
// system in large pieces.
constexpr size_t STREAM_BUFFER_BYTES = 64 * 1024;

char source_buffer[STREAM_BUFFER_BYTES];
char target_buffer[STREAM_BUFFER_BYTES];
BYTE record[MAX_RECORD_BYTES];

enum CopyEnd { COPY_DONE, COPY_STOPPED, COPY_FAILED, COPY_NOT_CREATED };

// One copy of the section into the new file. `written` counts the whole records in it; `torn`
// says that the failing write may have left part of a header or record behind.
struct SectionCopy {
    HWND dialog;
    FILE *source;
    const WCHAR *target;
    LONGLONG first, last;
    LONGLONG data_offset;
    size_t record_size;
    LONGLONG written;
    BOOL torn;
};

long record_offset(const SectionCopy &c, LONGLONG index) {
    return (long)(c.data_offset + index * (LONGLONG)c.record_size);
}

BOOL stop_requested(HWND dialog) {
    return host_call(dialog, HOST_STOP_REQUESTED, 0, 0, 0) != 0;
}

// A record that can't be read (the source ends before the section) adds nothing; the next one
// is read from its own place, whatever the failed read left behind. The host is asked whether to
// stop at every record index that is a multiple of SECTION_POLL_RECORDS.
CopyEnd copy_records(SectionCopy &c, FILE *target, LONGLONG limit) {
    if (c.record_size == 0 || c.record_size > MAX_RECORD_BYTES) return COPY_DONE;
    if (fseek(c.source, record_offset(c, c.first), SEEK_SET) != 0) return COPY_DONE;
    for (LONGLONG i = c.first; i <= c.last && c.written < limit; i++) {
        if (i % SECTION_POLL_RECORDS == 0 && stop_requested(c.dialog)) return COPY_STOPPED;
        if (fread(record, 1, c.record_size, c.source) != c.record_size) {
            fseek(c.source, record_offset(c, i + 1), SEEK_SET);
            continue;
        }
        size_t put = fwrite(record, 1, c.record_size, target);
        if (put != c.record_size) {
            c.torn = put != 0;
            return COPY_FAILED;
        }
        c.written++;
    }
    return COPY_DONE;
}

// Creates the new file and writes the header and up to `limit` records. A close that fails may
// have lost any part of what the stream still held, whatever happened before.
CopyEnd copy_into(SectionCopy &c, LONGLONG limit) {
    c.written = 0;
    c.torn = FALSE;
    FILE *target = _wfopen(c.target, TEXT("wb"));
    if (!target) return COPY_NOT_CREATED;
    setvbuf(target, target_buffer, _IOFBF, sizeof target_buffer);
    CopyEnd end = COPY_FAILED;
    size_t put = fwrite(&wfal.section_header, 1, sizeof wfal.section_header, target);
    if (put == sizeof wfal.section_header)
        end = copy_records(c, target, limit);
    else
        c.torn = put != 0;
    if (fclose(target) != 0) {
        end = COPY_FAILED;
        c.torn = TRUE;
    }
    return end;
}

// Files can't be shortened through the streams: a torn file is written again with the whole
// records it had, and if that fails too, it is left empty rather than malformed. The rewrite
// is a copy like the first: a stop request ends it with the whole records written so far.
CopyEnd repair_torn_file(SectionCopy &c) {
    const LONGLONG whole = c.written;
    CopyEnd end = copy_into(c, whole);
    if (end == COPY_DONE || end == COPY_STOPPED || (end == COPY_FAILED && !c.torn)) return end;
    FILE *target = _wfopen(c.target, TEXT("wb"));
    if (target) fclose(target);
    return COPY_FAILED;
}

// Sets the header's start time to the section's first record and seals it.
void stamp_section_header() {
    section_stamp_header(&wfal.section_header, wfal.start_seconds + (DWORD)wfal.section_start);
}

void show_time(HWND dialog, int id, int index) {
    WCHAR text[TIME_CHARS];
    section_time_text(wfal.start_seconds + (DWORD)index, text, TIME_CHARS);
    SetWindowTextW(GetDlgItem(dialog, id), text);
}

void section_refresh(HWND dialog) {
    show_time(dialog, SECTION_ID_START_TIME, wfal.section_start);
    show_time(dialog, SECTION_ID_END_TIME, wfal.section_end);
    EnableWindow(GetDlgItem(dialog, SECTION_ID_SAVE), wfal.section_start < wfal.section_end);
    ShowWindow(GetDlgItem(dialog, SECTION_ID_NOTICE), SW_HIDE);
}

void show_error(HWND dialog, const WCHAR *text) {
    host_call(dialog, HOST_MESSAGE_BOX, (INT_PTR)lang_lookup(TEXT("Save section")),
              (INT_PTR)lang_lookup(text), HOST_MB_ERROR);
}

// Free bytes for the new file in its folder's volume; 0 when the volume can't be asked.
LONGLONG free_bytes(const WCHAR *folder, DWORD kind) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(folder, &available, NULL, NULL)) return 0;
    LONGLONG room = (LONGLONG)available.QuadPart - SECTION_SPARE_BYTES;
    if (kind == STORAGE_INTERNAL) room -= wfal.memory_reserve;
    return room;
}

// Everything that refuses a path before a byte is written; TRUE when the copy may start.
BOOL target_allowed(HWND dialog, const WCHAR *path, DWORD kind, LONGLONG required) {
    if (section_same_name(wfal.result_path, path)) {
        show_error(dialog, TEXT("Cannot save section into the original file."));
        return FALSE;
    }
    WCHAR folder[PATH_CHARS];
    if (section_folder(path, folder, PATH_CHARS) && free_bytes(folder, kind) < required) {
        show_error(dialog, TEXT("Not enough space."));
        return FALSE;
    }
    return TRUE;
}

void show_notice(HWND dialog) {
    ShowWindow(GetDlgItem(dialog, SECTION_ID_NOTICE), SW_SHOW);
    RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void section_save(HWND dialog) {
    stamp_section_header();
    LONGLONG required =
        section_required_bytes(wfal.section_start, wfal.section_end, wfal.section_header.points);
    WCHAR path[PATH_CHARS];
    (void)StringCchCopyW(path, PATH_CHARS, wfal.result_path);
    DWORD kind = host_call(dialog, HOST_EDIT_PATH, (INT_PTR)lang_lookup(TEXT("Save section")),
                           (INT_PTR)path, PATH_CHARS - 1);
    if (kind == 0) return;
    // The host is trusted with the capacity, not with the terminator.
    path[PATH_CHARS - 1] = 0;
    if (!target_allowed(dialog, path, kind, required)) return;
    show_notice(dialog);
    int outcome = section_write_file(dialog, path);
    if (outcome == SECTION_STOPPED) return;
    if (outcome == SECTION_NOT_CREATED || outcome == SECTION_WRITE_ERROR)
        show_error(dialog, TEXT("File write error."));
    if (outcome == SECTION_SAVED) Sleep(SECTION_NOTICE_MS);
    section_refresh(dialog);
}

void section_edit_notes(HWND dialog) {
    WCHAR *notes = wfal.section_header.notes;
    host_call(dialog, HOST_EDIT_TEXT, (INT_PTR)lang_lookup(TEXT("Write notes")), (INT_PTR)notes,
              NOTES_CAPACITY);
    notes[NOTES_CAPACITY] = 0;
}

BOOL section_on_init(HWND dialog) {
    ui_open_side_dialog(dialog, section_dialog_controls, HELP_SAVE_SECTION, TEXT("Section"));
    section_refresh(dialog);
    return TRUE;
}

BOOL section_on_command(HWND dialog, int id) {
    switch (id) {
    case ID_ESC:
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case SECTION_ID_START_AT_MARKER:
        wfal.section_start = wfal.view.cursor_record;
        section_refresh(dialog);
        return TRUE;
    case SECTION_ID_END_AT_MARKER:
        wfal.section_end = wfal.view.cursor_record;
        section_refresh(dialog);
        return TRUE;
    case SECTION_ID_NOTES: section_edit_notes(dialog); return TRUE;
    case SECTION_ID_SAVE: section_save(dialog); return TRUE;
    case ID_HELP: host_call(dialog, HOST_HELP, 0, 0, HELP_SAVE_SECTION); return TRUE;
    case SECTION_ID_PRINT_SCREEN: host_call(dialog, HOST_PRINT_SCREEN, 0, 0, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

LONGLONG section_required_bytes(int first, int last, INT32 points) {
    LONGLONG records = (LONGLONG)last - first + 1;
    return (records * points + RESULT_HEADER_SIZE / 2) * 2;
}

BOOL section_same_name(const WCHAR *a, const WCHAR *b) {
    const WCHAR *slash_a = wcsrchr(a, TEXT('\\'));
    const WCHAR *slash_b = wcsrchr(b, TEXT('\\'));
    return wcscmp(slash_a ? slash_a + 1 : a, slash_b ? slash_b + 1 : b) == 0;
}

BOOL section_folder(const WCHAR *path, WCHAR *folder, size_t capacity) {
    const WCHAR *slash = wcsrchr(path, TEXT('\\'));
    if (!slash) return FALSE;
    size_t length = slash == path ? 1 : (size_t)(slash - path);
    return SUCCEEDED(StringCchCopyNW(folder, capacity, path, length));
}

void section_stamp_header(ResultHeader *h, DWORD seconds) {
    CalendarFields &t = wfal.calendar;
    t.seconds = seconds;
    seconds_to_calendar();
    h->start_year = (WORD)t.year;
    h->start_month = (WORD)t.month;
    h->start_day = (WORD)t.day;
    h->start_hour = (WORD)t.hour;
    h->start_minute = (WORD)t.minute;
    h->start_second = (WORD)t.second;
    header_seal(h);
}

void section_time_text(DWORD seconds, WCHAR *out, size_t capacity) {
    CalendarFields &t = wfal.calendar;
    t.seconds = seconds;
    seconds_to_calendar();
    (void)StringCchPrintfW(out, capacity, TEXT("%02d/%02d/%04d-%02d:%02d:%02d"), t.month, t.day,
                           t.year, t.hour, t.minute, t.second);
}

int section_write_file(HWND dialog, const WCHAR *target) {
    FILE *source = _wfopen(wfal.result_path, TEXT("rb"));
    if (!source) return SECTION_NO_SOURCE;
    setvbuf(source, source_buffer, _IOFBF, sizeof source_buffer);
    SectionCopy c = {dialog,
                     source,
                     target,
                     wfal.section_start,
                     wfal.section_end,
                     wfal.view.data_offset,
                     wfal.view.record_size > 0 ? (size_t)wfal.view.record_size : 0,
                     0,
                     FALSE};
    CopyEnd end = copy_into(c, wfal.section_end - (LONGLONG)wfal.section_start + 1);
    if (end == COPY_FAILED && c.torn && repair_torn_file(c) == COPY_STOPPED) end = COPY_STOPPED;
    fclose(source);
    switch (end) {
    case COPY_DONE: return SECTION_SAVED;
    case COPY_STOPPED: return SECTION_STOPPED;
    case COPY_NOT_CREATED: return SECTION_NOT_CREATED;
    default: return SECTION_WRITE_ERROR;
    }
}

INT_PTR CALLBACK section_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return section_on_init(dialog);
    case WM_COMMAND: return section_on_command(dialog, LOWORD(wparam));
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    default: return FALSE;
    }
}
