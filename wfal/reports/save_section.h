// The save-section dialog: a time section of the shown result file saved as a new file.
#pragma once

#include <windows.h>

#include "resultfile/result_header.h"

// Run from the "DLG2" template; ends with 0.
INT_PTR CALLBACK section_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The dialog's controls beside Esc and "?".
constexpr int SECTION_ID_START_TIME = 103;
constexpr int SECTION_ID_START_AT_MARKER = 104;
constexpr int SECTION_ID_END_TIME = 106;
constexpr int SECTION_ID_END_AT_MARKER = 107;
constexpr int SECTION_ID_NOTES = 108;
constexpr int SECTION_ID_SAVE = 109;
constexpr int SECTION_ID_NOTICE = 111;
constexpr int SECTION_ID_PRINT_SCREEN = 112;

// The copy asks the host whether to stop at every record whose index is a multiple of this.
constexpr int SECTION_POLL_RECORDS = 300;
// Bytes left free on the new file's volume beside it (and, in internal memory, memory_reserve).
constexpr LONGLONG SECTION_SPARE_BYTES = 16384;
// How long the notice stays on screen after a copy at least.
constexpr DWORD SECTION_NOTICE_MS = 1000;

// How a copy into a new file ended.
enum SectionOutcome {
    SECTION_SAVED,       // every record of the section the source holds is in the new file
    SECTION_STOPPED,     // the host asked to stop; the records copied so far stay
    SECTION_NO_SOURCE,   // the shown file can't be opened: nothing written
    SECTION_NOT_CREATED, // the new file can't be created: nothing written
    SECTION_WRITE_ERROR, // the new file holds its header and whole records only, or nothing
};

// Bytes a new file of records first..last takes: the header and two bytes per level.
LONGLONG section_required_bytes(int first, int last, INT32 points);
// Whether two paths end in the same file name (the parts after the last backslash), case
// counting: a section must never overwrite the file it is copied from, whatever the folder.
BOOL section_same_name(const WCHAR *a, const WCHAR *b);
// The folder whose free space decides: the path cut at its last backslash, the root "\" for a
// file in it. FALSE for a path without a backslash.
BOOL section_folder(const WCHAR *path, WCHAR *folder, size_t capacity);
// Gives a section's header the start time of its first record, at calendar `seconds`, and seals
// it (through the module's calendar fields).
void section_stamp_header(ResultHeader *header, DWORD seconds);
// "MM/DD/YYYY-hh:mm:ss" of calendar seconds (through the module's calendar fields).
void section_time_text(DWORD seconds, WCHAR *out, size_t capacity);
// Copies section_header and records section_start..section_end of result_path into a new file
// at `target`, one record at a time, asking the host through `dialog` whether to stop. A copy
// that fails leaves no part of a record behind. Returns a SectionOutcome.
int section_write_file(HWND dialog, const WCHAR *target);
