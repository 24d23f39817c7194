// The text viewer: a report in a read-only text box with paging and print screen, run from the
// "DLG2" template. For the set-up report of a loaded file it also writes notes into the file and
// saves a time section of it.
#pragma once

#include <windows.h>

#include "resultfile/result_header.h"

// Fills the text box (control 201) of the viewer dialog and sets its title.
typedef void (*TextFiller)(HWND dialog);

// Creation parameter: the TextFiller.
INT_PTR CALLBACK text_viewer_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The viewer's controls beside Esc.
constexpr int TEXT_ID_PAGE_UP = 101;
constexpr int TEXT_ID_PAGE_DOWN = 102;
constexpr int TEXT_ID_NOTES = 103;
constexpr int TEXT_ID_SECTION = 104;
constexpr int TEXT_ID_PRINT_SCREEN = 109;
constexpr int TEXT_ID_BOX = 201; // the read-only text box

// Characters of notes the host may write: the header's field less its terminator.
constexpr int NOTES_CAPACITY = 511;

// Writes the notes field of `header` into the result file at `path`, in place, and nothing else:
// the rest of the file keeps its bytes whatever fails. FALSE when the file can't be opened or
// any part of the write, its flush or its close fails.
BOOL notes_write_file(const WCHAR *path, const ResultHeader &header);
